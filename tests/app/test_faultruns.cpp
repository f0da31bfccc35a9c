// Fault runs: the whole window against a simulated instrument whose line drops, garbles,
// delays or misaddresses replies, or that is killed in the middle of an operation. In every
// run the program keeps going, every wait ends, each failure is reported once, and what was
// already read or recorded stays.
//
// | Fault                      | Where                           | Reports expected          |
// |----------------------------|---------------------------------|---------------------------|
// | 10 % of replies dropped    | Full session start, Expand All  | the long not-responding   |
// |                            |                                 | report for a request left |
// |                            |                                 | unanswered by three tries |
// |                            |                                 | (the short one for a      |
// |                            |                                 | second), else none        |
// | 5 % garbled, CRC replies   | the same                        | the same: the CRC rejects |
// | 5 % garbled, plain replies | display polls                   | none                      |
// | replies after 300 ms       | connect, Full session start     | none                      |
// | 5 % name another register  | Full session start, Expand All  | as for dropped replies    |
// | no reply at all            | connect, session start          | long, then short report   |
// | simulator killed           | session start (four points),    | the lost connection, once |
// |                            | Expand All, settings transfer,  |                           |
// |                            | calibration wait, logging run   |                           |
// |                            | (a q900sim process)             |                           |
//
// The final state of each (tree, tabs, files on disk) is checked in its test.
#include "windowfixture.h"

#include "calibrationpage.h"
#include "logchart.h"
#include "logpage.h"
#include "logrecovery.h"

#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>

using namespace protocol;

namespace {

const QString kLongNoResponse =
    "Instrument not responding: Ensure communications cables are connected properly.";
const QString kShortNoResponse = "Instrument not responding";
constexpr int kAttempts = TCommsEngine::kRetries + 1;

// What the line did to the requests, read from the simulator's log. An attempt fails when its
// reply was dropped, garbled (the CRC check then rejects it) or names another register; a
// request whose three attempts fail in a row went unanswered, and the program owes the user
// the long not-responding report for it, the short one for the next, then silence until an
// answer comes again.
struct TLineRecord
{
    int failedAttempts = 0;
    int unanswered = 0;
    QStringList reports;
};

int RegisterOf(QString text)
{
    text = text.trimmed();
    if (text.startsWith(QChar(ctl::STX)))
        text = text.mid(1).chopped(5); // the CRC digits and EOT
    Tcommsobj message;
    return message.Parse(text) ? message.Register : -1;
}

class TLineReader
{
public:
    TLineRecord Read(const std::vector<TTrafficLog::TEntry>& entries)
    {
        for (const auto& e : entries) {
            if (e.direction == TTrafficLog::Received) {
                EndAttempt();
                m_request = e.text;
                m_failed = false;
                m_answered = false;
            } else if (e.direction == TTrafficLog::Note) {
                m_failed |= e.text.startsWith("dropped: ") || e.text.startsWith("garbled byte");
            } else {
                m_answered = RegisterOf(e.text) == RegisterOf(m_request);
            }
        }
        EndAttempt();
        return m_record;
    }

private:
    void EndAttempt()
    {
        if (m_request.isEmpty())
            return;
        if (m_answered && !m_failed) {
            m_run = 0;
            m_reported = 0;
            return;
        }
        ++m_record.failedAttempts;
        m_run = m_request == m_runText ? m_run + 1 : 1;
        m_runText = m_request;
        if (m_run < kAttempts)
            return;
        m_run = 0;
        ++m_record.unanswered;
        if (m_reported < 2)
            m_record.reports << (m_reported == 0 ? kLongNoResponse : kShortNoResponse);
        m_reported = std::min(m_reported + 1, 2);
    }

    TLineRecord m_record;
    QString m_request;
    QString m_runText;
    bool m_failed = false;
    bool m_answered = false;
    int m_run = 0;
    int m_reported = 0;
};

int Notes(TSimPty& sim, const char* start)
{
    int n = 0;
    for (const auto& e : sim.Line().Log().Entries())
        n += e.direction == TTrafficLog::Note && e.text.startsWith(QLatin1String(start));
    return n;
}

} // namespace

class FaultRuns : public WindowOnSimulator
{
protected:
    // The tree a Full session start (and Expand All) reads over a clean line, in a window of
    // its own, so that nothing it caches spares the faulty run a request.
    QStringList CleanTree(bool expandAll)
    {
        TSimPty clean(TSimOptions{});
        QString path, error;
        if (!clean.Open(&path, &error))
            return {error};
        RecordingPrompts quiet;
        RecordingSessionPrompts session;
        PdfPrompts paper(dir.filePath("clean.pdf"));
        TFrmMain other(*config, {&quiet, &session, &paper});
        if (!other.FormCreate().isEmpty())
            return {"no window"};
        TPortChoice choice;
        choice.portName = path;
        choice.cable = TPortChoice::RS232;
        choice.address = 1;
        choice.reconnect = false;
        other.ConnectWith(choice, false);
        session.levels = {true};
        session.passcodes = {"2222"};
        Child<QAction>(&other, "StartSession")->trigger();
        if (expandAll) {
            Child<QAction>(&other, "tvMenupopupExpand")->trigger();
            WaitForJob(other);
        }
        return Captions(Child<QTreeWidget>(&other, "tvMenuItems"));
    }

    // Connects, starts a Full session and expands the whole tree; the time it took.
    qint64 StartAndExpandAll(bool expandAll = true)
    {
        Connect();
        sim->Line().Log().Clear();
        QElapsedTimer clock;
        clock.start();
        EXPECT_TRUE(StartFullSession());
        if (expandAll)
            ExpandAll();
        return clock.elapsed();
    }

    void ExpectFullSessionShown()
    {
        EXPECT_TRUE(window->Connected());
        EXPECT_TRUE(Find<TSessionController>()->SessionActive());
        EXPECT_EQ(Tabs()->currentWidget(), Find<QWidget>("TSSettings"));
        EXPECT_TRUE(TabShown("TSCal"));
        EXPECT_TRUE(Action("tbEndSession")->isEnabled());
    }

    // A line fault over a Full session start and Expand All: the reports the line record
    // calls for, and the same tree as over a clean line when nothing went unanswered.
    void ExpectTreeReadThroughFaults(int minimumFailures)
    {
        const QStringList clean = CleanTree(true);
        const qint64 ms = StartAndExpandAll();
        const TLineRecord line = TLineReader().Read(sim->Line().Log().Entries());
        RecordProperty("ms", int(ms));
        RecordProperty("failed_attempts", line.failedAttempts);
        RecordProperty("unanswered", line.unanswered);
        EXPECT_GE(line.failedAttempts, minimumFailures) << "the fault was there";
        EXPECT_EQ(prompts.messages, line.reports);
        ExpectFullSessionShown();
        // An unanswered read leaves at most one menu's entries out or unread.
        const QStringList tree = TreeCaptions();
        if (line.unanswered == 0) {
            EXPECT_EQ(tree, clean);
        }
        EXPECT_GE(tree.size(), clean.size() - 10 * line.unanswered);
        for (const QString& caption : tree)
            EXPECT_TRUE(clean.contains(caption) || caption.endsWith("...") ||
                        caption.endsWith(" : "))
                << caption.toStdString() << " is no caption of the instrument's tree";
    }
};

// Line faults ---------------------------------------------------------------------------------

// With this seed one value read loses all three replies (as the reads go today): its one
// report is the long not-responding message, and its item stays in the tree unread.
TEST_F(FaultRuns, TenthOfRepliesDroppedIsSentAgain)
{
    options.line.dropShare = 0.1;
    options.line.seed = 2;
    ExpectTreeReadThroughFaults(15);
}

TEST_F(FaultRuns, GarbledCrcRepliesAreRejectedAndSentAgain)
{
    options.line.crcReplies = true;
    options.line.garbleShare = 0.05;
    options.line.seed = 5;
    ExpectTreeReadThroughFaults(5);
}

TEST_F(FaultRuns, RepliesNamingAnotherRegisterAreNotTakenForTheAnswer)
{
    options.line.wrongRegisterShare = 0.05;
    options.line.seed = 3;
    ExpectTreeReadThroughFaults(8);
}

// Plain replies carry no check: a garbled display reply is shown as it came until the next
// poll, and polls never report anything.
TEST_F(FaultRuns, GarbledDisplayRepliesAreNeverReported)
{
    options.line.garbleShare = 0.05;
    options.line.seed = 10;
    Connect();
    ASSERT_TRUE(RunUntil(
        [&] { return Notes(*sim, "garbled") >= 3 && sim->Line().RequestCount(reg::Display) > 20; },
        30000));
    EXPECT_TRUE(prompts.messages.isEmpty()) << Messages().toStdString();
    EXPECT_TRUE(window->Connected());
    const int polls = sim->Line().RequestCount(reg::Display);
    const auto polled = [&] { return sim->Line().RequestCount(reg::Display) > polls + 3; };
    EXPECT_TRUE(RunUntil(polled, 10000)) << "polling goes on";
    EXPECT_TRUE(Identity().startsWith("Adr:1, SN:93123401, ")) << Identity().toStdString();
}

// Every reply comes 300 ms late: within a waiting request's time-out, so nothing is reported
// and the session reads the same tree.
TEST_F(FaultRuns, RepliesDelayedBy300msAreWaitedFor)
{
    const QStringList clean = CleanTree(false);
    options.line.delayMs = 300;
    const qint64 ms = StartAndExpandAll(false);
    RecordProperty("ms", int(ms));
    EXPECT_TRUE(prompts.messages.isEmpty()) << Messages().toStdString();
    ExpectFullSessionShown();
    EXPECT_EQ(TreeCaptions(), clean);
    EXPECT_TRUE(Identity().startsWith("Adr:1, SN:93123401, ")) << Identity().toStdString();
}

// The simulator killed ------------------------------------------------------------------------

// Killed at four points of a session start: while the identity is checked, while the
// passcode is given, while the tree is read and while the calibration is read.
TEST_F(FaultRuns, KilledDuringSessionStartIsReportedOnceAndStartsNoSession)
{
    const struct
    {
        const char* where;
        int afterRequests;
        bool treeRead; // the top of the tree was read before the instrument went
    } points[] = {{"identity", 1, false},
                  {"passcode", 6, false},
                  {"tree", 20, true},
                  {"calibration", 36, true}};
    options.line.delayMs = 20; // time for the kill to land inside the request it aims at
    for (const auto& point : points) {
        SCOPED_TRACE(point.where);
        prompts.messages.clear();
        Connect();
        const int start = sim->Line().RequestCount();
        KillWhen([&] { return sim->Line().RequestCount() >= start + point.afterRequests; });
        QElapsedTimer clock;
        clock.start();
        StartFullSession();
        ASSERT_TRUE(
            RunUntil([&] { return !window->Connected() && !prompts.messages.isEmpty(); }, 10000));
        DrainEvents(); // whatever the loss set going has happened
        EXPECT_LT(clock.elapsed(), 10000);
        ASSERT_EQ(prompts.messages.size(), 1) << Messages().toStdString();
        EXPECT_TRUE(prompts.messages[0].startsWith(LostMessage())) << Messages().toStdString();
        ExpectDisconnected();
        EXPECT_GE(Tabs()->currentIndex(), 0) << "a page in front";
        EXPECT_EQ(!TreeCaptions().isEmpty(), point.treeRead) << "what was read stays";
        ResetKill();
    }
}

// An instrument that never answers: connecting and a session start each end with the engine's
// report (the long one, then the short one); silence is no unknown instrument.
TEST_F(FaultRuns, SilentInstrumentIsReportedAsNotRespondingOnly)
{
    options.line.dropShare = 1.0;
    Connect();
    EXPECT_EQ(prompts.messages, QStringList{kLongNoResponse});
    EXPECT_EQ(Identity(), "");
    EXPECT_FALSE(StartFullSession());
    EXPECT_EQ(prompts.messages, (QStringList{kLongNoResponse, kShortNoResponse}));
    EXPECT_FALSE(TabShown("TSSettings"));
    EXPECT_TRUE(window->Connected()) << "the port itself is fine";
    EXPECT_TRUE(sessionPrompts.asked.isEmpty()) << "no level asked of an instrument not there";
}

// Killed half-way through Expand All: the menus read before stay in the tree, and File > Save
// writes them to a settings file.
TEST_F(FaultRuns, KilledDuringExpandAllKeepsTheMenusRead)
{
    const QStringList clean = CleanTree(true);
    options.line.delayMs = 5;
    Connect();
    ASSERT_TRUE(StartFullSession());
    const int serialItem = 0x0221; // the first item of SERIAL: BUILD and OPTION are read
    KillWhen([&] { return sim->Line().RequestCount(serialItem) > 0; });
    QElapsedTimer clock;
    clock.start();
    ExpandAll();
    ASSERT_TRUE(
        RunUntil([&] { return !window->Connected() && !prompts.messages.isEmpty(); }, 10000));
    DrainEvents();
    EXPECT_LT(clock.elapsed(), 10000);
    ASSERT_EQ(prompts.messages.size(), 1) << Messages().toStdString();
    EXPECT_TRUE(prompts.messages[0].startsWith(LostMessage()));
    ExpectDisconnected();

    const QStringList kept = TreeCaptions();
    const qsizetype serial = clean.indexOf(QRegularExpression("^  SERIAL"));
    ASSERT_GT(serial, 0);
    EXPECT_EQ(kept.mid(0, serial), clean.mid(0, serial)) << "BUILD and OPTION as read";

    Tabs()->setCurrentWidget(Find<QWidget>("TSDisplay"));
    prompts.messages.clear();
    prompts.answers = {1}; // save without reading the rest
    prompts.fileNames = {dir.filePath("partial.VSF")};
    Action("Save1")->trigger();
    EXPECT_EQ(prompts.messages.size(), 2) << Messages().toStdString(); // the question, the name
    QFile saved(dir.filePath("partial.VSF"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromLatin1(saved.readAll()).split("\r\n");
    EXPECT_EQ(lines.value(0), "1: FULL SETUP");
    EXPECT_TRUE(lines.contains("20120201:00000001")) << "BUILD's DP";
    EXPECT_TRUE(lines.contains("3: FILTER   : 0.2")) << lines.join('|').toStdString();
}

// Killed while a settings file is being sent, with the user reading the report for a while:
// the batch ends with the link, not later with a second report.
TEST_F(FaultRuns, KilledDuringSettingsTransferEndsTheBatchWithOneReport)
{
    Connect();
    QByteArray text = "1: FULL SETUP\r\n2: SETPNT\r\n3: SP1\r\n";
    for (int i = 0; i < 40; ++i)
        text += "4: HYS      : 1\r\n20120234:" + QByteArray::number(i, 16).toUpper() + "\r\n";
    const QString path = dir.filePath("long.VSF");
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    const auto transferShown = [&] {
        const auto* traffic = window->findChild<QDialog*>("TFrmTraffic");
        return traffic && traffic->isVisible();
    };
    prompts.whileShown = [&](const QString& message) {
        if (message.startsWith("error:"))
            RunUntil([&] { return !transferShown(); }, 8000);
    };
    prompts.fileNames = {path};
    sessionPrompts.passcodes = {"2222"};
    ModalAnswer send("TFrmSendSettings",
                     [](QWidget* dialog) { Child<QPushButton>(dialog, "BtnSend")->click(); });
    KillWhen([&] { return sim->Line().RequestCount(0x0234) >= 10; });
    QElapsedTimer clock;
    clock.start();
    Action("Open1")->trigger();
    ASSERT_TRUE(
        RunUntil([&] { return !window->Connected() && prompts.messages.size() >= 2; }, 10000));
    DrainEvents();
    EXPECT_LT(clock.elapsed(), 5000) << "nothing waits for the dead instrument";
    EXPECT_TRUE(send.Answered());
    ASSERT_EQ(prompts.messages.size(), 2) << Messages().toStdString();
    EXPECT_TRUE(prompts.messages[0].startsWith("open: Open Settings File"));
    EXPECT_TRUE(prompts.messages[1].startsWith(LostMessage())) << Messages().toStdString();
    EXPECT_FALSE(transferShown());
    ExpectDisconnected();
    EXPECT_EQ(Engine().Activity(), IActivity::Display) << "the window's activity is back";
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), text) << "the file is as it was";
}

// Killed while the instrument calibrates: the wait ends with the link, the window is usable
// again, and no calibration result is claimed.
TEST_F(FaultRuns, KilledDuringCalibrationWaitEndsTheWaitAndUnlocksTheWindow)
{
    options.instrument.calibrationStuck = true;
    Connect();
    ASSERT_TRUE(StartFullSession());
    Tabs()->setCurrentWidget(Find<QWidget>("TSCal"));
    const auto waitShown = [&] {
        const auto* wait = window->findChild<QDialog*>("FrmCalWait");
        return wait && wait->isVisible();
    };
    bool lockedWhileWaiting = false;
    KillWhen([&] {
        lockedWhileWaiting = !Tabs()->tabBar()->isEnabled() && !Action("Open1")->isEnabled();
        return waitShown() && sim->Line().RequestCount(reg::CalibrationStatus) >= 2;
    });
    prompts.whileShown = [&](const QString&) { RunFor(300); }; // the user reads the box
    QElapsedTimer clock;
    clock.start();
    Find<QPushButton>("BtnZero")->click();
    ASSERT_TRUE(
        RunUntil([&] { return !window->Connected() && !prompts.messages.isEmpty(); }, 10000));
    DrainEvents();
    EXPECT_LT(clock.elapsed(), 10000);
    EXPECT_TRUE(lockedWhileWaiting);
    ASSERT_EQ(prompts.messages.size(), 2) << Messages().toStdString();
    EXPECT_TRUE(prompts.messages[0].startsWith("confirm: Zero calibration"));
    EXPECT_TRUE(prompts.messages[1].startsWith(LostMessage())) << "no result is claimed";
    EXPECT_FALSE(waitShown());
    ExpectDisconnected();
    EXPECT_TRUE(Action("Open1")->isEnabled()) << "the File menu is back";
    EXPECT_TRUE(Action("ToolButton4")->isEnabled());
    EXPECT_TRUE(Find<TCalibrationPage>("TSCal")->CanClose()) << "no operation is left running";
}

// A q900sim process killed during a logging run: the run stops, the traces stay, the
// recovery file on disk holds them, and File > Save writes them.
TEST_F(FaultRuns, KilledSimulatorProcessStopsTheLogRunAndKeepsTheTraces)
{
    QProcess child;
    child.start(QStringLiteral(VIEWER_BIN_DIR "/q900sim"), {"--duration", "60"});
    ASSERT_TRUE(child.waitForStarted(5000));
    ASSERT_TRUE(RunUntil([&] { return child.canReadLine(); }, 5000));
    portPath = QString::fromLocal8Bit(child.readLine()).trimmed();
    TPortChoice choice;
    choice.portName = portPath;
    choice.cable = TPortChoice::RS232;
    choice.address = 1;
    choice.reconnect = false;
    ASSERT_TRUE(window->ConnectWith(choice));
    Tabs()->setCurrentWidget(Find<QWidget>("TSLog"));
    auto* chart = Find<TLogChart>("Chart");
    ModalAnswer ok("TFrmLogDialog", [](QWidget* dialog) {
        Child<QComboBox>(dialog, "CBLogRate")->setCurrentIndex(0); // 10 Hz
        Child<QComboBox>(dialog, "CBxDig1")->setCurrentIndex(1);
        Child<QPushButton>(dialog, "BtnOk")->click();
    });
    qsizetype atKill = -1;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (atKill < 0 && chart->PointCount(traces::Weight) >= 10) {
            atKill = chart->PointCount(traces::Weight);
            child.kill();
        }
    });
    watch.start(5);
    QElapsedTimer clock;
    clock.start();
    Find<QPushButton>("BtnStart")->click(); // returns once the run has ended
    ASSERT_TRUE(
        RunUntil([&] { return !window->Connected() && !prompts.messages.isEmpty(); }, 10000));
    DrainEvents();
    EXPECT_LT(clock.elapsed(), 10000);
    ASSERT_GE(atKill, 10);
    ASSERT_EQ(prompts.messages.size(), 1) << Messages().toStdString();
    EXPECT_TRUE(prompts.messages[0].startsWith(LostMessage())) << Messages().toStdString();
    ExpectDisconnected();
    auto* page = Find<TLogPage>("TSLog");
    EXPECT_FALSE(page->LogRunning());
    const qsizetype points = chart->PointCount(traces::Weight);
    EXPECT_GE(points, atKill);
    EXPECT_EQ(chart->PointCount(1), points) << "the status trace as well";
    EXPECT_TRUE(Find<QPushButton>("BtnStart")->isEnabled());

    QFile recovery(dir.filePath(TLogRecovery::FileName()));
    ASSERT_TRUE(recovery.open(QIODevice::ReadOnly)) << "the run is kept on disk";
    const qsizetype rows = QString::fromLatin1(recovery.readAll()).count("\r\n");
    EXPECT_GE(rows, points) << "every sample, below its header";

    prompts.fileNames = {dir.filePath("run.CSV")};
    Action("Save1")->trigger();
    QFile saved(dir.filePath("run.CSV"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_GE(QString::fromLatin1(saved.readAll()).count("\r\n"), points);
    EXPECT_FALSE(QFile::exists(dir.filePath(TLogRecovery::FileName()))) << "saved: not needed";
    EXPECT_TRUE(page->CanClose()) << "nothing unsaved left";
    Tabs()->setCurrentWidget(Find<QWidget>("TSDisplay"));
    EXPECT_EQ(Tabs()->currentWidget(), Find<QWidget>("TSDisplay")) << "the tab may be left";
    child.waitForFinished(2000);
}
