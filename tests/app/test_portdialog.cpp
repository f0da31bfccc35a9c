// The port dialog on Linux: ports listed under their names with what is known of them, the
// ports used last in front, a serial device server's port chosen as host and port or typed,
// and the last connection's choices shown again.
#include "comdialog.h"
#include "portconfig.h"
#include "windowfixture.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include <ostream>

namespace {

using portlist::TLink;
using portlist::TPortEntry;
using portlist::TPortInfo;

QStringList Texts(const std::vector<TPortEntry>& entries)
{
    QStringList texts;
    for (const TPortEntry& entry : entries)
        texts << entry.name + " | " + entry.details;
    return texts;
}

struct TChoiceCase
{
    const char* name;
    const char* given;   // the choice's port name
    const char* network; // the host the dialog shows, nullptr for a serial port
    const char* chosen;  // the port name it hands back
    bool lineSettings;   // baud and the rest can be chosen
};

inline void PrintTo(const TChoiceCase& c, std::ostream* out)
{
    *out << c.name;
}

class PortChoices : public ::testing::TestWithParam<TChoiceCase>
{
};

} // namespace

TEST(PortList, RecentFirstThenTheSystemsPortsThenStableNames)
{
    const std::vector<TPortInfo> system = {{"/dev/ttyUSB0", "FT232R USB UART", "FTDI", "A1B2C3"},
                                           {"/dev/ttyS0", "", "", ""},
                                           {"/dev/ttyACM0", "Q900 USB", "Q900 USB", ""}};
    const std::vector<TLink> links = {
        {"/dev/serial/by-id/usb-FTDI_FT232R_A1B2C3-if00-port0", "/dev/ttyUSB0"}};
    EXPECT_EQ(
        Texts(portlist::Entries(system, links, {"/dev/pts/7"},
                                {"tcp://server:4001", "/dev/TTYUSB0"})),
        (QStringList{"tcp://server:4001 | used recently", "/dev/TTYUSB0 | used recently",
                     "/dev/pts/7 | ", "/dev/ttyACM0 | Q900 USB", "/dev/ttyS0 | ",
                     "/dev/serial/by-id/usb-FTDI_FT232R_A1B2C3-if00-port0 | the port /dev/ttyUSB0: "
                     "FT232R USB UART, FTDI, serial number A1B2C3"}))
        << "each name once, whatever its case";
    EXPECT_EQ(portlist::Remembered({"a", "b", "c", "d", "e"}, "c"),
              (QStringList{"c", "a", "b", "d", "e"}));
    EXPECT_EQ(portlist::Remembered({"a", "b", "c", "d", "e"}, "f").size(), 5);
}

TEST_P(PortChoices, ShownAndHandedBack)
{
    const TChoiceCase& c = GetParam();
    RecordingPrompts prompts;
    TFrmComDialog dialog(prompts, QStringList{"/dev/ttyS0", "/dev/ttyUSB0"});
    dialog.SetPorts({{"/dev/ttyS0", ""}, {"/dev/ttyUSB0", "FT232R USB UART, FTDI"}});
    TPortChoice choice;
    choice.portName = QString::fromLatin1(c.given);
    choice.cable = TPortChoice::RS232;
    choice.address = 7;
    dialog.SetChoice(choice);
    dialog.show();
    EXPECT_EQ(Child<QRadioButton>(&dialog, "RGLink_1")->isChecked(), c.network != nullptr);
    if (c.network) {
        EXPECT_EQ(Child<QLineEdit>(&dialog, "EdtHost")->text(), QLatin1String(c.network));
    }
    EXPECT_EQ(dialog.Choice().portName, QLatin1String(c.chosen));
    EXPECT_EQ(dialog.Choice().address, 7);
    EXPECT_EQ(Child<QWidget>(&dialog, "RGBaud")->isEnabled(), c.lineSettings);
    EXPECT_TRUE(Child<QPushButton>(&dialog, "BtnOk")->isEnabled());
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messages.join('|').toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    PortDialog, PortChoices,
    ::testing::Values(TChoiceCase{"ListedPort", "/dev/ttyusb0", nullptr, "/dev/ttyUSB0", true},
                      TChoiceCase{"TypedPath", "/tmp/q900", nullptr, "/tmp/q900", true},
                      TChoiceCase{"ComNameOfNoPortHere", "Com0", nullptr, "/dev/ttyS0", true},
                      TChoiceCase{"RawTcp", "TCP://Server.Plant:4001", "server.plant",
                                  "tcp://server.plant:4001", false},
                      TChoiceCase{"Rfc2217", "rfc2217://[::1]:2217", "::1", "rfc2217://[::1]:2217",
                                  true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PortDialog, NetworkPortFromTheListOrFromHostAndPort)
{
    RecordingPrompts prompts;
    TFrmComDialog dialog(prompts, QStringList{});
    dialog.SetPorts({{"rfc2217://10.0.0.9:4002", "used recently"}, {"/dev/ttyS0", ""}});
    dialog.show();
    emit Child<QComboBox>(&dialog, "CBSerialPort")->activated(0); // a recent network port
    EXPECT_TRUE(Child<QRadioButton>(&dialog, "RGLink_1")->isChecked());
    EXPECT_EQ(dialog.Choice().portName, "rfc2217://10.0.0.9:4002");
    Child<QLineEdit>(&dialog, "EdtHost")->clear();
    EXPECT_FALSE(Child<QPushButton>(&dialog, "BtnOk")->isEnabled()) << "no host, no port";
    Child<QLineEdit>(&dialog, "EdtHost")->setText("server");
    Child<QSpinBox>(&dialog, "SpnNetPort")->setValue(5000);
    Child<QComboBox>(&dialog, "CbxProtocol")->setCurrentIndex(0);
    EXPECT_EQ(dialog.Choice().portName, "tcp://server:5000");
    EXPECT_TRUE(Child<QPushButton>(&dialog, "BtnOk")->isEnabled());
}

// Connected to address 1 without keeping it (as with --simulator): the dialog opened after a
// disconnect shows that address, not the saved Any.
TEST_F(WindowOnSimulator, PortDialogShowsTheLastConnectionsAddress)
{
    sim = std::make_unique<TSimPty>(options);
    QString error;
    ASSERT_TRUE(sim->Open(&portPath, &error));
    TPortChoice choice;
    choice.portName = portPath;
    choice.cable = TPortChoice::RS232;
    choice.address = 1;
    ASSERT_TRUE(window->ConnectWith(choice, false));
    window->Connect2Click(); // disconnect
    int address = -1;
    QString port;
    ModalAnswer answer("TFrmComDialog", [&](QWidget* dialog) {
        address = Child<QComboBox>(dialog, "cboxAddress")->currentIndex();
        port = Child<QComboBox>(dialog, "CBSerialPort")->currentText();
        Child<QPushButton>(dialog, "BtnCancel")->click();
    });
    window->Connect2Click();
    EXPECT_TRUE(answer.Answered());
    EXPECT_EQ(address, 1);
    EXPECT_EQ(port, portPath);
}
