// Calibration entries as the instrument counts them: typed signals and weights, the data
// written for them, the signal field's keys and range, and the result code messages.
#include "calentry.h"

#include <QLocale>

#include <gtest/gtest.h>

using namespace calentry;

namespace {

struct SignalCase
{
    const char* typed;
    const char* shown;
    int32_t value;
    const char* data;
};

const SignalCase kSignals[] = {
    {"-0.5", "-0.5000", -5000, "FFFFEC78"}, // two's complement of a negative signal
    {"-.5", "-.5000", -5000, "FFFFEC78"},
    {"1.23456", "1.2345", 12345, "3039"}, // a fifth decimal is cut, never rounded
    {"1.99999", "1.9999", 19999, "4E1F"},
    {"", "0.0000", 0, "0"},
    {"2", "2.0000", 20000, "4E20"},
    {" +1.5", " +1.5000", 15000, "3A98"},
    {"0.0001", "0.0001", 1, "1"},
    {"-3", "-3.0000", -30000, "FFFF8AD0"},
};

} // namespace

TEST(CalEntry, SignalsAreCountedInTenThousandthsAndWrittenAsUpperCaseHex)
{
    for (const SignalCase& c : kSignals) {
        SCOPED_TRACE(c.typed);
        EXPECT_EQ(NormaliseSignal(QString::fromLatin1(c.typed)), QString::fromLatin1(c.shown));
        EXPECT_EQ(SignalFromText(QString::fromLatin1(c.typed)), c.value);
        EXPECT_EQ(ValueData(c.value), QString::fromLatin1(c.data));
    }
}

TEST(CalEntry, SignalRangeIsThreeMillivoltsPerVoltEitherWay)
{
    EXPECT_TRUE(SignalInRange("3"));
    EXPECT_TRUE(SignalInRange("3.0000"));
    EXPECT_TRUE(SignalInRange("-3.0000"));
    EXPECT_TRUE(SignalInRange("3.00009")) << "the fifth decimal is cut before the check";
    EXPECT_FALSE(SignalInRange("3.0001"));
    EXPECT_FALSE(SignalInRange("-3.0001"));
    EXPECT_EQ(OutOfRangeMessage(), "Out of Range: (-3.0000 to 3.0000)");
}

// 429496.7296 mV/V counts 2^32, which a 32-bit count would wrap to 0: it must not pass.
TEST(CalEntry, NumbersTooLongToCountAreOutOfRangeNotWrapped)
{
    EXPECT_FALSE(SignalInRange("429496.7296"));
    EXPECT_FALSE(SignalInRange("429496.7297"));
    EXPECT_FALSE(SignalInRange("99999999999"));
    EXPECT_TRUE(SignalInRange("0000000000001.5")) << "leading zeros are not digits that count";
}

TEST(CalEntry, SignalFieldTakesOnlyTheCharactersOfANumber)
{
    for (QChar c : QStringLiteral("0123456789 +,-.\b\t\r"))
        EXPECT_TRUE(IsSignalKey(c)) << int(c.unicode());
    for (QChar c : QStringLiteral("aeE/*xX:;"))
        EXPECT_FALSE(IsSignalKey(c)) << int(c.unicode());
}

TEST(CalEntry, WeightsAreCountedAtTheInstrumentsDecimals)
{
    EXPECT_EQ(WeightFromText("400", 1), 4000);
    EXPECT_EQ(WeightFromText("400.05", 1), 4000);
    EXPECT_EQ(WeightFromText("12.5", 0), 12);
    EXPECT_EQ(WeightFromText("", 2), 0);
    EXPECT_EQ(WeightFromText("-1.5", 3), -1500);
    EXPECT_EQ(ValueData(WeightFromText("400.0", 1)), "FA0");
    EXPECT_EQ(WeightText(4000, 1), "400.0");
    EXPECT_EQ(WeightText(-5, 2), "-0.05");
    EXPECT_EQ(SignalText(-5000), "-0.5000");
}

TEST(CalEntry, ResultCodesNameTheirCauseAndElevenToFifteenHaveNoText)
{
    const struct
    {
        uint32_t status;
        const char* message;
    } cases[] = {
        {0x0001, "Error: 1 - Span Too Low"},
        {0x0003, "Error: 3 - Resolution Low"},
        {0x0005, "Error: 5 - Point too close"},
        {0x0008, "Error: 8 - Linearisation point High"},
        {0x000A, "Error: 10 - Zero Calibration High"},
        {0x000B, "Error: 11 - "},
        {0x000C, "Error: 12 - "},
        {0x000F, "Error: 15 - "},
        {0x2003, "Error: 3 - Resolution Low"}, // the busy bit is not part of the code
    };
    for (const auto& c : cases)
        EXPECT_EQ(ResultMessage(c.status), QString::fromLatin1(c.message)) << c.status;
    EXPECT_EQ(ResultCode(0x2000), 0);
}

TEST(CalEntry, ConversionsIgnoreTheLocale)
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(SignalText(12345), "1.2345");
    EXPECT_EQ(SignalFromText("1.2345"), 12345);
    EXPECT_EQ(ResultMessage(0x000C), "Error: 12 - ");
    EXPECT_EQ(OutOfRangeMessage(), "Out of Range: (-3.0000 to 3.0000)");
    QLocale::setDefault(previous);
}
