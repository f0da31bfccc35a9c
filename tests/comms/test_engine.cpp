// The comms engine over real pseudo-terminals: against the simulated instrument and against
// a line the test answers by hand.
#include "crc.h"
#include "eventwait.h"
#include "scriptedline.h"
#include "simlink.h"
#include "steppedticks.h"
#include "tools.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTimer>

#include <gtest/gtest.h>

using namespace protocol;

namespace {

// An activity whose messages the test sees, polling what it is told.
class TestActivity : public IActivity
{
public:
    int code = IActivity::Display;
    std::optional<TPoll> poll;
    bool holdKeepAlive = false;
    QStringList data;
    std::function<void(const Tcommsobj&, bool)> onMessage;

    int ActivityCode() const override { return code; }
    std::optional<TPoll> IdlePoll() const override { return poll; }
    bool HoldsKeepAlive() const override { return holdKeepAlive; }
    void MessageReceived(const Tcommsobj& m, bool waiting) override
    {
        data << m.Data;
        if (onMessage)
            onMessage(m, waiting);
    }
};

// A read as the instrument model makes it: the short attempts, error replies reported.
TRequest ModelRead(int reg)
{
    return TRequest::Read(reg).ForModel().Reporting();
}

// The reply as text, as the instrument sent it; empty when none came.
QString Text(const TReply& reply)
{
    return reply.Answered() ? reply.record.Build() : QString();
}

struct EngineOnSimulator : ::testing::Test
{
    TSimLink simLink;
    TSimOptions& options = simLink.options;
    RecordingPrompts& prompts = simLink.prompts;
    TSimPty* sim = nullptr;
    TCommsEngine* engine = nullptr;

    void Start(int address = 1, int cable = TPortChoice::RS232)
    {
        ASSERT_EQ(simLink.Open(address, cable), "");
        sim = simLink.sim.get();
        engine = &simLink.Engine();
    }
    QStringList RequestsSeen() { return simLink.RequestTexts(); }
};

} // namespace

TEST_F(EngineOnSimulator, IdentityIsReadInOrderThroughTheLink)
{
    Start();
    TDevice& device = simLink.Device();
    device.ReadIdentity();
    EXPECT_EQ(device.SerialNumber, "93123401");
    EXPECT_EQ(device.CommsVersion.mid(1, 1), "2");
    EXPECT_FALSE(device.ModelVariant.isEmpty());
    const QStringList seen = RequestsSeen();
    ASSERT_GE(seen.size(), 4);
    EXPECT_TRUE(seen[0].startsWith("21110005:"));
    EXPECT_TRUE(seen[1].startsWith("21110003:"));
    EXPECT_TRUE(seen[2].startsWith("21110004:"));
    EXPECT_TRUE(seen[3].startsWith("21110001:"));
    EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST_F(EngineOnSimulator, ErrorReplyEndsWaitAtOnceAndIsReported)
{
    Start();
    QElapsedTimer clock;
    clock.start();
    const TReply result = engine->SendCommand(TRequest::Read(0x7A7A).Reporting());
    EXPECT_EQ(result.outcome, TOutcome::ErrorReply);
    EXPECT_LT(clock.elapsed(), 900);
    EXPECT_TRUE(result.record.ErrorBit);
    EXPECT_EQ(sim->Line().RequestCount(0x7A7A), 1) << "no retries after an error reply";
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0], "Error :- Register 7A7A:  Feature Not implemented ");
    EXPECT_EQ(prompts.warnings, prompts.messages) << "with the warning icon";

    const QString reply = Text(engine->SendCommand(ModelRead(0x7A7A)));
    EXPECT_TRUE(reply.startsWith("E1117A7A:")) << reply.toStdString();
    EXPECT_EQ(sim->Line().RequestCount(0x7A7A), 2);

    EXPECT_FALSE(engine->SendCommand(TRequest::Read(0x7A7A)));
    EXPECT_EQ(prompts.messages.size(), 2) << "only requests that report errors show them";
}

TEST_F(EngineOnSimulator, CrcFormRepliesAreChecked)
{
    options.line.crcReplies = true;
    Start();
    const TReply reply = engine->SendCommand(TRequest::Read(reg::SerialNumber).Reporting());
    EXPECT_TRUE(reply);
    EXPECT_EQ(reply.record.Register, reg::SerialNumber);
    EXPECT_FALSE(reply.Data().isEmpty());
}

TEST_F(EngineOnSimulator, RingPicksTheAddressedInstrument)
{
    options.addresses = {1, 5, 7};
    options.line.ring = true;
    Start(5, TPortChoice::RS232Ring);
    const QString reply = Text(engine->SendCommand(ModelRead(reg::SerialNumber)));
    ASSERT_TRUE(reply.startsWith("A5110005:")) << reply.toStdString();
    EXPECT_EQ(tools::HexToInt(reply.mid(9)), 93123401u + 1) << "the second instrument on the ring";
}

TEST_F(EngineOnSimulator, IdlePollFollowsActivity)
{
    Start();
    TestActivity display;
    display.poll = IActivity::TPoll{cmd::ReadValue, reg::Display};
    engine->SetActivity(&display);
    EXPECT_EQ(engine->Activity(), IActivity::Display);
    ASSERT_TRUE(RunUntil([&] { return display.data.size() >= 2; }));
    const int polls = sim->Line().RequestCount(reg::Display);
    TestActivity terminal;
    terminal.code = IActivity::Test;
    terminal.holdKeepAlive = true;
    engine->SetActivity(&terminal);
    engine->RequestKeepAlive();
    engine->WaitTicks(4);
    EXPECT_LE(sim->Line().RequestCount(reg::Display), polls + 1);
    EXPECT_EQ(sim->Line().RequestCount(reg::SessionControl), 0) << "no keep-alive on the Test tab";
    engine->SetActivity(nullptr);
    ASSERT_TRUE(RunUntil([&] { return sim->Line().RequestCount(reg::SessionControl) == 1; }))
        << "the held keep-alive goes out later";
    EXPECT_FALSE(engine->KeepAlivePending());
}

// The instrument that wants CRC requests refuses every plain one: one report, and the
// identity read stops at the first refusal instead of asking three more registers.
TEST_F(EngineOnSimulator, OneErrorReplyGivesOneReportEvenWhileTheBoxStaysOpen)
{
    options.line.requireCrc = true;
    Start();
    prompts.whileShown = [](const QString&) { RunFor(700); }; // the user reads the box
    TDevice& device = simLink.Device();
    device.ReadIdentity();
    EXPECT_EQ(prompts.messages, QStringList{"Error :- Register    5:  CRC Required "});
    EXPECT_EQ(sim->Line().RequestCount(reg::SerialNumber), 1) << "not sent again";
    EXPECT_EQ(sim->Line().RequestCount(reg::ModelText), 0);
    EXPECT_EQ(device.SerialNumber, "");
}

// A line the test answers by hand, and a link on it whose clock the test steps: a time-out
// comes when the test lets the ticks run (StepEvery), not after real seconds.
struct EngineOnScriptedLine : ::testing::Test
{
    ScriptedLine line;
    RecordingPrompts prompts;
    TSteppedTicks ticks;
    TInstrumentLink link{prompts, &ticks};
    TCommsEngine& engine = link.Engine();
    TPortChoice choice;

    void Open(int address = 0, int cable = TPortChoice::RS232)
    {
        choice.portName = line.SlavePath();
        choice.cable = cable;
        choice.address = address;
        ASSERT_EQ(link.Open(choice), "");
    }
};

TEST_F(EngineOnScriptedLine, ReplyForAnotherRegisterDoesNotEndTheWait)
{
    line.answer = [&](const QString& request) -> QByteArray {
        if (!request.startsWith("21110040"))
            return {};
        QTimer::singleShot(250, [&] { line.Send("A1110040:1234\r\n"); });
        return "A1110009:0000\r\nnot a message\r\n";
    };
    Open(1);
    int messages = 0;
    QObject::connect(&engine, &TCommsEngine::Received, [&](const QString&) { ++messages; });
    const TReply reply = engine.SendCommand(TRequest::Read(reg::LogSample).Reporting());
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply.Value(), 0x1234u);
    EXPECT_EQ(messages, 3) << "every message is still handled";
    EXPECT_EQ(line.received.size(), 1);
}

TEST_F(EngineOnScriptedLine, NoReplyRetriesThenWarnsLongShortThenNothing)
{
    ticks.StepEvery(1);
    Open(2);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Text(engine.SendCommand(ModelRead(reg::SerialNumber))), "");
    EXPECT_EQ(line.received.size(), 9) << "three attempts each";
    EXPECT_EQ(line.received[0], "22110005:") << "the engine puts in the instrument's address";
    ASSERT_EQ(prompts.messages.size(), 2);
    EXPECT_EQ(prompts.messages[0], "Instrument not responding: Ensure communications cables "
                                   "are connected properly.");
    EXPECT_EQ(prompts.messages[1], "Instrument not responding");

    line.answer = [](const QString&) -> QByteArray { return "A2110005:1\r\n"; };
    EXPECT_EQ(Text(engine.SendCommand(ModelRead(reg::SerialNumber))), "A2110005:1");
    line.answer = nullptr;
    EXPECT_EQ(Text(engine.SendCommand(ModelRead(reg::SerialNumber))), "");
    EXPECT_EQ(prompts.messages.size(), 3) << "a good reply re-arms the long message";
    EXPECT_EQ(prompts.messages[2].left(26), "Instrument not responding:");
}

// A request's own attempts (probing addresses that may be empty) hold for it alone.
TEST_F(EngineOnScriptedLine, ShortAttemptsGiveUpSoonAndHoldForTheirRequestAlone)
{
    ticks.StepEvery(1);
    Open(3);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(engine.SendCommand(TRequest::Read(reg::SerialNumber).Attempts(2, 0)).outcome,
              TOutcome::NoReply);
    // Well short of even one usual attempt (the usual three would take three seconds).
    EXPECT_LT(clock.elapsed(), TCommsEngine::kSendTicks * TTickSource::kTickMs);
    EXPECT_EQ(line.received.size(), 1) << "no retry";
    line.answer = [](const QString&) -> QByteArray { return "A3110005:7\r\n"; };
    EXPECT_EQ(Text(engine.SendCommand(ModelRead(reg::SerialNumber).Attempts(2, 0))), "A3110005:7")
        << "an answer still comes through";
    line.answer = nullptr;
    line.received.clear();
    EXPECT_EQ(Text(engine.SendCommand(ModelRead(reg::SerialNumber))), "");
    EXPECT_EQ(line.received.size(), 3) << "the usual three attempts";
}

TEST_F(EngineOnScriptedLine, OpticalLinkShowsItsPromptInstead)
{
    ticks.StepEvery(1);
    Open(0, TPortChoice::OpticalLink);
    EXPECT_EQ(Text(engine.SendCommand(ModelRead(reg::SerialNumber))), "");
    EXPECT_EQ(prompts.messages, QStringList{"optical prompt"});
}

TEST_F(EngineOnScriptedLine, ReceiveRulesForFramingAndOverlongText)
{
    Open();
    QStringList got;
    QObject::connect(&engine, &TCommsEngine::Received, [&](const QString& t) { got << t; });
    line.Send("junk\x02"
              "A1110009:12\r\n");            // STX discards what came before
    line.Send(QByteArray(1001, 'x') + "\n"); // too long: dropped
    line.Send("\x01"
              "A1110005:1F" +
              crc::CrcText("A1110005:1F").toLatin1() + "\x04");
    line.Send("\x01"
              "A1110005:1F"
              "0000"
              "\x04");           // bad CRC: ignored
    line.Send("A11100\r05:2\n"); // CR inside is ignored
    RunUntil([&] { return got.size() >= 3; });
    RunFor(20); // nothing more comes of the dropped texts
    EXPECT_EQ(got, (QStringList{"A1110009:12", "A1110005:1F", "A1110005:2"}));
}

TEST_F(EngineOnScriptedLine, SecondRequestWhileWaitingIsRefusedOutLoud)
{
    Open();
    TReply nested;
    TReply nestedModel;
    nested.outcome = nestedModel.outcome = TOutcome::Accepted;
    line.answer = [&](const QString& request) -> QByteArray {
        if (request.startsWith("20110040")) {
            QTimer::singleShot(0, [&] {
                nested = engine.SendCommand(TRequest::Read(0x0041).Reporting());
                nestedModel = link.SendCommand(ModelRead(0x0041));
            });
            QTimer::singleShot(200, [&] { line.Send("A0110040:7\r\n"); });
        }
        return {};
    };
    const TReply reply = engine.SendCommand(TRequest::Read(reg::LogSample).Reporting());
    EXPECT_TRUE(reply);
    EXPECT_EQ(reply.Value(), 7u) << "the request is intact";
    EXPECT_EQ(nested.outcome, TOutcome::Refused);
    EXPECT_FALSE(nested.Ok());
    EXPECT_EQ(nestedModel.outcome, TOutcome::Refused) << "through the link alike";
    EXPECT_EQ(line.received.size(), 1) << "nothing of the refused requests went out";
    EXPECT_TRUE(prompts.messages.isEmpty()) << "a refusal is no instrument error";
}

TEST_F(EngineOnScriptedLine, NestedWaitsEachCountTheirOwnTicks)
{
    quint64 innerFrom = 0;
    quint64 innerTo = 0;
    // Two ticks into the outer wait, a handler waits three of its own.
    QObject::connect(&ticks, &TTickSource::Tick, &link, [&] {
        if (ticks.Ticks() != 2)
            return;
        QTimer::singleShot(0, &link, [&] {
            innerFrom = ticks.Ticks();
            engine.WaitTicks(3);
            innerTo = ticks.Ticks();
        });
    });
    ticks.StepEvery(1);
    const quint64 outerFrom = ticks.Ticks();
    engine.WaitTicks(10);
    const quint64 outerTo = ticks.Ticks();
    EXPECT_EQ(innerTo - innerFrom, 3u);
    EXPECT_EQ(outerTo - outerFrom, 10u) << "the inner wait neither cut the outer one short "
                                           "nor stretched it";
}

// Error replies that arrive while nothing waits (a timer sends raw requests, as the terminal
// and the settings transfer do) are reported from the event loop: while the box is open the
// link goes on working, so a request made meanwhile gets its reply.
TEST_F(EngineOnScriptedLine, ErrorReplyDuringATimerDrivenSendIsReportedOutsideTheLoops)
{
    line.answer = [](const QString& request) -> QByteArray {
        if (request.startsWith("20110BAD"))
            return "E0110BAD:2000\r\n";
        return "A0110005:1\r\n";
    };
    Open();
    TestActivity terminal;
    terminal.code = IActivity::Test;
    terminal.onMessage = [&](const Tcommsobj& m, bool waiting) {
        if (!waiting && m.ErrorBit)
            engine.ReportReplyError(m);
    };
    engine.SetActivity(&terminal);
    TOutcome duringBox = TOutcome::PortClosed;
    bool busyWhenShown = true;
    prompts.whileShown = [&](const QString&) {
        busyWhenShown = engine.Busy();
        duringBox = engine.SendCommand(TRequest::Read(reg::SerialNumber).Reporting()).outcome;
    };
    QTimer sender;
    sender.setSingleShot(true);
    QObject::connect(&sender, &QTimer::timeout, [&] { engine.SendRaw("20110BAD:", false); });
    sender.start(20);
    ASSERT_TRUE(RunUntil([&] { return !prompts.messages.isEmpty(); }));
    EXPECT_EQ(prompts.messages.first(), "Error :- Register  BAD:  Feature Not implemented ");
    EXPECT_FALSE(busyWhenShown);
    EXPECT_EQ(duringBox, TOutcome::Accepted) << "replies are read while the box is open";
}

TEST_F(EngineOnScriptedLine, NoResponseBoxComesAfterTheRequestHasEnded)
{
    ticks.StepEvery(1);
    Open();
    bool busyWhenShown = true;
    prompts.whileShown = [&](const QString&) { busyWhenShown = engine.Busy(); };
    EXPECT_EQ(engine.SendCommand(TRequest::Read(reg::SerialNumber).Reporting()).outcome,
              TOutcome::NoReply);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_FALSE(busyWhenShown) << "not inside the tick that timed the request out";
}

TEST_F(EngineOnScriptedLine, LosingTheLineEndsTheWaitAndReportsIt)
{
    Open();
    QString lost;
    QObject::connect(&engine, &TCommsEngine::PortLost, [&](const QString& m) { lost = m; });
    QTimer::singleShot(300, [&] { line.HangUp(); });
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(engine.SendCommand(TRequest::Read(reg::SerialNumber).Reporting()).outcome,
              TOutcome::NoReply);
    EXPECT_LT(clock.elapsed(), 2500) << "not the full three attempts";
    EXPECT_FALSE(engine.IsOpen());
    ASSERT_TRUE(RunUntil([&] { return !lost.isEmpty(); }));
    EXPECT_TRUE(lost.startsWith("The connection to " + line.SlavePath() + " was lost: "))
        << lost.toStdString();
    EXPECT_FALSE(lost.contains("temporarily unavailable")) << lost.toStdString();
    EXPECT_EQ(engine.WaitState(), TCommsEngine::TWaitState::Idle);
    EXPECT_EQ(engine.SendCommand(TRequest::Read(reg::SerialNumber).Reporting()).outcome,
              TOutcome::PortClosed)
        << "closed port fails at once";
}

TEST_F(EngineOnScriptedLine, DisconnectDuringWaitEndsIt)
{
    Open();
    QTimer::singleShot(200, [&] { engine.Close(); });
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(Text(engine.SendCommand(ModelRead(reg::SerialNumber))), "");
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST_F(EngineOnScriptedLine, SendRawTerminatorsRingFramingAndCrcForm)
{
    Open();
    QStringList echoed;
    QObject::connect(&engine, &TCommsEngine::Traffic, [&](const QString& t) { echoed << t; });
    engine.SendRaw("21110009:", false);
    engine.SendRaw("abc;", false);
    engine.SendRaw("21110005:", true);
    link.Close();
    choice.cable = TPortChoice::RS232Ring;
    choice.address = 1;
    ASSERT_EQ(link.Open(choice), "");
    engine.SendRaw("21110009:", false);
    RunUntil([&] { return echoed.size() >= 4; });
    ASSERT_EQ(echoed.size(), 4);
    EXPECT_EQ(echoed[0], ">>>21110009:\r\n");
    EXPECT_EQ(echoed[1], ">>>abc;");
    EXPECT_EQ(echoed[2], ">>>\x02"
                         "21110005:" +
                             crc::CrcText("21110005:") + "\x04");
    EXPECT_EQ(echoed[3], ">>>\x12"
                         "21110009:\r\n\x14");
}
