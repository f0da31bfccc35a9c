// The command-line tool's own units: its command line and the passcode answers.
#include "ctloptions.h"
#include "exitcode.h"
#include "fleetrun.h"
#include "passcodeprompts.h"

#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using TCommand = TCtlOptions::TCommand;

TCtlOptions Parse(const QStringList& arguments)
{
    return ctloptions::Parse(QStringList{"q900ctl"} + arguments);
}

} // namespace

TEST(CtlOptions, CommandsTakeTheirArgumentsAndOptions)
{
    const TCtlOptions write = Parse({"--port", "/dev/ttyUSB0", "write", "0x0211", "00000005",
                                     "--level", "SAFE", "--passcode", "1111", "--cable", "ring",
                                     "--address", "7", "--baud", "9600", "--json"});
    ASSERT_EQ(write.error, "");
    EXPECT_EQ(write.command, TCommand::Write);
    EXPECT_EQ(write.reg, 0x0211);
    EXPECT_EQ(write.value, "00000005");
    EXPECT_FALSE(write.full);
    EXPECT_TRUE(write.levelGiven);
    EXPECT_EQ(write.passcode, "1111");
    EXPECT_TRUE(write.json);
    const TPortChoice choice = write.ApplyTo(TPortChoice{});
    EXPECT_EQ(choice.portName, "/dev/ttyUSB0");
    EXPECT_EQ(choice.cable, TPortChoice::RS232Ring);
    EXPECT_EQ(choice.address, 7);
    EXPECT_EQ(choice.baud, 2);

    const TCtlOptions log = Parse({"log", "run.csv", "--rate", "0.1", "--seconds", "2.5",
                                   "--channels", "Output 2, cofz ,MOTION", "--comment", "a b"});
    ASSERT_EQ(log.error, "");
    EXPECT_EQ(log.rate, 2);
    EXPECT_EQ(log.seconds, 2.5);
    EXPECT_EQ(log.channels, (std::array<int, 4>{6, 1, 3, 0}));
    EXPECT_EQ(log.comment, "a b");

    const TCtlOptions backup = Parse({"backup", "--all", "dir"});
    EXPECT_TRUE(backup.full) << "a backup is Full unless told";
    EXPECT_FALSE(backup.NeedsAddress());
    EXPECT_TRUE(Parse({"backup", "one.vsf"}).NeedsAddress());
    EXPECT_FALSE(Parse({"scan"}).NeedsAddress());
}

TEST(CtlOptions, SavedSettingsStayWhereNoOptionIsGiven)
{
    TPortChoice saved;
    saved.portName = "/dev/ttyS3";
    saved.cable = TPortChoice::RS232;
    saved.address = 4;
    saved.baud = 4;
    const TPortChoice choice = Parse({"identity"}).ApplyTo(saved);
    EXPECT_EQ(choice.portName, "/dev/ttyS3");
    EXPECT_EQ(choice.cable, TPortChoice::RS232);
    EXPECT_EQ(choice.address, 4);
    EXPECT_EQ(choice.baud, 4);
}

TEST(CtlOptions, BadCommandLinesNameTheirFault)
{
    const struct
    {
        QStringList arguments;
        const char* fault;
    } table[] = {
        {{}, "No command given"},
        {{"dump"}, "Unknown command \"dump\""},
        {{"read"}, "Usage: q900ctl [options] read REG"},
        {{"write", "1"}, "Usage: q900ctl [options] write REG VALUE"},
        {{"read", "10000"}, "is not a register"},
        {{"write", "1", "a\tb"}, "The value must be"},
        {{"identity", "--rate", "1"}, "--rate is not an option of identity"},
        {{"read", "1", "--all"}, "--all is not an option of read"},
        {{"identity", "--cable", "usb"}, "Unknown cable"},
        {{"identity", "--address", "32"}, "The address must be 0..31."},
        {{"identity", "--address", "-1"}, "The address must be 0..31."},
        {{"identity", "--baud", "115200"}, "The baud rate must be"},
        {{"backup", "f", "--level", "root"}, "The level must be safe or full."},
        {{"backup", "f", "--passcode", "12 34"}, "A passcode is digits only."},
        {{"log", "f", "--rate", "2"}, "The rate must be 10, 1 or 0.1"},
        {{"log", "f", "--seconds", "-3"}, "--seconds must be a number above 0"},
        {{"log", "f", "--seconds", "inf"}, "--seconds must be a number above 0"},
        {{"log", "f", "--seconds", "nan"}, "--seconds must be a number above 0"},
        {{"log", "f", "--channels", "Tare"}, "--channels takes up to four"},
        {{"identity", "--bogus"}, "Unknown option 'bogus'."},
    };
    for (const auto& row : table) {
        const TCtlOptions options = Parse(row.arguments);
        EXPECT_TRUE(options.error.contains(QLatin1String(row.fault)))
            << row.arguments.join(' ').toStdString() << " -> " << options.error.toStdString();
    }
}

TEST(CtlOptions, RegistersAndChannelsAsTyped)
{
    EXPECT_EQ(ctloptions::ParseRegister("25"), 0x25);
    EXPECT_EQ(ctloptions::ParseRegister("0X00f0"), 0xF0);
    EXPECT_EQ(ctloptions::ParseRegister("FFFF"), 0xFFFF);
    for (const char* bad : {"", "0x", "1 2", "-1", "12345", "0g"})
        EXPECT_EQ(ctloptions::ParseRegister(bad), -1) << bad;
    EXPECT_EQ(ctloptions::ParseChannels("Zero,Net,Output1,Output 2"),
              (std::array<int, 4>{2, 4, 5, 6}));
    EXPECT_FALSE(ctloptions::ParseChannels("None"));
    EXPECT_FALSE(ctloptions::ParseChannels(","));
}

TEST(CtlExitCodes, OutcomesAndTheWorseOfTwo)
{
    EXPECT_EQ(exitcode::For(TOutcome::Accepted), TExitCode::Done);
    EXPECT_EQ(exitcode::For(TOutcome::ErrorReply), TExitCode::Refused);
    EXPECT_EQ(exitcode::For(TOutcome::NoReply), TExitCode::NoAnswer);
    EXPECT_EQ(exitcode::For(TOutcome::PortClosed), TExitCode::NoAnswer);
    EXPECT_EQ(exitcode::Worse(TExitCode::Done, TExitCode::Refused), TExitCode::Refused);
    EXPECT_EQ(exitcode::Worse(TExitCode::NoAnswer, TExitCode::Refused), TExitCode::NoAnswer);
    EXPECT_EQ(exitcode::Worse(TExitCode::NoAnswer, TExitCode::BadUsage), TExitCode::BadUsage);
}

TEST(CtlPasscodes, GivenOncePerInstrumentThenTypedOrNone)
{
    const TPasscodeQuestion kFull{true};
    const TPasscodeQuestion kSafe{false};
    TPasscodePrompts given(true, QString("2222"), {});
    EXPECT_EQ(given.AskSetupLevel(), true);
    EXPECT_EQ(given.AskPasscode(kFull), "2222");
    EXPECT_EQ(given.AskPasscode(kFull), std::nullopt) << "refused: not again";
    EXPECT_FALSE(given.Missing());
    given.NextInstrument();
    EXPECT_EQ(given.AskPasscode(kFull), "2222") << "the next instrument";

    TPasscodePrompts none(false, std::nullopt, {});
    EXPECT_EQ(none.AskPasscode(kSafe), std::nullopt);
    EXPECT_TRUE(none.Missing());

    QStringList typed = {"12a", "4321", "9"};
    QStringList prompts;
    TPasscodePrompts terminal(false, std::nullopt, [&](const QString& prompt) {
        prompts << prompt;
        return std::optional<QString>(typed.takeFirst());
    });
    EXPECT_EQ(terminal.AskPasscode(kSafe), "4321") << "digits only";
    EXPECT_EQ(prompts, (QStringList{"Enter Safe Passcode: ", "Enter Safe Passcode: "}));
    EXPECT_EQ(terminal.AskPasscode(kSafe), "9");
    EXPECT_EQ(terminal.AskPasscode(kSafe), std::nullopt) << "three tries";
    terminal.NextInstrument();
    EXPECT_EQ(terminal.AskPasscode(kSafe), "9") << "what worked last";

    TPasscodePrompts cancelled(false, std::nullopt,
                               [](const QString&) { return std::optional<QString>(); });
    EXPECT_EQ(cancelled.AskPasscode(kSafe), std::nullopt);
    EXPECT_TRUE(cancelled.Cancelled());
}

TEST(CtlOptions, SeveralPortsAndTheFilesOfDiff)
{
    QTemporaryDir dir;
    QFile list(dir.filePath("ports.txt"));
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write("# the plant\n/dev/ttyUSB1\n\n  tcp://server:4001  \n");
    list.close();
    const TCtlOptions scan = Parse({"--port", "/dev/ttyUSB0", "--ports", list.fileName(), "scan"});
    ASSERT_EQ(scan.error, "");
    EXPECT_EQ(scan.ports, (QStringList{"/dev/ttyUSB0", "/dev/ttyUSB1", "tcp://server:4001"}));
    EXPECT_EQ(scan.port, "/dev/ttyUSB0");
    EXPECT_TRUE(scan.Fleet());

    const TCtlOptions two = Parse({"diff", "a.VSF", "b.VSF", "--calibration"});
    ASSERT_EQ(two.error, "");
    EXPECT_TRUE(two.Offline());
    EXPECT_TRUE(two.calibration);
    EXPECT_FALSE(Parse({"diff", "a.VSF", "--level", "safe"}).Offline());

    const struct
    {
        QStringList arguments;
        const char* fault;
    } table[] = {
        {{"--port", "a", "--port", "b", "identity"}, "scan and backup --all only"},
        {{"--port", "a", "--port", "b", "backup", "f"}, "scan and backup --all only"},
        {{"--ports", dir.filePath("none.txt"), "scan"}, "Cannot read the list of ports"},
        {{"diff"}, "Usage: q900ctl [options] diff FILE [FILE2]"},
        {{"diff", "a", "b", "c"}, "Usage: q900ctl [options] diff FILE [FILE2]"},
    };
    for (const auto& row : table) {
        const TCtlOptions options = Parse(row.arguments);
        EXPECT_TRUE(options.error.contains(QLatin1String(row.fault)))
            << row.arguments.join(' ').toStdString() << " -> " << options.error.toStdString();
    }
}

TEST(CtlFleet, FoldersAndSummaryRowsOfEachPort)
{
    EXPECT_EQ(TFleetRun::FolderName("/dev/ttyUSB0"), "ttyUSB0");
    EXPECT_EQ(TFleetRun::FolderName("/dev/pts/3"), "pts-3");
    EXPECT_EQ(TFleetRun::FolderName("rfc2217://[::1]:4001"), "rfc2217-1-4001");
    EXPECT_EQ(TFleetRun::FolderName("tcp://10.0.0.5:4001"), "tcp-10.0.0.5-4001");

    const QJsonObject backup =
        QJsonDocument::fromJson(
            R"({"files":[{"address":1,"serialNumber":"7","file":"d/7.VSF","exitCode":0},
                     {"address":5,"serialNumber":"8","file":"","exitCode":1}]})")
            .object();
    const auto rows = TFleetRun::Rows("/dev/a", backup, TExitCode::Refused, "");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].result, "saved");
    EXPECT_EQ(rows[1].result, "refused") << "no file saved: the passcode was refused";
    const QStringList table = TFleetRun::Table(rows).split('\n');
    ASSERT_EQ(table.size(), 3);
    EXPECT_TRUE(table[0].startsWith("Port    Address  Serial number  File"));
    EXPECT_EQ(table[1].indexOf("d/7.VSF"), table[0].indexOf("File")) << "columns line up";
}
