// Setup sessions against the simulated instrument: start and end traffic, passcodes, the
// keep-alive, the attribute cache, and instruments whose menus misbehave.
#include "sessionfixture.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QTimer>

using namespace protocol;

namespace {

const QStringList kTopMenus = {"BUILD", "OPTION", "SERIAL", "SETPNT", "CAL", "SYSTEM"};

int Placeholders(const QTreeWidgetItem* item)
{
    int n = item->text(0) == "..." ? 1 : 0;
    for (int i = 0; i < item->childCount(); ++i)
        n += Placeholders(item->child(i));
    return n;
}

} // namespace

TEST_F(SessionOnSimulator, FullSessionReadsRootAndFirstLevelOnlyThenExpandAllTheRest)
{
    Start();
    bool started = false;
    QObject::connect(session.get(), &TSessionController::SessionStarted,
                     [&](bool full) { started = full; });
    ASSERT_TRUE(StartSession(true));
    EXPECT_TRUE(started);
    EXPECT_EQ(sessionPrompts.asked, (QStringList{"level", "Enter Full Passcode"}));
    EXPECT_EQ(CountWrites(reg::FullPasscode, "8AE"), 1) << "2222 goes out as hexadecimal";
    EXPECT_TRUE(device->FullAccess);
    EXPECT_NE(device->SpanWeight, 0) << "a Full session reads the calibration";
    ASSERT_EQ(Tree()->topLevelItemCount(), 1);
    EXPECT_EQ(Tree()->topLevelItem(0)->text(0), "FULL SETUP");
    EXPECT_EQ(ChildNames({}), kTopMenus);
    for (const QString& menu : kTopMenus)
        EXPECT_EQ(ChildNames({menu}), QStringList{"..."}) << menu.toStdString();
    EXPECT_EQ(Count(cmd::ReadName, 0x0201), 0) << "no item below the first level";
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messages.join('|').toStdString();

    ClearLog();
    ReadAllMenus();
    EXPECT_EQ(Placeholders(Tree()->topLevelItem(0)), 0);
    EXPECT_EQ(ChildNames({"BUILD"}),
              (QStringList{"DP", "CAP", "E", "UNITS", "CABLE", "HI.RES", "USE"}));
    EXPECT_EQ(ChildNames({"SETPNT", "SP1"}), (QStringList{"TYPE", "TARGET", "HYS", "LOGIC"}));
    EXPECT_GT(Count(cmd::ReadName), 30);
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messages.join('|').toStdString();
}

// The attributes that never change are kept: a second session on the same kind of
// instrument asks for no type, minimum, maximum or option list again.
TEST_F(SessionOnSimulator, SecondSessionOnTheSameKindAsksNoAttributeAgain)
{
    Start();
    ASSERT_TRUE(StartSession(true));
    ReadAllMenus();
    Select({"BUILD", "UNITS"}); // an option list read once
    session->EndSessionClick();
    EXPECT_EQ(Tree()->topLevelItemCount(), 0) << "End Session clears the tree";

    ClearLog();
    ASSERT_TRUE(StartSession(true));
    ReadAllMenus();
    Select({"BUILD", "UNITS"});
    EXPECT_EQ(Count(cmd::ReadType), 0);
    EXPECT_EQ(Count(cmd::ReadMinimum), 0);
    EXPECT_EQ(Count(cmd::ReadMaximum), 0);
    EXPECT_EQ(Count(cmd::ReadListEntry, 0x0204), 0) << "the option texts are kept too";
    EXPECT_GT(Count(cmd::ReadValue), 30) << "values are read afresh";
}

TEST_F(SessionOnSimulator, SafeSessionListsFullItemsWithoutReadingThem)
{
    Start();
    device->ReadCalibration();
    ASSERT_TRUE(StartSession(false));
    EXPECT_FALSE(device->FullAccess);
    EXPECT_EQ(device->SpanWeight, 0) << "a Safe session clears the calibration figures";
    EXPECT_EQ(Tree()->topLevelItem(0)->text(0), "SAFE SETUP");
    ClearLog();
    ReadAllMenus();
    EXPECT_EQ(Count(cmd::ReadValue, 0x0205), 0) << "CABLE is read level F";
    QTreeWidgetItem* cable = Item({"BUILD", "CABLE"});
    ASSERT_NE(cable, nullptr);
    EXPECT_EQ(cable->text(0), "CABLE    : ") << "its name, no value";
}

TEST_F(SessionOnSimulator, PasscodesWrongAgainCancelAndAlreadyOpen)
{
    Start();
    sessionPrompts.levels = {false};
    sessionPrompts.passcodes = {"9999", "12a4"}; // then cancel
    session->StartSessionClick();
    EXPECT_FALSE(session->SessionActive());
    EXPECT_EQ(sessionPrompts.asked, (QStringList{"level", "Enter Safe Passcode",
                                                 "Enter Safe Passcode", "Enter Safe Passcode"}));
    EXPECT_EQ(sessionPrompts.toldWrong, (QList<bool>{false, true, true}))
        << "each refused passcode is said to be wrong";
    EXPECT_EQ(Tree()->topLevelItemCount(), 0) << "a cancelled start leaves no tree";
    EXPECT_EQ(CountWrites(reg::SafePasscode, "270F"), 1);
    EXPECT_EQ(CountWrites(reg::SafePasscode, "7C"), 1) << "digits only: 12a4 is 124";

    EXPECT_TRUE(session->PromptPasscode(false) == false);
    sessionPrompts.passcodes = {"1111"};
    EXPECT_TRUE(session->PromptPasscode(false));
    sessionPrompts.asked.clear();
    sessionPrompts.levels = {false};
    session->StartSessionClick();
    EXPECT_TRUE(session->SessionActive());
    EXPECT_EQ(sessionPrompts.asked, QStringList{"level"}) << "an open level asks nothing";

    sessionPrompts.asked.clear();
    session->EndSessionClick();
    session->StartSessionClick(); // cancelled at the level
    EXPECT_FALSE(session->SessionActive());
    EXPECT_EQ(sessionPrompts.asked, QStringList{"level"});
}

TEST_F(SessionOnSimulator, EndSessionTellsTheInstrumentLocksAndStores)
{
    Start();
    ASSERT_TRUE(StartSession(true));
    bool stored = false;
    QObject::connect(session.get(), &TSessionController::Stored, [&] { stored = true; });
    ClearLog();
    session->EndSessionClick();
    EXPECT_FALSE(session->SessionActive());
    QStringList seen;
    for (const Tcommsobj& r : Requests())
        seen << r.Build().mid(2);
    EXPECT_EQ(seen.mid(0, 1), QStringList{"1200E2:01"});
    EXPECT_TRUE(seen.contains("1100D0:") && seen.contains("1100D1:")) << "Lock reads both";
    EXPECT_TRUE(seen.contains("100010:")) << "and the store follows";
    EXPECT_EQ(Count(cmd::ReadValue, reg::SerialNumber), 3);
    EXPECT_TRUE(stored);
    EXPECT_FALSE(sim->Instrument(1).IsOpen(TSimSession::Full));
    EXPECT_FALSE(sim->Instrument(1).IsOpen(TSimSession::Safe));
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messages.join('|').toStdString();
}

TEST_F(SessionOnSimulator, EndSessionWithThePortClosedOnlyClearsTheTree)
{
    Start();
    ASSERT_TRUE(StartSession(false));
    bool ended = false;
    QObject::connect(session.get(), &TSessionController::SessionEnded, [&] { ended = true; });
    engine->Close();
    session->EndSessionClick();
    EXPECT_TRUE(ended);
    EXPECT_EQ(Tree()->topLevelItemCount(), 0);
    EXPECT_TRUE(session->SessionActive()) << "the session controls stay as they were";
}

// On the Display tab the keep-alive takes the place of a display poll at the next tick; on
// the Test tab it waits. The clock is stepped: every tick is one the test counts.
TEST_F(SessionOnSimulator, KeepAliveEveryIntervalWhileOpenAndNotOnTheTestTab)
{
    TSteppedTicks ticks;
    Start(1, TPortChoice::RS232, &ticks);
    ASSERT_TRUE(StartSession(false));
    struct Display : IActivity
    {
        int ActivityCode() const override { return IActivity::Display; }
        std::optional<TPoll> IdlePoll() const override
        {
            return TPoll{cmd::ReadValue, reg::Display};
        }
        void MessageReceived(const Tcommsobj&, bool) override {}
    } display;
    engine->SetActivity(&display);
    int sent = 0, received = 0;
    QObject::connect(engine, &TCommsEngine::Sent, [&] { ++sent; });
    QObject::connect(engine, &TCommsEngine::Received, [&] { ++received; });
    ClearLog();
    // Until the instrument has answered everything sent and the engine has read the answers:
    // a tick that comes before the last reply is read waits for it instead of polling.
    const auto settle = [&] {
        return RunUntil([&] {
            int requests = 0, replies = 0;
            for (const auto& e : sim->Line().Log().Entries())
                (e.direction == TTrafficLog::Received ? requests : replies) += 1;
            return requests == sent && replies == requests && received == sent;
        });
    };
    // The tick of every request the instrument received, stepped one at a time.
    const auto stepAndRecord = [&](int count) {
        std::vector<std::pair<int, QString>> seen;
        for (int tick = 1; tick <= count; ++tick) {
            const size_t before = Requests().size();
            ticks.Step();
            EXPECT_TRUE(settle());
            const std::vector<Tcommsobj> now = Requests();
            for (size_t i = before; i < now.size(); ++i)
                seen.emplace_back(tick, now[i].Build());
        }
        return seen;
    };
    const auto keepAlivesOf = [](const std::vector<std::pair<int, QString>>& seen) {
        std::vector<int> at;
        for (const auto& [tick, text] : seen)
            if (text.startsWith("211200E2:FF"))
                at.push_back(tick);
        return at;
    };
    const auto seen = stepAndRecord(120);
    // The session started at tick 0: armed at 50 and 100, each sent at the next tick.
    EXPECT_EQ(keepAlivesOf(seen), (std::vector<int>{51, 101}));
    EXPECT_EQ(Count(cmd::WriteValue), 2) << "nothing else is written";
    EXPECT_GE(Count(cmd::ReadValue, reg::Display), 100) << "the display is polled in between";

    struct Terminal : IActivity
    {
        int ActivityCode() const override { return IActivity::Test; }
        bool HoldsKeepAlive() const override { return true; }
        void MessageReceived(const Tcommsobj&, bool) override {}
    } terminal;
    engine->SetActivity(&terminal);
    EXPECT_TRUE(keepAlivesOf(stepAndRecord(60)).empty()) << "held while the terminal is in front";
    engine->SetActivity(nullptr);
    EXPECT_EQ(keepAlivesOf(stepAndRecord(2)).size(), 1u) << "and sent once it is not";
}

// A menu that lists itself or a child twice shows each child once; one whose list cannot be
// read shows "..." again at every expansion, and Expand All still ends.
TEST_F(SessionOnSimulator, MenusThatMisbehaveNeverLeaveTheTreeStuck)
{
    QString error;
    ASSERT_TRUE(
        options.instrument.menuFaults.Read("self,twice,nomax,lastentry,noname,novalue", &error))
        << error.toStdString();
    Start();
    ASSERT_TRUE(StartSession(true));
    QElapsedTimer clock;
    clock.start();
    ReadAllMenus();
    EXPECT_LT(clock.elapsed(), 20000);
    EXPECT_EQ(ChildNames({"OPTION"}).count("OPTION"), 0) << "not the menu itself";
    EXPECT_EQ(ChildNames({"OPTION"}).size(), 7);
    EXPECT_EQ(ChildNames({"SERIAL"}).count("BAUD"), 1);
    EXPECT_EQ(ChildNames({"SETPNT"}), QStringList{"..."});
    EXPECT_EQ(ChildNames({"CAL"}), QStringList{"..."}) << "one entry failed: nothing but ...";
    EXPECT_FALSE(ChildNames({"SYSTEM"}).contains("B.LIGHT"));
    EXPECT_GE(ChildNames({"SYSTEM"}).size(), 6);
    QTreeWidgetItem* units = Item({"BUILD", "UNITS"});
    ASSERT_NE(units, nullptr);
    Tree()->setCurrentItem(units);
    EXPECT_EQ(Child<QLabel>(page.get(), "lblAccessDenied")->text(), "Access Denied");

    QTreeWidgetItem* setpnt = Item({"SETPNT"});
    setpnt->setExpanded(false);
    ClearLog();
    setpnt->setExpanded(true);
    EXPECT_EQ(ChildNames({"SETPNT"}), QStringList{"..."}) << "read again, failed again";
    EXPECT_EQ(Count(cmd::ReadMaximum, 0x0230), 1) << "a failed read is not kept";
    // Child lists are read without reports; a refused name or value is reported, once each.
    EXPECT_EQ(prompts.messages, (QStringList{"Error :- Register  204:  Illegal Operation ",
                                             "Error :- Register  252:  Illegal Operation "}));
}

TEST_F(SessionOnSimulator, LinkLostDuringATreeReadEndsItWithOneReport)
{
    Start();
    ASSERT_TRUE(StartSession(true));
    int lost = 0;
    QObject::connect(engine, &TCommsEngine::PortLost, [&] { ++lost; });
    QTimer::singleShot(300, [&] { sim->Close(); });
    QElapsedTimer clock;
    clock.start();
    ReadAllMenus();
    EXPECT_LT(clock.elapsed(), 3000) << "every wait ended";
    ASSERT_TRUE(RunUntil([&] { return lost > 0; }));
    RunFor(200);
    EXPECT_EQ(lost, 1);
    EXPECT_TRUE(prompts.messages.isEmpty()) << "no not-responding messages on top";
    EXPECT_EQ(ChildNames({}), kTopMenus) << "the tree keeps what it had";
}
