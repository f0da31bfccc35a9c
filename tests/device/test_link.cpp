// The instrument link on the simulated instrument: one request outstanding at a time, the
// keep-alive inside a job, and how a job ends and hands the link on.
#include "eventwait.h"
#include "simlink.h"
#include "steppedticks.h"

#include <gtest/gtest.h>

using namespace protocol;

namespace {

// A job of reads, one a step, that can be told what to do at a step.
class ReadJob : public ILinkJob
{
public:
    ReadJob(TInstrumentLink& link, int reads) : m_link(link), m_left(reads) {}

    std::function<void()> atStep;
    std::vector<TOutcome>* outcomes = nullptr;
    TJobEnd* ended = nullptr;

    TJobKind Kind() const override { return TJobKind::ExpandAll; }
    QString Progress() const override { return QStringLiteral("reading"); }
    TStep Step() override
    {
        if (atStep)
            atStep();
        const TReply reply = m_link.SendCommand(TRequest::Read(reg::SerialNumber));
        if (outcomes)
            outcomes->push_back(reply.outcome);
        return --m_left > 0 ? TStep::More : TStep::Done;
    }
    void Ended(TJobEnd end) override
    {
        if (ended)
            *ended = end;
    }

private:
    TInstrumentLink& m_link;
    int m_left;
};

struct LinkOnSimulator : ::testing::Test
{
    TSimLink sim;
    void SetUp() override { ASSERT_EQ(sim.Open(), ""); }
};

} // namespace

// The keep-alive a job's reads leave no idle tick for goes between two of them, answered
// before the next read is sent: the instrument never has two requests to answer.
TEST_F(LinkOnSimulator, KeepAliveInsideAJobIsAnsweredBeforeTheNextRequest)
{
    TSteppedTicks ticks;
    ASSERT_EQ(sim.Open(1, TPortChoice::RS232, &ticks), "");
    TInstrumentLink& link = *sim.link;
    link.SetKeepAliveTicks(2);
    link.SetKeepAlive(true);
    TJobEnd end = TJobEnd::Cancelled;
    auto job = std::make_unique<ReadJob>(link, 12);
    job->ended = &end;
    job->atStep = [&] { ticks.Step(); }; // a tick passes at every read
    EXPECT_EQ(link.RunJob(std::move(job)), TJobEnd::Done);
    EXPECT_EQ(end, TJobEnd::Done);
    int keepAlives = 0;
    int unanswered = 0; // requests received since the last reply sent
    for (const auto& e : sim.sim->Line().Log().Entries()) {
        if (e.direction == TTrafficLog::Sent) {
            unanswered = 0;
            continue;
        }
        keepAlives += e.text.startsWith("211200E2:FF");
        EXPECT_EQ(++unanswered, 1)
            << "a second request while one is unanswered: " << e.text.toStdString();
    }
    EXPECT_EQ(keepAlives, 6) << "one every two ticks";
}

// A job ended from inside its own step (a signal, a lost port) sends nothing more; what
// waited for it runs once the link is free, and a second job is refused meanwhile.
TEST_F(LinkOnSimulator, AJobEndedDuringAStepSendsNothingMoreAndHandsTheLinkOn)
{
    TInstrumentLink& link = *sim.link;
    std::vector<TOutcome> outcomes;
    TJobEnd end = TJobEnd::Done;
    bool secondStarted = true;
    bool thenRan = false;
    bool freeWhenThenRan = false;
    auto job = std::make_unique<ReadJob>(link, 10);
    ReadJob* running = job.get();
    running->outcomes = &outcomes;
    running->ended = &end;
    running->atStep = [&] {
        if (outcomes.size() != 3)
            return;
        secondStarted = link.StartJob(std::make_unique<ReadJob>(link, 1));
        link.EndJob([&] {
            thenRan = true;
            freeWhenThenRan = !link.JobRunning();
        });
    };
    sim.ClearLog();
    EXPECT_EQ(link.RunJob(std::move(job)), TJobEnd::Cancelled);
    EXPECT_FALSE(secondStarted);
    EXPECT_EQ(end, TJobEnd::Cancelled);
    ASSERT_EQ(outcomes.size(), 4u);
    EXPECT_EQ(outcomes.back(), TOutcome::Cancelled) << "the step's own request is not sent";
    EXPECT_EQ(sim.Count(cmd::ReadValue, reg::SerialNumber), 3);
    EXPECT_TRUE(thenRan);
    EXPECT_TRUE(freeWhenThenRan);
    EXPECT_TRUE(link.SendCommand(TRequest::Read(reg::SerialNumber))) << "the link is free";
}
