// The commands of the main window while a job holds the instrument link, one row of the
// table per job and ending command: every command that would talk to the instrument is off
// with the reason in the status bar, End Session, Disconnect and Exit end the job first and
// then run, and whatever happened, the instrument's levels are open exactly when the window
// shows a session.
#include "../logging/logrig.h"
#include "windowfixture.h"

#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QTest>

using namespace protocol;

namespace {

enum class TJob
{
    ExpandAll,
    Refresh,
    LogRun,
    SendSettings,
    CalibrationWait,
    Clock
};

// What ends the job: a command of the window, or the job's own window's Cancel.
enum class TEnder
{
    EndSession,
    Disconnect,
    Exit,
    OwnCancel
};

struct TJobCase
{
    const char* name;
    TJob job;
    TEnder ender;
};

inline void PrintTo(const TJobCase& c, std::ostream* out)
{
    *out << c.name;
}

// The commands that would talk to the instrument (or change what it is for) while a job runs.
const char* const kRefused[] = {"Open1",         "Save1",          "Print1",
                                "Preview1",      "SetDateTime1",   "CustomPrintFormat1",
                                "StartSession",  "tbStartSession", "SafePasscode1",
                                "FullPasscode1", "Lock1",          "ExportChart1"};

class LinkJobs : public WindowOnSimulator, public ::testing::WithParamInterface<TJobCase>
{
protected:
    TInstrumentLink& Link() { return *Find<TInstrumentLink>(); }
    bool JobRunning() { return Link().JobRunning(); }

    // Starts the job as a user would, from the window; true once it holds the link.
    bool StartJob(TJob job)
    {
        switch (job) {
        case TJob::ExpandAll:
            Action("tvMenupopupExpand")->trigger();
            // Well into the reading: BUILD's first item has been asked for.
            return RunUntil([&] { return sim->Line().RequestCount(0x0201) > 0; });
        case TJob::Refresh:
            Action("tvMenuPopupRefresh")->trigger();
            return JobRunning();
        case TJob::LogRun:
            Tabs()->setCurrentWidget(Find<QWidget>("TSLog"));
            AnswerLogDialog(0, {0, 0, 0, 0});
            Find<QPushButton>("BtnStart")->click();
            return RunUntil([&] { return sim->Line().RequestCount(reg::LogSample) > 3; });
        default:
            return false;
        }
    }

    // While the job runs: the commands that would talk to the instrument are off and the
    // status bar says why; those that end the job are on.
    void ExpectCommandsHeld(bool session)
    {
        for (const char* name : kRefused)
            EXPECT_FALSE(Action(name)->isEnabled()) << name;
        EXPECT_FALSE(Tabs()->tabBar()->isEnabled()) << "no other page";
        const auto* panel = Find<QLabel>("JobPanel");
        EXPECT_FALSE(panel->isHidden());
        EXPECT_TRUE(panel->text().contains("other commands wait")) << panel->text().toStdString();
        EXPECT_EQ(Action("EndSession")->isEnabled(), session);
        EXPECT_TRUE(Action("ToolButton4")->isEnabled());
        EXPECT_TRUE(Action("Exit1")->isEnabled());
    }

    void End(TEnder ender)
    {
        prompts.answers = {1}; // unsaved log data: Discard
        switch (ender) {
        case TEnder::EndSession:
            Action("EndSession")->trigger();
            break;
        case TEnder::Disconnect:
            Action("ToolButton4")->trigger();
            break;
        case TEnder::Exit:
            Action("Exit1")->trigger();
            break;
        default:
            break;
        }
        ASSERT_TRUE(RunUntil([&] { return !JobRunning(); }, 10000));
        DrainEvents();
    }

    int EndSessionWrites()
    {
        int n = 0;
        for (const auto& e : sim->Line().Log().Entries())
            n += e.direction == TTrafficLog::Received && e.text.startsWith("211200E2:01");
        return n;
    }

    // The last word of every row: what the window shows of the session is what the
    // instrument's levels are.
    void ExpectWindowAndInstrumentAgree()
    {
        const bool shown = window->Connected() && Find<TSessionController>()->SessionActive();
        EXPECT_EQ(sim->Instrument(1).IsOpen(TSimSession::Full), shown);
        EXPECT_EQ(sim->Instrument(1).IsOpen(TSimSession::Safe), shown);
    }
};

} // namespace

TEST_P(LinkJobs, EndingCommandsEndTheJobFirstAndTheInstrumentAgreesWithTheWindow)
{
    const TJobCase c = GetParam();
    options.line.delayMs = 5; // an Expand All of a second or two
    Connect();
    ASSERT_TRUE(StartFullSession());
    ASSERT_TRUE(StartJob(c.job)) << c.name;
    ExpectCommandsHeld(true);
    End(c.ender);

    EXPECT_FALSE(JobRunning());
    switch (c.ender) {
    case TEnder::EndSession:
        EXPECT_TRUE(window->Connected());
        EXPECT_FALSE(Find<TSessionController>()->SessionActive());
        break;
    case TEnder::Disconnect:
        EXPECT_FALSE(window->Connected());
        break;
    case TEnder::Exit:
        EXPECT_FALSE(window->isVisible());
        break;
    default:
        break;
    }
    EXPECT_EQ(EndSessionWrites(), 1) << "the session is ended, once";
    EXPECT_FALSE(Find<TSessionController>()->SessionActive());
    ExpectWindowAndInstrumentAgree();
}

INSTANTIATE_TEST_SUITE_P(
    Table, LinkJobs,
    testing::Values(TJobCase{"ExpandAll_EndSession", TJob::ExpandAll, TEnder::EndSession},
                    TJobCase{"ExpandAll_Disconnect", TJob::ExpandAll, TEnder::Disconnect},
                    TJobCase{"ExpandAll_Exit", TJob::ExpandAll, TEnder::Exit},
                    TJobCase{"Refresh_EndSession", TJob::Refresh, TEnder::EndSession},
                    TJobCase{"Refresh_Disconnect", TJob::Refresh, TEnder::Disconnect},
                    TJobCase{"Refresh_Exit", TJob::Refresh, TEnder::Exit},
                    TJobCase{"LogRun_EndSession", TJob::LogRun, TEnder::EndSession},
                    TJobCase{"LogRun_Disconnect", TJob::LogRun, TEnder::Disconnect},
                    TJobCase{"LogRun_Exit", TJob::LogRun, TEnder::Exit}),
    [](const testing::TestParamInfo<TJobCase>& info) { return info.param.name; });

// The jobs with a modal window of their own: nothing of the main window can be reached, its
// commands are off all the same, and the job's own Cancel ends it.
TEST_F(LinkJobs, ModalJobsHoldTheCommandsUntilTheirOwnCancel)
{
    options.instrument.calibrationStuck = true;
    Connect();
    const QString file = dir.filePath("one.VSF");
    {
        QFile vsf(file);
        ASSERT_TRUE(vsf.open(QIODevice::WriteOnly));
        QByteArray text = "1: FULL SETUP\r\n2: SETPNT\r\n3: SP1\r\n";
        for (int i = 0; i < 200; ++i)
            text += "4: HYS      : 1\r\n20120234:" + QByteArray::number(i % 50, 16) + "\r\n";
        vsf.write(text);
    }
    const auto cancelWhenRunning = [&](const char* dialog, const char* cancel, bool session) {
        return std::make_unique<ModalAnswer>(dialog, [=, this](QWidget* shown) {
            RunUntil([&] { return JobRunning(); });
            ExpectCommandsHeld(session);
            Child<QPushButton>(shown, cancel)->click();
        });
    };
    // The clock dialog, outside a session.
    {
        const auto clock = cancelWhenRunning("TFrmSetClock", "BtnCancel", false);
        Action("SetDateTime1")->trigger();
        EXPECT_TRUE(clock->Answered());
    }
    ExpectWindowAndInstrumentAgree();
    // A settings file's writes.
    prompts.fileNames = {file};
    sessionPrompts.passcodes = {"2222"};
    {
        ModalAnswer preview("TFrmSendSettings",
                            [](QWidget* shown) { Child<QPushButton>(shown, "BtnSend")->click(); });
        const auto send = cancelWhenRunning("TFrmTraffic", "btnCancel", false);
        Action("Open1")->trigger();
        EXPECT_TRUE(send->Answered());
    }
    EXPECT_LT(sim->Line().RequestCount(0x0234), 200) << "cancelled part-way";
    ExpectWindowAndInstrumentAgree();
    // The calibration wait, inside a Full session.
    ASSERT_TRUE(StartFullSession());
    Tabs()->setCurrentWidget(Find<QWidget>("TSCal"));
    {
        const auto wait = cancelWhenRunning("FrmCalWait", "BtnCancel", true);
        Find<QPushButton>("BtnZero")->click();
        ASSERT_TRUE(RunUntil([&] { return wait->Answered() && !JobRunning(); }, 10000));
    }
    EXPECT_TRUE(Find<TSessionController>()->SessionActive());
    ExpectWindowAndInstrumentAgree();
    EXPECT_FALSE(prompts.messages.join('|').contains("Access Denied")) << Messages().toStdString();
}

// With no session, the keyboard walks the tabs that are there and no others: the Calibration
// and Settings pages cannot be reached, nor their buttons pressed.
TEST_F(LinkJobs, KeyboardReachesNoPageOfASessionThatIsNotOpen)
{
    Connect();
    for (int i = 0; i < 8; ++i) {
        QTest::keyClick(Tabs(), Qt::Key_Tab, Qt::ControlModifier);
        QTest::keyClick(Tabs()->tabBar(), Qt::Key_Right);
        EXPECT_FALSE(Tabs()->currentWidget() == Find<QWidget>("TSCal"));
        EXPECT_FALSE(Tabs()->currentWidget() == Find<QWidget>("TSSettings"));
    }
    EXPECT_EQ(sim->Line().RequestCount(reg::FullPasscode), 0);
    EXPECT_EQ(sim->Line().RequestCount(reg::ZeroSignal), 0);
}
