#include "crc.h"
#include "ringnetwork.h"

#include <gtest/gtest.h>

TEST(Crc, StandardCheckValues)
{
    EXPECT_EQ(crc::CalcCRC(""), 0xFFFF);
    EXPECT_EQ(crc::CrcText(""), "FFFF");
    EXPECT_EQ(crc::CalcCRC("123456789"), 0x29B1);
    EXPECT_EQ(crc::CrcText("123456789"), "29B1");
}

TEST(Crc, CheckIsCaseSensitiveAndNeedsFourDigits)
{
    EXPECT_TRUE(crc::CrcCheck("12345678929B1"));
    EXPECT_FALSE(crc::CrcCheck("12345678929b1"));
    EXPECT_FALSE(crc::CrcCheck("12345678929B2"));
    EXPECT_TRUE(crc::CrcCheck("FFFF"));
    EXPECT_FALSE(crc::CrcCheck("FFF"));
    EXPECT_FALSE(crc::CrcCheck(""));
}

TEST(Crc, UsesEightBitCodes)
{
    const QString text = QString::fromLatin1("A1\xB0");
    EXPECT_TRUE(crc::CrcCheck(text + crc::CrcText(text)));
    const QString form = crc::CrcForm("A1110005:1F");
    EXPECT_EQ(form.front(), QChar(0x02));
    EXPECT_EQ(form.back(), QChar(0x04));
    EXPECT_TRUE(crc::CrcCheck(form.mid(1, form.size() - 2)));
}

namespace {
const QString DC2(QChar(0x12));
}

TEST(Ring, OffPassesFramesUnchanged)
{
    TRingNetwork ring;
    EXPECT_EQ(ring.FrameRequest("21110009:\r\n"), "21110009:\r\n");
    EXPECT_EQ(ring.ExtractReply("anything\x01").value(), "anything\x01");
}

TEST(Ring, FramesAndPicksTheAddressedReply)
{
    TRingNetwork ring;
    ring.SetRingMode(true);
    ring.SetLocalAddress(3);
    EXPECT_EQ(ring.FrameRequest("23110009:\r\n"), "\x12"
                                                  "23110009:\r\n\x14");

    const QString own = DC2 + "23110009:\r\nA5110009:55\r\nA3110009:33\r\n";
    EXPECT_EQ(ring.ExtractReply(own).value(), "A3110009:33");
    EXPECT_FALSE(ring.ExtractReply(DC2 + "23110009:\r\nA5110009:55\r\n").has_value());
    EXPECT_FALSE(ring.ExtractReply(DC2 + "A3110009:33").has_value()) << "needs the final LF";
    EXPECT_EQ(ring.ExtractReply("junk\r\nA3110009:1\n").value(), "A3110009:1");
}

TEST(Ring, ScanStartsAfterFirstDc2)
{
    TRingNetwork ring;
    ring.SetRingMode(true);
    ring.SetLocalAddress(1);
    EXPECT_EQ(ring.ExtractReply("A1110009:old\n" + DC2 + "A1110009:new\r\n").value(),
              "A1110009:new");
}

TEST(Ring, AddressIsMaskedAndAnyOnlyTakesAddressZero)
{
    TRingNetwork ring;
    ring.SetLocalAddress(35);
    EXPECT_EQ(ring.LocalAddress(), 3);
    ring.SetRingMode(true);
    ring.SetLocalAddress(0);
    EXPECT_FALSE(ring.ExtractReply(DC2 + "A1110009:1\r\n").has_value());
    EXPECT_EQ(ring.ExtractReply(DC2 + "A0110009:1\r\n").value(), "A0110009:1");
}
