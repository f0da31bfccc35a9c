// q900ctl on one simulated instrument: each command over the pseudo-terminal, its exit codes
// and its --json output read back, a backup byte for byte against the viewer's own saved
// file, a restore onto changed settings, a log run ended by SIGINT, and diff of the instrument
// against its backup and of two files.
#include "ctlrunner.h"

#include "../logging/tracestore.h"
#include "instrumentlink.h"
#include "logfile.h"
#include "protocol.h"
#include "pseudoterminal.h"
#include "recordingprompts.h"
#include "recordingsessionprompts.h"
#include "sessioncontroller.h"
#include "settingsfile.h"
#include "smalldisk.h"

#include <QFile>
#include <QJsonArray>
#include <QProcess>
#include <QTemporaryDir>

#include <csignal>
#include <unistd.h>

using namespace protocol;

namespace {

constexpr int kFilter = 0x0211; // OPTION > FILTER, written at Safe level
constexpr int kCapacity = 0x0202;

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The viewer's File > Save after Expand All, built from the units the viewer uses: a
// session started on the Settings tab, every menu read, the tree written as a settings file.
QByteArray ViewerSaveAfterExpandAll(const QString& port, bool full, const QString& path)
{
    RecordingPrompts prompts;
    RecordingSessionPrompts sessionPrompts;
    TInstrumentLink link(prompts);
    TPortChoice choice;
    choice.portName = port;
    choice.cable = TPortChoice::RS232;
    choice.address = 1;
    EXPECT_EQ(link.Open(choice), "");
    TSessionController session(link, prompts, sessionPrompts);
    sessionPrompts.levels = {full};
    sessionPrompts.passcodes = {full ? "2222" : "1111"};
    session.StartSessionClick();
    EXPECT_TRUE(session.SessionActive());
    TSettingsTree& tree = session.Tree();
    EXPECT_EQ(tree.RunRead(*tree.Top(), TMenuReader::TScope::Below), TJobEnd::Done);
    EXPECT_FALSE(settingsfile::HasUnreadMenus(tree.Root()));
    const QStringList lines =
        settingsfile::WriteSettingsFile(tree.Root(), link.Device().CalibrationBlock);
    EXPECT_EQ(settingsfile::SaveSettingsFile(path, lines), "");
    session.EndSessionClick();
    link.Close();
    return ReadAll(path);
}

} // namespace

class CtlOneInstrument : public CtlOnSimulator
{
protected:
    void SetUp() override { Start(); }
    CtlResult Ctl(const QStringList& arguments, const QStringList& environment = {})
    {
        return RunCtl(Link() + arguments, environment);
    }
    QString File(const QString& name) const { return dir.filePath(name); }
    // With the Full passcode in the environment, as a backup takes it.
    CtlResult Full(const QStringList& arguments) { return Ctl(arguments, {"Q900_PASSCODE=2222"}); }

    QTemporaryDir dir;
};

TEST_F(CtlOneInstrument, IdentityAsTextAndAsJson)
{
    const CtlResult text = Ctl({"identity"});
    EXPECT_EQ(text.exitCode, 0) << text.err.toStdString();
    EXPECT_TRUE(text.out.contains("Serial number:    93123401")) << text.out.toStdString();
    EXPECT_TRUE(text.out.contains("Model:            Q900 Q910"));

    const QJsonObject json = Ctl({"identity", "--json"}).Json();
    EXPECT_EQ(json["address"].toInt(), 1);
    EXPECT_EQ(json["commsVersion"].toString(), "V2.10");
    EXPECT_EQ(json["model"].toString(), "Q900 Q910");
    EXPECT_EQ(json["softwareVersion"].toString(), "2.31");
    EXPECT_EQ(json["serialNumber"].toString(), "93123401");
}

TEST_F(CtlOneInstrument, ReadGivesTheRawValueOrTheViewersErrorText)
{
    const CtlResult serial = Ctl({"read", "0x0005"});
    EXPECT_EQ(serial.exitCode, 0);
    EXPECT_EQ(serial.out, "058CF349\n");
    const QJsonObject json = Ctl({"read", "5", "--json"}).Json();
    EXPECT_EQ(json["register"].toString(), "0005");
    EXPECT_EQ(json["value"].toString(), "058CF349");

    // The stored Full passcode answers only while the level is open.
    Tcommsobj denied;
    denied.ErrorBit = true;
    denied.Register = reg::StoredFullPasscode;
    denied.Value = err::AccessDenied;
    const CtlResult locked = Ctl({"read", "00D0"});
    EXPECT_EQ(locked.exitCode, 1);
    EXPECT_TRUE(locked.out.isEmpty());
    EXPECT_TRUE(locked.err.contains(denied.ErrorReport())) << locked.err.toStdString();

    const CtlResult open = Ctl({"read", "00D0", "--level", "full", "--passcode", "2222"});
    EXPECT_EQ(open.exitCode, 0) << open.err.toStdString();
    EXPECT_EQ(open.out, "8AE\n");
    EXPECT_FALSE(sim->Instrument(1).IsOpen(TSimSession::Full)) << "locked again";
}

TEST_F(CtlOneInstrument, WriteOpensTheLevelThenLocksAndStores)
{
    const QString before = sim->Instrument(1).Menu().RawValue(kFilter);
    const CtlResult refused = Ctl({"write", "0211", "00000005"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.contains("Access Denied")) << refused.err.toStdString();
    EXPECT_EQ(sim->Instrument(1).Menu().RawValue(kFilter), before);

    const int stores = sim->Line().RequestCount(reg::StoreSettings);
    const CtlResult written =
        Ctl({"write", "0211", "00000005", "--level", "safe", "--json"}, {"Q900_PASSCODE=1111"});
    EXPECT_EQ(written.exitCode, 0) << written.err.toStdString();
    EXPECT_EQ(written.Json()["value"].toString(), "00000005");
    EXPECT_EQ(sim->Instrument(1).Menu().Number(kFilter), 5);
    EXPECT_GT(sim->Line().RequestCount(reg::StoreSettings), stores);
    EXPECT_FALSE(sim->Instrument(1).IsOpen(TSimSession::Safe));
}

TEST_F(CtlOneInstrument, PasscodeMissingOrWrong)
{
    const CtlResult missing = Ctl({"write", "0211", "00000005", "--level", "safe"});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_TRUE(missing.err.contains("A passcode is needed")) << missing.err.toStdString();

    const CtlResult wrong =
        Ctl({"write", "0211", "00000005", "--level", "full"}, {"Q900_PASSCODE=9999"});
    EXPECT_EQ(wrong.exitCode, 1);
    EXPECT_TRUE(wrong.err.contains("refused the passcode")) << wrong.err.toStdString();

    // A passcode given on the command line wins over the environment's.
    const CtlResult given =
        Ctl({"write", "0211", "00000003", "--level", "full", "--passcode", "2222"},
            {"Q900_PASSCODE=9999"});
    EXPECT_EQ(given.exitCode, 0) << given.err.toStdString();
    EXPECT_EQ(Ctl({"read", "1", "--level", "full"}, {"Q900_PASSCODE=12x"}).exitCode, 2);
}

TEST_F(CtlOneInstrument, WeightOnceAndWatchedUntilSigint)
{
    sim->Instrument(1).PlaceLoad(120.5);
    // Settled: the swing passes through the load on its way, so one reading proves nothing.
    int steady = 0;
    ASSERT_TRUE(RunUntil(
        [&] {
            steady = Ctl({"weight"}).out.startsWith("120.5 kg") ? steady + 1 : 0;
            return steady >= 3;
        },
        20000));

    QProcess watch;
    StartCtl(watch, Link() + QStringList{"weight", "--watch", "--json"});
    int lines = 0;
    ASSERT_TRUE(RunUntil(
        [&] {
            while (watch.canReadLine()) {
                const QJsonObject reading = QJsonDocument::fromJson(watch.readLine()).object();
                // The load may still swing a little about where it settles.
                const QString weight = reading["weight"].toString();
                EXPECT_TRUE(weight.endsWith(" kg G")) << weight.toStdString();
                EXPECT_NEAR(weight.section(u' ', 0, 0).toDouble(), 120.5, 2.0);
                EXPECT_TRUE(reading.contains("seconds"));
                ++lines;
            }
            return lines >= 3;
        },
        10000));
    ::kill(static_cast<pid_t>(watch.processId()), SIGINT);
    const CtlResult ended = FinishCtl(watch, 5000);
    EXPECT_EQ(ended.exitCode, 0) << ended.err.toStdString();
}

TEST_F(CtlOneInstrument, NoAnswerExitsWith3)
{
    const CtlResult elsewhere = RunCtl(Link(9) + QStringList{"identity"});
    EXPECT_EQ(elsewhere.exitCode, 3);
    EXPECT_TRUE(elsewhere.err.contains("Instrument not responding")) << elsewhere.err.toStdString();

    const CtlResult noPort =
        RunCtl({"--port", File("nothing-here"), "--cable", "rs232", "identity"});
    EXPECT_EQ(noPort.exitCode, 3);
    EXPECT_TRUE(noPort.err.contains("Cannot open")) << noPort.err.toStdString();
}

// Bad command lines are refused before anything is sent to the instrument.
TEST_F(CtlOneInstrument, BadUsageExitsWith2AndSendsNothing)
{
    const QList<QStringList> table = {
        {},
        {"frobnicate"},
        {"read"},
        {"read", "12345"},
        {"read", "G1"},
        {"write", "0211"},
        {"identity", "stray"},
        {"identity", "--watch"},
        {"backup", "x.vsf", "--level", "medium"},
        {"log", "x.csv", "--rate", "5"},
        {"log", "x.csv", "--seconds", "0"},
        {"log", "x.csv", "--channels", "CofZ,Weight"},
        {"log", "x.csv", "--channels", "CofZ,Zero,Net,Motion,Output1"},
        {"write", "0211", "1", "--passcode", "12ab"},
        {"--baud", "1200", "identity"},
        {"--cable", "ring", "--address", "0", "identity"},
    };
    sim->Line().Log().Clear();
    for (const QStringList& arguments : table) {
        const CtlResult result = Ctl(arguments);
        EXPECT_EQ(result.exitCode, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(result.out.isEmpty()) << arguments.join(' ').toStdString();
        EXPECT_FALSE(result.err.isEmpty()) << arguments.join(' ').toStdString();
    }
    EXPECT_EQ(Requests(), 0);
}

TEST_F(CtlOneInstrument, HelpListsEveryCommandAndTheExitCodes)
{
    const CtlResult help = RunCtl({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    for (const char* word :
         {"identity", "scan", "read REG", "write REG VALUE", "backup FILE", "backup --all DIR",
          "restore FILE", "log FILE", "weight", "--json", "--passcode", "Q900_PASSCODE", "--rate",
          "--seconds", "--channels", "--watch",
          "Exit codes: 0 done, 1 the instrument refused, 2 bad "
          "usage or file, 3 no answer"})
        EXPECT_TRUE(help.out.contains(word)) << word;
}

TEST_F(CtlOneInstrument, BackupEqualsTheViewersSaveAfterExpandAll)
{
    for (const bool full : {true, false}) {
        const QByteArray viewer = ViewerSaveAfterExpandAll(path, full, File("viewer.VSF"));
        ASSERT_FALSE(viewer.isEmpty());
        const QString level = full ? "full" : "safe";
        const CtlResult backup = Ctl({"backup", File("ctl"), "--level", level, "--json"},
                                     {full ? "Q900_PASSCODE=2222" : "Q900_PASSCODE=1111"});
        ASSERT_EQ(backup.exitCode, 0) << backup.err.toStdString();
        const QJsonObject json = backup.Json();
        EXPECT_EQ(json["file"].toString(), File("ctl.VSF")) << "the viewer's default extension";
        EXPECT_EQ(json["serialNumber"].toString(), "93123401");
        EXPECT_EQ(ReadAll(File("ctl.VSF")), viewer) << level.toStdString();
        EXPECT_EQ(viewer.contains("201200F0:"), full) << "calibration only in a Full backup";
        EXPECT_FALSE(sim->Instrument(1).IsOpen(TSimSession::Safe)) << "the session ended";
    }
}

TEST_F(CtlOneInstrument, RestoreBringsBackTheSettingsOfABackup)
{
    ASSERT_EQ(Ctl({"backup", File("before.VSF"), "--passcode", "2222"}).exitCode, 0);
    const QString filter = sim->Instrument(1).Menu().RawValue(kFilter);
    const QString capacity = sim->Instrument(1).Menu().RawValue(kCapacity);
    ASSERT_EQ(Ctl({"write", "0211", "00000004", "--level", "full", "--passcode", "2222"}).exitCode,
              0);
    ASSERT_EQ(Ctl({"write", "0202", "00002710", "--level", "full", "--passcode", "2222"}).exitCode,
              0);
    ASSERT_NE(sim->Instrument(1).Menu().RawValue(kFilter), filter);

    sim->Line().Log().Clear();
    const CtlResult restore = Ctl({"restore", File("before.VSF"), "--passcode", "2222", "--json"});
    EXPECT_EQ(restore.exitCode, 0) << restore.err.toStdString();
    const QJsonObject json = restore.Json();
    EXPECT_EQ(json["result"].toString(), "done");
    EXPECT_EQ(json["errors"].toInt(), 0);
    EXPECT_EQ(sim->Instrument(1).Menu().RawValue(kFilter), filter);
    EXPECT_EQ(sim->Instrument(1).Menu().RawValue(kCapacity), capacity);
    EXPECT_EQ(Writes(reg::CalibrationBlock), 0) << "calibration only when asked for";
    EXPECT_GT(Writes(kFilter), 0);
    EXPECT_GT(sim->Line().RequestCount(reg::StoreSettings), 0);
    EXPECT_FALSE(sim->Instrument(1).IsOpen(TSimSession::Full)) << "locked at the end";

    sim->Line().Log().Clear();
    EXPECT_EQ(Ctl({"restore", File("before.VSF"), "--passcode", "2222", "--calibration"}).exitCode,
              0);
    EXPECT_EQ(Writes(reg::CalibrationBlock), 1);
}

TEST_F(CtlOneInstrument, RestoreRefusesAFileHoldingMoreThanSettingsWrites)
{
    QFile file(File("bad.VSF"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("1: FULL SETUP\r\n2: FILTER   : 0.2\r\n20120211:00000002\r\n20100102:\r\n");
    file.close();
    sim->Line().Log().Clear();
    const CtlResult bad = Ctl({"restore", File("bad.VSF"), "--passcode", "2222"});
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_TRUE(bad.err.contains("Line 4 of the settings file")) << bad.err.toStdString();
    const CtlResult missing = Ctl({"restore", File("none.VSF"), "--passcode", "2222"});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_EQ(Requests(), 0) << "nothing was sent";
}

TEST_F(CtlOneInstrument, LogForSecondsKeepsTheRateAndChannels)
{
    const CtlResult run = Ctl({"log", File("run"), "--seconds", "2", "--rate", "10", "--channels",
                               "CofZ,output 1", "--comment", "Trial run", "--json"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.Json()["file"].toString(), File("run.CSV"));
    const QList<QByteArray> lines = ReadAll(File("run.CSV")).split('\n');
    ASSERT_GT(lines.size(), 3);
    EXPECT_EQ(lines.at(0), "Trial run\r");
    EXPECT_EQ(lines.at(1), "Time,Weight(kg),CofZ,Output 1,\r");
    EXPECT_TRUE(lines.at(2).startsWith("0.00,"));
    // Samples 0.1 s apart on the instrument's 40 ms ticks, all within the first 2 s.
    const int rows = static_cast<int>(lines.size()) - 3;
    EXPECT_EQ(run.Json()["samples"].toInt(), rows);
    EXPECT_GE(rows, 18);
    EXPECT_LE(rows, 21);
    EXPECT_LE(lines.at(lines.size() - 2).split(',').first().toDouble(), 2.0);
}

TEST_F(CtlOneInstrument, LogEndedBySigintLeavesACompleteViewerLogFile)
{
    QProcess log;
    StartCtl(log, Link() + QStringList{"log", File("live.csv"), "--channels", "Motion,Net"});
    // Flushed every second: rows are on disk while the run goes on.
    ASSERT_TRUE(RunUntil([&] { return ReadAll(File("live.csv")).count('\n') >= 8; }, 15000));
    ::kill(static_cast<pid_t>(log.processId()), SIGINT);
    const CtlResult ended = FinishCtl(log, 10000);
    EXPECT_EQ(ended.exitCode, 0) << ended.err.toStdString();
    const QByteArray bytes = ReadAll(File("live.csv"));
    EXPECT_TRUE(bytes.endsWith("\r\n")) << "no row cut short";

    // The viewer reads it, and writes the same points back as the same bytes.
    TTraceStore store;
    const TLogReadResult read = logfile::Parse(bytes, store);
    ASSERT_TRUE(read.ok);
    EXPECT_EQ(read.units, "kg");
    EXPECT_EQ(read.labels[0], "Motion");
    EXPECT_EQ(read.labels[1], "Net");
    EXPECT_EQ(store.PointCount(traces::Weight), bytes.count('\n') - 2);
    TLogHeader header;
    header.live = true;
    header.units = "kg";
    header.selection = {3, 4, 0, 0};
    ASSERT_TRUE(logfile::Write(File("again.csv"), read.comment, header, read.decimals, store).ok);
    EXPECT_EQ(ReadAll(File("again.csv")), bytes);
}

// The disk cannot take the run's file as it starts: the tool says why and exits 2, leaving the
// earlier file as it was and no file of its own.
TEST_F(CtlOneInstrument, LogToAFullOrReadOnlyDiskKeepsTheEarlierFile)
{
    SKIP_UNLESS_RUN(OnSmallDisks("run.csv", "an earlier run\r\n", [&](TSmallDisk& disk) {
        const CtlResult run =
            Ctl({"log", disk.Path("run.csv"), "--seconds", "1", "--comment", QString(5000, u'c')});
        EXPECT_EQ(run.exitCode, 2);
        return run.err;
    }));
}

// The disk fills during a run and has room again before its end: the tool says so, and the
// file holds every sample.
TEST_F(CtlOneInstrument, LogThroughAFullDiskLosesNoSample)
{
    TSmallDisk disk;
    if (!disk.whyNot.empty())
        GTEST_SKIP() << disk.whyNot;
    QProcess log;
    StartCtl(log, Link() + QStringList{"log", disk.Path("run.csv"), "--seconds", "3", "--json",
                                       "--comment", QString(4000, u'c')});
    ASSERT_TRUE(RunUntil([&] { return QFile::exists(disk.Path("run.csv")); }, 5000));
    ASSERT_TRUE(disk.Bring(TDiskState::Full));
    QByteArray told;
    ASSERT_TRUE(RunUntil([&] { return (told += log.readAllStandardError()).contains("behind"); }));
    ASSERT_TRUE(disk.MakeRoom());
    const CtlResult ended = FinishCtl(log, 10000);
    EXPECT_EQ(ended.exitCode, 0) << ended.err.toStdString();
    EXPECT_TRUE(told.contains("No space left on device") && ended.err.contains("caught up"));
    EXPECT_EQ(ReadAll(disk.Path("run.csv")).count('\n') - 2, ended.Json()["samples"].toInt());
}

// The port, cable and address the viewer saved are the tool's defaults; the tool never
// writes the viewer's settings back.
TEST_F(CtlOneInstrument, ViewersSavedCommsSettingsAreTheDefaults)
{
    ASSERT_TRUE(QFile::copy(CtlProgram(), File("q900ctl")));
    QFile config(File("config.ini"));
    ASSERT_TRUE(config.open(QIODevice::WriteOnly));
    config.write("[Comms]\nPort=0\nPortName=" + path.toLocal8Bit() +
                 "\nCable=0\nBaud=2\nParity=0\nData=1\nStop=0\nAddress=1\n");
    config.close();
    const QByteArray saved = ReadAll(File("config.ini"));
    QProcess process;
    process.start(File("q900ctl"), {"identity", "--json"});
    const CtlResult result = FinishCtl(process);
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(result.Json()["serialNumber"].toString(), "93123401");
    EXPECT_EQ(ReadAll(File("config.ini")), saved);
}

// Typed on a terminal, the passcode is never echoed; it opens the level as one given on the
// command line does.
TEST_F(CtlOneInstrument, PasscodeIsTypedWithoutEchoOnATerminal)
{
    TPseudoTerminal terminal;
    ASSERT_EQ(terminal.Open(false), "");
    const int master = terminal.Master();
    QProcess process;
    process.setStandardInputFile(terminal.SlavePath());
    StartCtl(process, Link() + QStringList{"write", "0211", "00000004", "--level", "safe"});
    QByteArray err;
    ASSERT_TRUE(RunUntil(
        [&] {
            err += process.readAllStandardError();
            return err.contains("Enter Safe Passcode: ");
        },
        10000))
        << err.toStdString();
    ASSERT_EQ(::write(master, "1111\r", 5), 5);
    const CtlResult result = FinishCtl(process);
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(sim->Instrument(1).Menu().Number(kFilter), 4);
    char echoed[256] = {};
    const ssize_t n = ::read(master, echoed, sizeof(echoed) - 1);
    EXPECT_FALSE(QByteArray(echoed, n > 0 ? int(n) : 0).contains("1111")) << "no echo";
}

// An instrument that answers the store with Save Settings Failed has not kept what it was
// sent: a restore and a write say so and end with a refusal, not as done.
TEST_F(CtlOneInstrument, AStoreTheInstrumentRefusesIsNoSuccess)
{
    ASSERT_EQ(Ctl({"backup", File("before.VSF"), "--passcode", "2222"}).exitCode, 0);
    sim->Instrument(1).FailStores(true);
    const CtlResult restore = Ctl({"restore", File("before.VSF"), "--passcode", "2222", "--json"});
    EXPECT_EQ(restore.exitCode, 1);
    EXPECT_EQ(restore.Json()["result"].toString(), "not stored");
    EXPECT_FALSE(restore.Json()["stored"].toBool());
    EXPECT_TRUE(restore.err.contains("Save Settings Failed")) << restore.err.toStdString();
    const CtlResult write =
        Ctl({"write", "0211", "00000005", "--level", "safe", "--passcode", "1111"});
    EXPECT_EQ(write.exitCode, 1);
    EXPECT_TRUE(write.err.contains("Save Settings Failed")) << write.err.toStdString();
}

class CtlSlowInstrument : public CtlOnSimulator
{
protected:
    void SetUp() override
    {
        options.line.baud = 9600;
        Start();
    }
    QTemporaryDir dir;
};

// A signal half-way through the tree read: the backup ends its session and locks the
// instrument on its way out, and saves nothing.
TEST_F(CtlSlowInstrument, SignalDuringABackupEndsTheSessionAndLocks)
{
    QProcess backup;
    StartCtl(backup, Link() + QStringList{"backup", dir.filePath("cut.VSF"), "--passcode", "2222"});
    constexpr int kFirstItemOfBuild = 0x0201; // read by Expand All, not by the session start
    ASSERT_TRUE(RunUntil([&] { return sim->Line().RequestCount(kFirstItemOfBuild) > 0; }, 20000));
    ::kill(static_cast<pid_t>(backup.processId()), SIGTERM);
    const CtlResult ended = FinishCtl(backup, 20000);
    EXPECT_EQ(ended.exitCode, 1) << ended.err.toStdString();
    EXPECT_TRUE(ended.err.contains("session was ended")) << ended.err.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath("cut.VSF")));
    int ends = 0;
    for (const Tcommsobj& r : Received())
        ends += r.Register == reg::SessionControl && r.Data == data::EndSession;
    EXPECT_EQ(ends, 1);
    EXPECT_FALSE(sim->Instrument(1).IsOpen(TSimSession::Full)) << "locked on its way out";
}

TEST_F(CtlOneInstrument, DiffNamesTheSettingChangedSinceTheBackupWithBothValues)
{
    ASSERT_EQ(Full({"backup", File("before.VSF")}).exitCode, 0);
    const CtlResult same = Full({"diff", File("before.VSF")});
    EXPECT_EQ(same.exitCode, 0) << same.err.toStdString();
    EXPECT_EQ(same.out, "No differences.\n");

    ASSERT_EQ(Full({"write", "0211", "00000004", "--level", "full"}).exitCode, 0); // FILTER 1.0
    const CtlResult changed = Full({"diff", File("before.VSF")});
    EXPECT_EQ(changed.exitCode, 1) << changed.err.toStdString();
    EXPECT_EQ(changed.out, "OPTION > FILTER: 0.2 -> 1.0\n");
    const CtlResult json = Full({"diff", File("before.VSF"), "--json"});
    EXPECT_EQ(json.exitCode, 1);
    EXPECT_EQ(json.Json()["setting"].toString(), "OPTION > FILTER");
    EXPECT_EQ(json.Json()["first"].toString(), "0.2");
    EXPECT_EQ(json.Json()["second"].toString(), "1.0");
    EXPECT_FALSE(sim->Instrument(1).IsOpen(TSimSession::Full)) << "the session ended";

    // Two files need no instrument; a file that cannot be read is bad usage.
    ASSERT_EQ(Full({"backup", File("after.VSF")}).exitCode, 0);
    const int requests = Requests();
    const CtlResult files = RunCtl({"diff", File("before.VSF"), File("after.VSF")});
    EXPECT_EQ(files.exitCode, 1) << files.err.toStdString();
    EXPECT_EQ(files.out, changed.out);
    EXPECT_EQ(RunCtl({"diff", File("after.VSF"), File("after.VSF")}).exitCode, 0);
    EXPECT_EQ(RunCtl({"diff", File("after.VSF"), File("none.VSF")}).exitCode, 2);
    EXPECT_EQ(Requests(), requests);
}

// Another calibration in the file counts only with --calibration.
TEST_F(CtlOneInstrument, DiffComparesTheCalibrationOnlyWhenAskedFor)
{
    ASSERT_EQ(Full({"backup", File("before.VSF")}).exitCode, 0);
    QFile file(File("before.VSF"));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    const QByteArray bytes = file.readAll();
    file.seek(bytes.indexOf("201200F0:") + 9);
    file.write(bytes.at(bytes.indexOf("201200F0:") + 9) == '0' ? "1" : "0");
    file.close();
    EXPECT_EQ(Full({"diff", File("before.VSF")}).exitCode, 0);
    const CtlResult asked = Full({"diff", File("before.VSF"), "--calibration"});
    EXPECT_EQ(asked.exitCode, 1);
    EXPECT_TRUE(asked.out.startsWith("Calibration: ")) << asked.out.toStdString();
}
