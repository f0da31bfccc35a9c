// Terminal rendering, command-line options and the [Comms] form of the port choices.
#include "dmviewer.h"
#include "portconfig.h"
#include "serialports.h"
#include "startoptions.h"
#include "terminalhistory.h"
#include "terminalrender.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using terminalrender::Render;

TEST(TerminalRender, ControlCharactersOnRequestAndLineBreaks)
{
    EXPECT_EQ(Render(">>>21110009:\r\n", true), ">>>21110009:[CR][LF]\n");
    EXPECT_EQ(Render(">>>21110009:\r\n", false), ">>>21110009:\n");
    EXPECT_EQ(Render("abc;", true), "abc;\n");
    EXPECT_EQ(Render(">>>\x12"
                     "21\r\n\x14",
                     true),
              ">>>[DC2]21[CR][LF]\n[DC4]");
    EXPECT_EQ(Render(QString::fromLatin1("\xB0\x7F"), true), "[B0][7F]");
    EXPECT_EQ(Render(QString::fromLatin1("\xB0\x7F"), false), "");
    EXPECT_EQ(Render(QString::fromLatin1("\x00\x1F", 2), true), "[NUL][US]");
    EXPECT_EQ(Render("\x03\x04", false), "\n\n");
}

TEST(TerminalRender, HexBytesBrokenIntoLinesAsTheTextIs)
{
    EXPECT_EQ(terminalrender::Hex("21:\r\n"), "32 31 3A 0D 0A\n");
    EXPECT_EQ(terminalrender::Hex(QString::fromLatin1("\x12;\xB0\x00\x03", 5)),
              "12 3B\nB0 00 03\n");
    EXPECT_EQ(terminalrender::Hex(""), "");
}

// Sends ("+line"), Up ("U") and Down ("D") keys; what each key put in the box ("-": left as is).
struct THistoryCase
{
    const char* steps;
    const char* shown;
};

class TerminalHistory : public ::testing::TestWithParam<THistoryCase>
{
};

TEST_P(TerminalHistory, UpAndDownWalkTheLinesSent)
{
    TTerminalHistory history;
    QStringList shown;
    for (const QString& step : QString::fromLatin1(GetParam().steps).split(u' ')) {
        if (step.startsWith(u'+'))
            history.Add(step.mid(1));
        else if (step == u"U")
            shown << history.Older().value_or(QStringLiteral("-"));
        else
            shown << history.Newer();
    }
    EXPECT_EQ(shown.join(u' '), QString::fromLatin1(GetParam().shown));
}

// Nothing sent: Up leaves the box alone, Down empties it.
INSTANTIATE_TEST_SUITE_P(Keys, TerminalHistory,
                         ::testing::Values(THistoryCase{"U D", "- "},
                                           THistoryCase{"+a +b +c U U U U", "c b a a"},
                                           THistoryCase{"+a +b U U D D D", "b a b  "},
                                           THistoryCase{"+a +a +b +a + U U U U", "a b a a"},
                                           THistoryCase{"+a +b U U +c U U", "b a c b"}));

TEST(TerminalHistoryLimit, KeepsTheLastHundredLines)
{
    TTerminalHistory history;
    for (int i = 0; i <= TTerminalHistory::kMaxLines; ++i)
        history.Add(QString::number(i));
    QString oldest;
    for (int i = 0; i <= TTerminalHistory::kMaxLines; ++i)
        oldest = history.Older().value_or(QString());
    EXPECT_EQ(oldest, "1");
}

TEST(StartOptions, ReadsConnectionOptions)
{
    const TStartOptions o = startoptions::Parse({"viewer", "--port", "/dev/ttyUSB3", "--cable",
                                                 "ring", "--address", "7", "--baud", "19200"});
    ASSERT_EQ(o.error, "");
    EXPECT_TRUE(o.WantsConnection());
    const TPortChoice c = o.ApplyTo(TPortChoice{});
    EXPECT_EQ(c.portName, "/dev/ttyUSB3");
    EXPECT_EQ(c.cable, TPortChoice::RS232Ring);
    EXPECT_EQ(c.address, 7);
    EXPECT_EQ(c.baud, 3);

    EXPECT_FALSE(startoptions::Parse({"viewer"}).WantsConnection());
    EXPECT_TRUE(startoptions::Parse({"viewer", "--simulator"}).simulator);
}

TEST(StartOptions, BadValuesAreRefusedWithAMessage)
{
    EXPECT_NE(startoptions::Parse({"viewer", "--cable", "usb"}).error, "");
    EXPECT_NE(startoptions::Parse({"viewer", "--address", "32"}).error, "");
    EXPECT_NE(startoptions::Parse({"viewer", "--baud", "115200"}).error, "");
    EXPECT_NE(startoptions::Parse({"viewer", "--cable", "ring", "--address", "0"}).error, "");
    EXPECT_NE(startoptions::Parse({"viewer", "--bogus"}).error, "");
}

TEST(SerialPorts, NumbersSortingAndRules)
{
    EXPECT_EQ(serialports::PortNumberFromName("COM3"), 3);
    EXPECT_EQ(serialports::PortNumberFromName("COM12"), 12);
    EXPECT_EQ(serialports::PortNumberFromName("COM0"), 1);
    EXPECT_EQ(serialports::PortNumberFromName("COM"), 1);
    EXPECT_TRUE(serialports::IsComStyleName("com10"));
    EXPECT_FALSE(serialports::IsComStyleName("/dev/ttyS0"));
    const QStringList ports = serialports::EnumSerialPorts({"COM2", "com10", "/dev/pts/9", " "});
    EXPECT_LT(ports.indexOf("com10"), ports.indexOf("COM2")) << "text order, case ignored";
    EXPECT_LT(ports.indexOf("/dev/pts/9"), ports.indexOf("com10"));
    EXPECT_FALSE(ports.contains(" "));
    EXPECT_FALSE(serialports::RingAllowed(TPortChoice::RS232Ring, 0));
    EXPECT_TRUE(serialports::RingAllowed(TPortChoice::RS232Ring, 3));
    EXPECT_TRUE(serialports::RingAllowed(TPortChoice::RS232, 0));
}

TEST(SerialPorts, OpticalLinkIsFixedAt9600To8N1AndAny)
{
    TPortChoice c;
    c.cable = TPortChoice::OpticalLink;
    c.baud = 4;
    c.parity = 2;
    c.data = 0;
    c.stop = 1;
    c.address = 9;
    const TLineSettings line = serialports::LineSettingsFor(c);
    EXPECT_EQ(line.baud, 9600);
    EXPECT_EQ(line.dataBits, 8);
    EXPECT_EQ(line.parity, 0);
    EXPECT_EQ(line.stopBits, 1);
    EXPECT_EQ(serialports::AddressFor(c), 0);
    c.cable = TPortChoice::RS232;
    const TLineSettings cable = serialports::LineSettingsFor(c);
    EXPECT_EQ(cable.baud, 38400);
    EXPECT_EQ(cable.dataBits, 7);
    EXPECT_EQ(cable.parity, 2);
    EXPECT_EQ(cable.stopBits, 2);
    EXPECT_EQ(serialports::AddressFor(c), 9);
}

TEST(PortConfig, ComNamesAsNumbersOtherNamesAsPaths)
{
    QTemporaryDir dir;
    QFile f(dir.filePath("config.ini"));
    f.open(QIODevice::WriteOnly);
    f.write("[Comms]\n");
    f.close();
    TdatViewer config(dir.path());
    TPortChoice first = portconfig::LoadPortDialog(config);
    EXPECT_EQ(first.portName, "Com0");
    EXPECT_EQ(first.cable, TPortChoice::RS232Ring) << "defaults: ring and Any";
    EXPECT_EQ(first.address, 0);

    TPortChoice c;
    c.portName = "COM10";
    c.cable = TPortChoice::RS232;
    c.address = 4;
    portconfig::SavePortDialog(config, c);
    EXPECT_EQ(config.Port(), 10);
    EXPECT_EQ(portconfig::LoadPortDialog(config).portName, "Com10");

    c.portName = "/dev/serial/by-id/usb-adapter";
    portconfig::SavePortDialog(config, c);
    EXPECT_EQ(config.Port(), 10) << "a path keeps the number as it was";
    EXPECT_EQ(portconfig::LoadPortDialog(config).portName, "/dev/serial/by-id/usb-adapter");
    EXPECT_EQ(portconfig::LoadPortDialog(config).address, 4);
    c.portName = "tcp://server:4001";
    portconfig::SavePortDialog(config, c);
    EXPECT_EQ(portconfig::RecentPorts(config),
              (QStringList{"tcp://server:4001", "/dev/serial/by-id/usb-adapter", "COM10"}))
        << "the ports used last, newest first";
}

TEST(PortConfig, AddressOutsideTheListIsAnyAndSavedSo)
{
    QTemporaryDir dir;
    QFile f(dir.filePath("config.ini"));
    f.open(QIODevice::WriteOnly);
    f.write("[Comms]\nCable=0\nAddress=-1\n");
    f.close();
    TdatViewer config(dir.path());
    TPortChoice choice = portconfig::LoadPortDialog(config);
    EXPECT_EQ(choice.address, 0);
    choice.portName = "/dev/ttyS0";
    portconfig::SavePortDialog(config, choice);
    EXPECT_EQ(config.Address(), 0) << "saved as Any, not as -1";
    config.SetAddress(40);
    EXPECT_EQ(portconfig::LoadPortDialog(config).address, 0);
}

// The program's own config.ini starts on a plain cable: a ring with Any is the one
// combination the port dialog refuses.
TEST(PortConfig, ShippedConfigurationIsAChoiceThePortDialogAccepts)
{
    const TdatViewer shipped(QStringLiteral(VIEWER_SOURCE_DIR "/resources/data"));
    ASSERT_TRUE(shipped.ConfigValid());
    const TPortChoice choice = portconfig::LoadPortDialog(shipped);
    EXPECT_EQ(choice.cable, TPortChoice::RS232);
    EXPECT_TRUE(serialports::RingAllowed(choice.cable, choice.address));
}
