#include "logrun.h"

#include "instrumentlink.h"
#include "protocol.h"

#include <iterator>

using namespace protocol;

// The loop of log readings, one read a step. The session's keep-alive, when one falls due,
// goes out between two reads (the link sees to it).
class TLogRun::TJob : public ILinkJob
{
public:
    TJob(TLogRun& run, std::function<void()> between, std::function<void()> ended)
        : m_run(run), m_between(std::move(between)), m_ended(std::move(ended))
    {
    }

    TJobKind Kind() const override { return TJobKind::LogRun; }
    QString Progress() const override { return QStringLiteral("Logging"); }
    TStep Step() override
    {
        if (!m_run.m_wanted)
            return TStep::Done;
        const TReply reply = m_run.m_link.SendCommand(TRequest::Read(reg::LogSample));
        if (m_between)
            m_between();
        // A refusal means a request of another's under way: the run cannot go on beside it.
        if (reply.outcome == TOutcome::PortClosed || reply.outcome == TOutcome::Refused)
            m_run.m_linkEnded = true;
        return m_run.m_wanted && !m_run.m_linkEnded ? TStep::More : TStep::Done;
    }
    void Ended(TJobEnd end) override
    {
        if (end == TJobEnd::LinkLost)
            m_run.m_linkEnded = true;
        m_run.m_looping = false;
        m_run.m_wanted = false;
        if (m_ended && !m_run.m_closing)
            m_ended();
    }

private:
    TLogRun& m_run;
    std::function<void()> m_between;
    std::function<void()> m_ended;
};

TLogRun::TLogRun(TInstrumentLink& link, SampleHandler onSample)
    : m_link(link), m_onSample(std::move(onSample))
{
}

// Its owner is going: the loop ends without telling it.
TLogRun::~TLogRun()
{
    m_closing = true;
    Stop();
}

void TLogRun::MessageReceived(const Tcommsobj& message, bool)
{
    // Replies to the set-up writes and to reads still in flight after Stop are no samples.
    if (!m_looping || !m_wanted || !message.ReplyBit || message.ErrorBit ||
        message.Command != cmd::ReadValue || message.Register != reg::LogSample)
        return;
    m_onSample(message.Data);
}

void TLogRun::Stop()
{
    m_wanted = false;
    if (m_looping && m_link.JobKind() == TJobKind::LogRun)
        m_link.EndJob();
}

bool TLogRun::Configure()
{
    static_assert(std::size(data::LogSetupValues) == reg::LogSetupLast - reg::LogSetupFirst + 1);
    int next = reg::LogSetupFirst;
    for (const char* value : data::LogSetupValues) {
        if (!m_wanted ||
            !m_link.SendCommand(TRequest::Write(next++, QLatin1String(value)).Reporting()))
            return false;
    }
    return m_wanted;
}

std::optional<QString> TLogRun::ReadWeightText()
{
    const TReply reply =
        m_link.SendCommand(TRequest::Of(cmd::ReadDisplayText, reg::WeightText).Reporting());
    if (!reply)
        return std::nullopt;
    return reply.Data();
}

bool TLogRun::StartLoop(std::function<void()> between, std::function<void()> ended)
{
    m_looping = true;
    m_linkEnded = false;
    if (m_link.StartJob(std::make_unique<TJob>(*this, std::move(between), std::move(ended))))
        return true;
    m_looping = false;
    return false;
}
