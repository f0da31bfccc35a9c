#include "instrumentfixture.h"

#include "lcdframe.h"
#include "tools.h"

namespace {

constexpr uint32_t kNet = 0x0200;
constexpr uint32_t kZero = 0x0400;
constexpr uint32_t kCentreOfZero = 0x0800;
constexpr uint32_t kMotion = 0x1000;
constexpr uint32_t kOutput1 = 0x0080;
constexpr uint32_t kOutput2 = 0x0040;

} // namespace

class WeighingTest : public InstrumentTest
{
protected:
    struct Sample
    {
        uint32_t tick;
        int32_t weight;
        uint32_t status;
    };
    Sample Log()
    {
        const QString data = Data("20110040:");
        EXPECT_EQ(data.size(), 24);
        return {tools::HexToInt(data.mid(0, 8)),
                static_cast<int32_t>(tools::HexToInt(data.mid(8, 8))),
                tools::HexToInt(data.mid(16, 8))};
    }
    TLcdFrame Lcd() { return TLcdFrame::FromRegisterData(Data("20110009:")); }
    void Key(const char* data) { ASSERT_EQ(Error(QStringLiteral("20120008:") + data), 0u); }
};

TEST_F(WeighingTest, LoadSettlesAfterMotion)
{
    EXPECT_EQ(Log().status & (kZero | kCentreOfZero | kMotion), kZero | kCentreOfZero);
    sim->PlaceLoad(123.4);
    Wait(300);
    EXPECT_TRUE(Log().status & kMotion);
    EXPECT_TRUE(Lcd().AnnunciatorOn(TLcdFrame::Motion));
    Wait(5000);
    const Sample sample = Log();
    EXPECT_EQ(sample.weight, 1234);
    EXPECT_EQ(sample.status & (kMotion | kZero), 0u);
    EXPECT_EQ(Lcd().DigitsText(), "123.4");
    EXPECT_EQ(Data("20050025:"), "123.4 kg G");
}

TEST_F(WeighingTest, LogTickCountsFortyMilliseconds)
{
    const uint32_t first = Log().tick;
    Wait(400);
    EXPECT_EQ(Log().tick - first, 10u);
}

TEST_F(WeighingTest, NoiseStaysWithinADivisionWhenFiltered)
{
    settings.cell.noiseDivisions = 0.15;
    Start();
    Settle(100);
    for (int i = 0; i < 50; ++i) {
        Wait(100);
        EXPECT_NEAR(Log().weight, 1000, 1);
    }
}

TEST_F(WeighingTest, ZeroKeyWithinItsRange)
{
    Settle(0.8);
    EXPECT_EQ(Log().weight, 8);
    Key("8002");
    EXPECT_EQ(Log().weight, 0);
    EXPECT_TRUE(Log().status & kCentreOfZero);
    Settle(150);
    Key("8002");
    EXPECT_EQ(Lcd().DigitsText(), "Error") << "150 kg is beyond 2 % of capacity";
    Wait(1000);
    EXPECT_EQ(Lcd().DigitsText(), "149.2");
    sim->PlaceLoad(0.8);
    Wait(200);
    Key("8002");
    EXPECT_EQ(Lcd().DigitsText(), "Error") << "no zero while the load moves";
}

TEST_F(WeighingTest, TareShowsNetAndGrossNetSwitches)
{
    Settle(50);
    Key("8003");
    EXPECT_EQ(Log().weight, 0);
    EXPECT_TRUE(Log().status & kNet);
    Settle(80);
    EXPECT_EQ(Lcd().DigitsText(), "30.0");
    EXPECT_TRUE(Lcd().AnnunciatorOn(TLcdFrame::Net));
    EXPECT_EQ(Data("20050025:"), "30.0 kg N");
    Key("8004");
    EXPECT_EQ(Lcd().DigitsText(), "80.0");
    EXPECT_TRUE(Lcd().AnnunciatorOn(TLcdFrame::Gross));
    Key("8004");
    Key("8083");
    EXPECT_EQ(Log().status & kNet, 0u) << "holding Tare clears it";
    EXPECT_EQ(Log().weight, 800);
    EXPECT_EQ(Error("20120008:8001"), 0x0200u) << "no such key";
    EXPECT_EQ(Error("20120008:1234"), 0x0200u);
}

TEST_F(WeighingTest, KeysSettingSwitchesTheZeroKeyOff)
{
    OpenFull();
    ASSERT_EQ(Error("20120217:C"), 0u);
    Settle(0.8);
    Key("8002");
    EXPECT_EQ(Log().weight, 8);
}

TEST_F(WeighingTest, SetpointsFollowTheWeightWithHysteresis)
{
    const auto output1 = [&](double kilograms) {
        Settle(kilograms);
        return (Log().status & kOutput1) != 0;
    };
    EXPECT_FALSE(output1(99.0));
    EXPECT_TRUE(output1(100.0));
    EXPECT_TRUE(output1(99.2)) << "within the 1.0 kg hysteresis";
    EXPECT_FALSE(output1(98.9));
    EXPECT_FALSE(Log().status & kOutput2);
    Settle(400);
    EXPECT_TRUE(Log().status & kOutput2);
    EXPECT_TRUE(Lcd().AnnunciatorOn(TLcdFrame::Output2));
    OpenSafe();
    ASSERT_EQ(Error("20120235:1"), 0u);
    EXPECT_FALSE(Log().status & kOutput1) << "active-low output 1 is off over its target";
}

TEST_F(WeighingTest, OverloadAndFunctionViews)
{
    Settle(600);
    EXPECT_EQ(Lcd().DigitsText(), "-0L-");
    Settle(12.34);
    Key("8006");
    EXPECT_EQ(Lcd().DigitsText(), "12.34");
    EXPECT_TRUE(Lcd().Segment(3, 1) && Lcd().Segment(3, 2)) << "H in the small digit";
    Key("8006");
    Key("8086");
    EXPECT_EQ(Lcd().DigitsText(), "0.1247") << "the signal in mV/V";
}

TEST_F(WeighingTest, PrintKeyPrintsTheFormat)
{
    OpenFull();
    ASSERT_EQ(Error("20120146:47208120A2810D0A"), 0u);
    Settle(25);
    Key("8005");
    ASSERT_EQ(sim->Tickets().size(), 1);
    EXPECT_EQ(sim->Tickets().back(), QString::fromLatin1("G 25.0 kg \xA2"
                                                         "25.0 kg\r\n"));
    EXPECT_EQ(Lcd().DigitsText(), "Print");
    Key("8085");
    EXPECT_EQ(sim->Tickets().back(), "#2 N 25.0 kg\r\n") << "the long format";
}

TEST_F(WeighingTest, EditingBarFlashesDuringASession)
{
    EXPECT_FALSE(Lcd().AnnunciatorOn(TLcdFrame::EditBar));
    now = 200000;
    OpenSafe();
    const bool first = Lcd().AnnunciatorOn(TLcdFrame::EditBar);
    now += 500;
    EXPECT_NE(Lcd().AnnunciatorOn(TLcdFrame::EditBar), first);
}

TEST_F(WeighingTest, DisplayShowsUnitsAndDecimalsOfTheSettings)
{
    OpenFull();
    Settle(12.3);
    ASSERT_EQ(Error("20120201:3"), 0u);
    ASSERT_EQ(Error("20120204:2"), 0u);
    EXPECT_EQ(Lcd().DigitsText(), "0.123");
    EXPECT_TRUE(Lcd().AnnunciatorOn(TLcdFrame::Pounds));
    EXPECT_FALSE(Lcd().AnnunciatorOn(TLcdFrame::Kilograms));
    EXPECT_EQ(Data("20050025:"), "0.123 lb G");
    EXPECT_EQ(Data("2005002F:"), "5.000 lb");
}
