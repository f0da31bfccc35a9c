#include "instrumentfixture.h"

#include "lcdframe.h"
#include "tools.h"

namespace {

constexpr uint32_t kBusy = 0x2000;
constexpr uint32_t kAccessDenied = 0x1000;
constexpr uint32_t kIllegalOperation = 0x0100;
constexpr uint32_t kIllegalValue = 0x0200;
constexpr uint32_t kOverRange = 0x0400;
constexpr uint32_t kUnderRange = 0x0800;

} // namespace

class CalibrationTest : public InstrumentTest
{
protected:
    int32_t Value(const char* request) { return static_cast<int32_t>(Ask(request).Value); }
    int32_t Weight() { return static_cast<int32_t>(tools::HexToInt(Data("20110040:").mid(8, 8))); }
    // Starts an action at a calibration weight and returns its result code.
    uint32_t Calibrate(const QString& action, int32_t weight = 0)
    {
        OpenFull();
        EXPECT_EQ(Error("20120100:" + tools::HexText(static_cast<uint32_t>(weight))), 0u);
        EXPECT_EQ(Error("2010" + action + ":"), 0u);
        EXPECT_EQ(Ask("20110021:").Value, kBusy);
        Wait(1600);
        return Ask("20110021:").Value;
    }
};

TEST_F(CalibrationTest, ZeroIsBusyThenTakesTheLoadAsZero)
{
    Settle(10);
    EXPECT_EQ(Weight(), 100);
    OpenFull();
    EXPECT_EQ(Data("20100102:"), "00");
    Wait(1000);
    EXPECT_EQ(Ask("20110021:").Value, kBusy);
    EXPECT_EQ(TLcdFrame::FromRegisterData(Data("20110009:")).DigitsText(), "-CAL-");
    EXPECT_EQ(Error("20100103:"), kIllegalOperation) << "one action at a time";
    Wait(600);
    EXPECT_EQ(Ask("20110021:").Value, 0u);
    EXPECT_EQ(Weight(), 0);
    EXPECT_EQ(Value("20110111:"), 1200) << "0.1200 mV/V";
    EXPECT_EQ(Value("20110246:"), 1) << "the calibration counter";
}

TEST_F(CalibrationTest, SpanFollowsTheTestWeight)
{
    Settle(200);
    EXPECT_EQ(Calibrate("0103", 2500), 0u);
    EXPECT_EQ(Weight(), 2500);
    EXPECT_EQ(Value("20110112:"), 2500);
    EXPECT_EQ(Value("20110113:"), 4000);
    Settle(100);
    EXPECT_EQ(Weight(), 1250);
}

TEST_F(CalibrationTest, ActionsReportTheirResultCodes)
{
    Settle(200);
    EXPECT_EQ(Calibrate("0103", 0), 1u) << "span too low";
    EXPECT_EQ(Calibrate("0103", 200), 2u) << "full scale beyond the input";
    Settle(5);
    EXPECT_EQ(Calibrate("0103", 50), 3u) << "a test weight of 1 % of capacity";
    Settle(1000);
    EXPECT_EQ(Calibrate("0102"), 10u) << "zero above 2 mV/V";
    EXPECT_EQ(Value("20110111:"), 1000) << "a failed action changes nothing";
    EXPECT_EQ(Value("20110246:"), 0);
}

TEST_F(CalibrationTest, DirectMilliVoltsPerVolt)
{
    OpenFull();
    EXPECT_EQ(Data("20100102:FFFFEC78"), "00");
    EXPECT_EQ(Data("20110111:"), "FFFFEC78");
    EXPECT_EQ(Data("20100102:7530"), "0A") << "3.0000 mV/V is too high for a zero";
    EXPECT_EQ(Value("20110111:"), -5000);
    EXPECT_EQ(Data("20100103:4E20"), "00");
    EXPECT_EQ(Value("20110112:"), 5000) << "the span is taken at the reference weight";
    EXPECT_EQ(Value("20110113:"), 20000);
    EXPECT_EQ(Weight(), 1500) << "0.6 mV/V above the new zero at 2 mV/V per 500.0 kg";
}

TEST_F(CalibrationTest, LinearisationPointsCorrectTheCell)
{
    settings.cell.nonlinearity = 0.001;
    Start();
    Settle(250);
    EXPECT_NE(Weight(), 2500) << "the bowed cell reads high between zero and span";
    EXPECT_EQ(Calibrate("0104", 2500), 0u);
    EXPECT_EQ(Weight(), 2500);
    EXPECT_EQ(Value("20110114:"), 2500);
    Settle(500);
    EXPECT_EQ(Weight(), 5000) << "the span still holds";
    Settle(252);
    EXPECT_EQ(Calibrate("0105", 2510), 5u) << "too close to point 1";
    EXPECT_EQ(Calibrate("0105", 6000), 8u);
    EXPECT_EQ(Calibrate("0105", -100), 7u);
    EXPECT_EQ(Calibrate("0104", 0), 0u) << "weight 0 clears the point";
    EXPECT_EQ(Value("20110114:"), 0);
    EXPECT_EQ(Calibrate("0104", 0), 6u) << "nothing left to clear";
    EXPECT_EQ(Value("2011011D:"), 0) << "all ten points answer";
}

TEST_F(CalibrationTest, BlockReadsBackAndRestores)
{
    EXPECT_EQ(Error("201100F0:"), kAccessDenied);
    OpenFull();
    const QString block = Data("201100F0:");
    EXPECT_EQ(block.size(), 190);
    Data("20100102:FFFFEC78");
    EXPECT_NE(Data("201100F0:"), block);
    EXPECT_EQ(Error("201200F0:" + block), 0u);
    EXPECT_EQ(Value("20110111:"), 1000);
    QString broken = block;
    broken[20] = broken[20] == u'0' ? u'1' : u'0';
    EXPECT_EQ(Error("201200F0:" + broken), kIllegalValue);
    EXPECT_EQ(Error("201200F0:" + block.left(100)), kIllegalValue);
}

TEST_F(CalibrationTest, ActionsNeedFullAccess)
{
    OpenSafe();
    EXPECT_EQ(Error("20100102:"), kAccessDenied);
    EXPECT_EQ(Error("20120100:10"), kAccessDenied);
    EXPECT_EQ(Error("20110111:"), 0u) << "the figures may be read";
}

TEST_F(CalibrationTest, FaultsKeepItBusyOrForceAResult)
{
    settings.calibrationStuck = true;
    Start();
    Calibrate("0102");
    Wait(60000);
    EXPECT_EQ(Ask("20110021:").Value, kBusy);
    settings.calibrationStuck = false;
    settings.forcedCalibrationResult = 4;
    Start();
    Settle(10);
    EXPECT_EQ(Calibrate("0102"), 4u);
    EXPECT_EQ(Weight(), 100);
}

TEST_F(InstrumentTest, ClockIsSetFieldByField)
{
    EXPECT_EQ(Error("20120154:7EA"), kAccessDenied);
    OpenSafe();
    for (const char* write :
         {"20120154:7EA", "20120153:C", "20120152:6", "20120155:17", "20120156:1B"})
        ASSERT_EQ(Error(write), 0u) << write;
    EXPECT_EQ(Data("20110150:"), "06/12/26 23:27:00");
    Wait(1500);
    EXPECT_EQ(Data("20110150:"), "06/12/26 23:27:01");
    ASSERT_EQ(Error("20120251:1"), 0u);
    EXPECT_EQ(Data("20110150:"), "12/06/26 23:27:01") << "month first";
    EXPECT_EQ(Data("20110153:"), "C");
}

TEST_F(InstrumentTest, ClockRefusesImpossibleFields)
{
    OpenSafe();
    EXPECT_EQ(Error("20120153:D"), kOverRange);
    EXPECT_EQ(Error("20120152:0"), kUnderRange);
    EXPECT_EQ(Error("20120155:18"), kOverRange);
    EXPECT_EQ(Error("20120156:3C"), kOverRange);
    EXPECT_EQ(Error("20120154:7CF"), kUnderRange);
    ASSERT_EQ(Error("20120154:7EA"), 0u);
    ASSERT_EQ(Error("20120153:1"), 0u);
    ASSERT_EQ(Error("20120152:1F"), 0u);
    ASSERT_EQ(Error("20120153:2"), 0u);
    EXPECT_TRUE(Data("20110150:").startsWith("28/02/26")) << "the day follows a shorter month";
    EXPECT_EQ(Error("20120152:1D"), kOverRange) << "no 29 February 2026";
}

TEST_F(InstrumentTest, PrintFormatsWithTheirLimits)
{
    EXPECT_EQ(Ask("20030146:").Value, 64u);
    EXPECT_EQ(Ask("20030147:").Value, 32u);
    EXPECT_TRUE(Data("20110146:").endsWith("00"));
    EXPECT_EQ(Error("20120146:41"), kAccessDenied);
    OpenFull();
    EXPECT_EQ(Error("20120146:4E45543A0D0A00"), 0u);
    EXPECT_EQ(Data("20110146:"), "4E45543A0D0A00");
    EXPECT_EQ(Error("20120147:" + QString(66, u'A')), kOverRange);
    EXPECT_EQ(Error("20120147:" + QString(64, u'A')), 0u);
    EXPECT_EQ(Error("20120147:123"), kIllegalValue);
    EXPECT_EQ(Error("20120147:4G"), kIllegalValue);
    EXPECT_EQ(Error("20120147:00"), 0u);
    EXPECT_EQ(Data("20110147:"), "00");
}

TEST_F(CalibrationTest, WithoutLinearisationPointsAndTheirWeightsAreNotImplemented)
{
    constexpr uint32_t kNotImplemented = protocol::err::NotImplemented;
    settings.noLinearisation = true;
    Start();
    OpenFull();
    EXPECT_EQ(Error("20110114:"), kNotImplemented);
    EXPECT_EQ(Error("2011011D:"), kNotImplemented);
    EXPECT_EQ(Error("20100104:"), kNotImplemented);
    EXPECT_EQ(Error("2010010D:"), kNotImplemented);
    EXPECT_EQ(Error("20110113:"), 0u) << "the span is still there";
    EXPECT_EQ(Error("20100102:"), 0u) << "and zero still calibrates";
}
