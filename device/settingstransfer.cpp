#include "settingstransfer.h"

#include "instrumentlink.h"
#include "userprompts.h"

// The transfer's requests, stepped by the link one at a time.
class TSettingsTransfer::TJob : public ILinkJob
{
public:
    explicit TJob(TSettingsTransfer& transfer) : m_transfer(transfer) {}

    TJobKind Kind() const override { return TJobKind::SendSettings; }
    QString Progress() const override
    {
        return QStringLiteral("Sending settings: %1 of %2")
            .arg(m_transfer.Current())
            .arg(m_transfer.Count());
    }
    TStep Step() override { return m_transfer.SendNext(); }
    int PauseMs() const override { return kPaceMs; }
    void Ended(TJobEnd end) override
    {
        if (end == TJobEnd::Cancelled)
            m_transfer.Finish(TResult::Cancelled);
        else if (end == TJobEnd::LinkLost)
            m_transfer.Finish(TResult::LinkLost);
        else if (m_transfer.m_result == TResult::Running)
            m_transfer.Finish(TResult::Done);
    }

private:
    TSettingsTransfer& m_transfer;
};

TSettingsTransfer::TSettingsTransfer(TInstrumentLink& link, IUserPrompts& prompts, QObject* parent)
    : QObject(parent), m_link(link), m_prompts(prompts)
{
}

void TSettingsTransfer::SetRequests(const QStringList& lines)
{
    m_requests.clear();
    for (const QString& line : lines) {
        Tcommsobj message;
        message.Parse(line);
        // Each attempt waits 2 s; the transfer says itself when all four went unanswered.
        m_requests.push_back(TRequest::Of(message.Command, message.Register, message.Data)
                                 .Reporting()
                                 .Quiet()
                                 .Attempts(kAttemptTicks, kRetries));
    }
    m_current = 0;
    m_progress = 0;
    m_errors = 0;
    emit ProgressChanged();
}

bool TSettingsTransfer::Start()
{
    m_result = TResult::Running;
    if (m_link.StartJob(std::make_unique<TJob>(*this)))
        return true;
    Finish(TResult::Cancelled); // another job holds the link: nothing was sent
    return false;
}

void TSettingsTransfer::Cancel()
{
    if (m_result != TResult::Running)
        return;
    if (m_link.JobKind() == TJobKind::SendSettings)
        m_link.EndJob(); // its end says Cancelled
    else
        Finish(TResult::Cancelled);
}

ILinkJob::TStep TSettingsTransfer::SendNext()
{
    if (m_current >= Count())
        return ILinkJob::TStep::Done;
    const TReply reply = m_link.SendCommand(m_requests.at(static_cast<size_t>(m_current)));
    // A port that went away ends the batch with the link: its loss is reported once, there.
    if (!m_link.IsOpen())
        return ILinkJob::TStep::More;
    if (reply.outcome == TOutcome::NoReply) {
        m_prompts.Inform(QStringLiteral("Instrument not Responding"));
        Finish(TResult::NoResponse);
        return ILinkJob::TStep::Done;
    }
    if (!reply.Answered())
        return ILinkJob::TStep::More; // cancelled or the port went: the link ends the job
    m_errors += reply.outcome == TOutcome::ErrorReply;
    ++m_current;
    emit ProgressChanged();
    return m_current < Count() ? ILinkJob::TStep::More : ILinkJob::TStep::Done;
}

void TSettingsTransfer::MessageReceived(const Tcommsobj&, bool)
{
    if (m_result != TResult::Running)
        return;
    m_progress = std::min(m_progress + 1, Count());
    emit ProgressChanged();
}

void TSettingsTransfer::Finish(TResult result)
{
    if (m_result != TResult::Running)
        return;
    m_result = result;
    emit Finished(result);
}
