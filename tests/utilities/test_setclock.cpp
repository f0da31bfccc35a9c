// The Set Date and Time dialog: the live clock label and its poll, the writes that set the
// instrument's clock, against the simulated instrument and a line the test answers by hand.
#include "../device/sessionfixture.h"
#include "modaldriver.h"
#include "pcclock.h"
#include "scriptedinstrument.h"
#include "setclock.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

using namespace protocol;

namespace {

class TFixedClock : public IPcClock
{
public:
    QDateTime time{QDate(2026, 12, 6), QTime(23, 27, 39)};
    QDateTime LocalNow() const override { return time; }
};

// What was in front before the dialog: it must be again afterwards.
struct TDisplayActivity : IActivity
{
    int ActivityCode() const override { return IActivity::Display; }
    void MessageReceived(const Tcommsobj&, bool) override {}
};

QLabel* Label(TFrmSetClock& dialog)
{
    return Child<QLabel>(&dialog, "LblDateTime");
}

// --- Against the simulated instrument ---------------------------------------------------

class SetClockOnSimulator : public SessionOnSimulator
{
protected:
    std::vector<std::pair<int, QString>> ClockWrites()
    {
        std::vector<std::pair<int, QString>> writes;
        for (const Tcommsobj& r : Requests())
            if (r.Command == cmd::WriteValue && r.Register >= reg::ClockDay &&
                r.Register <= reg::ClockMinute)
                writes.emplace_back(r.Register, r.Data);
        return writes;
    }

    TFixedClock pcClock;
    TDisplayActivity display;
};

TEST_F(SetClockOnSimulator, SetSendsTheFiveWritesAndTheInstrumentKeepsTheTime)
{
    Start();
    engine->SetActivity(&display);
    TFrmSetClock dialog(*simLink.link, *session, prompts, pcClock);
    sessionPrompts.passcodes = {"1111"};
    int activityWhileShown = -1;
    WhenShown<TFrmSetClock>([&](TFrmSetClock& shown) {
        activityWhileShown = engine->Activity();
        // The instrument's own clock, live, in its dd/MM/yy order.
        const QRegularExpression clockText(R"(^\d\d/\d\d/\d\d \d\d:\d\d:\d\d$)");
        EXPECT_TRUE(RunUntil([&] {
            return clockText.match(Label(shown)->text()).hasMatch() &&
                   Label(shown)->text() != "01/01/03 10:52:01";
        })) << Label(shown)->text().toStdString();
        QTest::keyClick(&shown, Qt::Key_Return); // Set is the default button
    });
    ClearLog();
    dialog.SetDateTime1Click();

    EXPECT_EQ(activityWhileShown, IActivity::Clock);
    EXPECT_EQ(engine->CurrentActivity(), &display);
    EXPECT_TRUE(prompts.messages.contains("confirm: Send PC Date/Time to instrument?"));
    EXPECT_EQ(sessionPrompts.asked, QStringList{"Enter Safe Passcode"});
    const std::vector<std::pair<int, QString>> expected = {
        {0x0154, "7EA"}, {0x0153, "C"}, {0x0152, "6"}, {0x0155, "17"}, {0x0156, "1B"}};
    EXPECT_EQ(ClockWrites(), expected);
    EXPECT_GT(Count(cmd::ReadValue, reg::Clock), 0);
    EXPECT_FALSE(sim->Instrument(1).IsOpen(TSimSession::Safe)) << "locked afterwards";
    EXPECT_TRUE(sim->Instrument(1)
                    .Respond(QStringLiteral("21110150:"))
                    .startsWith("A1110150:06/12/26 23:27:"));
    EXPECT_EQ(prompts.messages.size(), 1) << prompts.messages.join('|').toStdString();
}

TEST_F(SetClockOnSimulator, AYearTheInstrumentRefusesStopsTheWrites)
{
    Start();
    pcClock.time = QDateTime(QDate(2100, 1, 1), QTime(0, 0));
    TFrmSetClock dialog(*simLink.link, *session, prompts, pcClock);
    sessionPrompts.passcodes = {"1111"};
    WhenShown<TFrmSetClock>([](TFrmSetClock& shown) { shown.accept(); });
    ClearLog();
    dialog.SetDateTime1Click();
    EXPECT_EQ(ClockWrites().size(), 1u);
    EXPECT_TRUE(RunUntil([&] { return prompts.messages.size() == 2; }));
    EXPECT_EQ(prompts.messages.value(1), "Error :- Register  154:  Over Range ");
    EXPECT_FALSE(sim->Instrument(1).IsOpen(TSimSession::Safe));
}

// Inside a Full setup session the clock is set without locking the instrument behind the
// session's back: its levels stay open, and the next edit needs no passcode.
TEST_F(SetClockOnSimulator, InsideASessionTheLevelsStayOpen)
{
    Start();
    ASSERT_TRUE(StartSession(true));
    TFrmSetClock dialog(*simLink.link, *session, prompts, pcClock);
    WhenShown<TFrmSetClock>([](TFrmSetClock& shown) { shown.accept(); });
    sessionPrompts.asked.clear();
    dialog.SetDateTime1Click();
    EXPECT_EQ(ClockWrites().size(), 5u);
    EXPECT_TRUE(sessionPrompts.asked.isEmpty()) << "the Safe level is open in the session";
    EXPECT_TRUE(session->SessionActive());
    EXPECT_TRUE(sim->Instrument(1).IsOpen(TSimSession::Full)) << "as the window shows it";
    EXPECT_TRUE(session->PromptPasscode(true)) << "the next edit asks for nothing";
    EXPECT_TRUE(sessionPrompts.asked.isEmpty());
}

// --- Against a line the test answers ----------------------------------------------------

class SetClockOnScriptedLine : public ScriptedInstrument
{
protected:
    std::vector<int> WrittenRegisters() const
    {
        std::vector<int> regs;
        for (const auto& [reg, data] : Writes())
            if (reg >= reg::ClockDay && reg <= reg::ClockMinute)
                regs.push_back(reg);
        return regs;
    }

    TFixedClock pcClock;
    TDisplayActivity display;
    TFrmSetClock dialog{link, session, prompts, pcClock};
};

TEST_F(SetClockOnScriptedLine, ErrorReplyBlanksTheLabelUntilTheNextGoodOne)
{
    engine.SetActivity(&display);
    WhenShown<TFrmSetClock>([&](TFrmSetClock& shown) {
        EXPECT_TRUE(RunUntil([&] { return Label(shown)->text() == "01/02/26 10:00:00"; }));
        clockError = true;
        EXPECT_TRUE(RunUntil([&] { return Label(shown)->text().isEmpty(); }));
        clockError = false;
        clockText = QStringLiteral("01/02/26 10:00:07");
        EXPECT_TRUE(RunUntil([&] { return Label(shown)->text() == "01/02/26 10:00:07"; }));
        QTest::keyClick(&shown, Qt::Key_Escape);
    });
    dialog.SetDateTime1Click();
    EXPECT_TRUE(prompts.messages.isEmpty()) << "clock reads report no errors";
    EXPECT_TRUE(Writes().empty());
    EXPECT_EQ(engine.CurrentActivity(), &display);
    EXPECT_EQ(Label(dialog)->text(), "01/02/26 10:00:07") << "kept for the next use";
}

// Each reply lets the next read go at the next 100 ms tick; without one the read is sent
// again five ticks after the last.
TEST_F(SetClockOnScriptedLine, ReadsFollowRepliesAndRepeatEveryHalfSecondWithout)
{
    const auto gaps = [this](size_t from) {
        std::vector<qint64> out;
        for (size_t i = from + 1; i < clockReads.size(); ++i)
            out.push_back(clockReads[i] - clockReads[i - 1]);
        return out;
    };
    WhenShown<TFrmSetClock>([&](TFrmSetClock& shown) {
        EXPECT_TRUE(RunUntil([&] { return clockReads.size() >= 6; }));
        for (qint64 gap : gaps(1))
            EXPECT_LT(gap, 300);
        clockSilent = true;
        const size_t first = clockReads.size();
        EXPECT_TRUE(RunUntil([&] { return clockReads.size() >= first + 4; }, 4000));
        for (qint64 gap : gaps(first))
            EXPECT_NEAR(gap, 500, 150);
        shown.reject();
    });
    dialog.SetDateTime1Click();
    const size_t reads = clockReads.size();
    RunFor(700);
    EXPECT_EQ(clockReads.size(), reads) << "no clock reads once the dialog is closed";
}

class RejectedWrite : public SetClockOnScriptedLine, public ::testing::WithParamInterface<int>
{
};

TEST_P(RejectedWrite, StopsTheWritesAfterItButStillLocks)
{
    refused = {GetParam()};
    WhenShown<TFrmSetClock>(
        [](TFrmSetClock& shown) { Child<QPushButton>(&shown, "BtnOk")->click(); });
    dialog.SetDateTime1Click();
    const std::vector<int> order = {0x0154, 0x0153, 0x0152, 0x0155, 0x0156};
    const auto rejected = std::find(order.begin(), order.end(), GetParam());
    const std::vector<int> sent(order.begin(),
                                rejected == order.end() ? order.end() : rejected + 1);
    EXPECT_EQ(WrittenRegisters(), sent);
    EXPECT_EQ(Count(cmd::ReadValue, reg::StoredSafePasscode), 1) << "Lock runs";
    EXPECT_EQ(Count(cmd::ReadValue, reg::StoredFullPasscode), 1);
    RunUntil([&] { return prompts.messages.size() >= 2; }, 500);
    EXPECT_EQ(prompts.messages.size(), rejected == order.end() ? 1 : 2)
        << prompts.messages.join('|').toStdString();
}

// 0x0100 is no clock register: every write goes.
INSTANTIATE_TEST_SUITE_P(Registers, RejectedWrite,
                         ::testing::Values(0x0154, 0x0153, 0x0152, 0x0155, 0x0156, 0x0100));

TEST_F(SetClockOnScriptedLine, CancelAtAnyQuestionLeavesTheClockAlone)
{
    engine.SetActivity(&display);
    const auto clickSet = [](TFrmSetClock& shown) { shown.accept(); };

    prompts.confirmAnswer = false;
    WhenShown<TFrmSetClock>(clickSet);
    dialog.SetDateTime1Click();
    EXPECT_TRUE(sessionPrompts.asked.isEmpty());
    EXPECT_EQ(Count(cmd::ReadValue, reg::StoredSafePasscode), 0) << "no Lock either";

    prompts.confirmAnswer = true;
    refused = {reg::SafePasscode}; // closed: the passcode is asked for, and cancelled
    WhenShown<TFrmSetClock>(clickSet);
    dialog.SetDateTime1Click();
    EXPECT_EQ(sessionPrompts.asked, QStringList{"Enter Safe Passcode"});
    EXPECT_EQ(Count(cmd::ReadValue, reg::StoredSafePasscode), 1) << "Lock still runs";

    EXPECT_TRUE(WrittenRegisters().empty());
    EXPECT_EQ(engine.CurrentActivity(), &display);
}

TEST_F(SetClockOnScriptedLine, PortClosedDoesNothing)
{
    engine.Close();
    bool shown = false;
    QTimer::singleShot(0, [&] {
        shown = QApplication::activeModalWidget() != nullptr;
        if (shown)
            QApplication::activeModalWidget()->close();
    });
    dialog.SetDateTime1Click();
    RunFor(50);
    EXPECT_FALSE(shown);
    EXPECT_EQ(engine.CurrentActivity(), nullptr);
}

} // namespace
