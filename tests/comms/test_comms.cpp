#include "comms.h"

#include <gtest/gtest.h>

TEST(Tcommsobj, BuildsUpperCaseZeroPaddedFields)
{
    Tcommsobj m;
    m.RequestBit = true;
    m.Command = 0x11;
    m.Register = 9;
    EXPECT_EQ(m.Build(), "20110009:");

    m.Address = 31;
    m.ReplyBit = m.ErrorBit = true;
    m.Command = 0x0D;
    m.Register = 0xABCD;
    m.Data = "ff";
    EXPECT_EQ(m.Build(), "FF0DABCD:ff") << "data is copied unchanged";
}

TEST(Tcommsobj, ParsesReplyFlagsAndValue)
{
    Tcommsobj m;
    ASSERT_TRUE(m.Parse("A1110009:"));
    EXPECT_TRUE(m.ReplyBit);
    EXPECT_TRUE(m.RequestBit);
    EXPECT_FALSE(m.ErrorBit);
    EXPECT_EQ(m.Address, 1);
    EXPECT_EQ(m.Command, 0x11);
    EXPECT_EQ(m.Register, 9);
    EXPECT_EQ(m.Data, "");
    EXPECT_EQ(m.Value, 0u);

    ASSERT_TRUE(m.Parse("a1110009:ab")) << "lower case is accepted";
    EXPECT_EQ(m.Value, 0xABu);
    ASSERT_TRUE(m.Parse("A1110009: 1 2"));
    EXPECT_EQ(m.Value, 0x12u);
    ASSERT_TRUE(m.Parse("A1110009:12X5"));
    EXPECT_EQ(m.Value, 5u);
}

TEST(Tcommsobj, RejectsMalformedTexts)
{
    Tcommsobj m;
    for (const char* text :
         {"2111000", "20110009", "21110009X", "2G110009:", "21G10009:", "211100G9:"}) {
        EXPECT_FALSE(m.Parse(text)) << text;
    }
}

TEST(Tcommsobj, ErrorTextsPickLowestListedBit)
{
    Tcommsobj m;
    ASSERT_TRUE(m.Parse("E1120019:1000"));
    EXPECT_TRUE(m.ErrorBit);
    EXPECT_EQ(m.ErrorText(), " Access Denied ");
    EXPECT_TRUE(m.HasError(0x1000));
    EXPECT_FALSE(m.HasError(0x1800));

    const std::pair<uint32_t, const char*> cases[] = {
        {0x1008, " CRC Required "},
        {0x0018, " CRC Required "},
        {0x4010, " Session Timed Out "},
        {0x0C00, " Over Range "},
        {0x0800, " Under Range "},
        {0x6000, " Feature Not implemented "},
        {0x4000, " Unknown Error "},
        {0x0020, ""},
        {0x8027, ""},
        {0x02A0, " Save Settings Failed "},
    };
    for (const auto& [bits, text] : cases)
        EXPECT_EQ(Tcommsobj::ErrorTextFor(bits), text) << std::hex << bits;
}

TEST(Tcommsobj, ErrorTextOnlyForErrorReplies)
{
    Tcommsobj m;
    ASSERT_TRUE(m.Parse("A1120019:1000"));
    EXPECT_EQ(m.ErrorText(), "");
    EXPECT_FALSE(m.HasError(0x1000));
}

TEST(Tcommsobj, ErrorReportRightAlignsRegister)
{
    Tcommsobj m;
    ASSERT_TRUE(m.Parse("E1120019:0400"));
    EXPECT_EQ(m.ErrorReport(), "Error :- Register   19:  Over Range ");
    ASSERT_TRUE(m.Parse("E11201AF:2000"));
    EXPECT_EQ(m.ErrorReport(), "Error :- Register  1AF:  Feature Not implemented ");
}

TEST(Tcommsobj, ClearResetsEveryField)
{
    Tcommsobj m;
    ASSERT_TRUE(m.Parse("FF1100F0:abc"));
    m.Clear();
    EXPECT_EQ(m.Build(), "00000000:");
    EXPECT_EQ(m.Value, 0u);
}
