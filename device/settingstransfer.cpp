#include "settingstransfer.h"

#include "commsengine.h"
#include "userprompts.h"

TSettingsTransfer::TSettingsTransfer(TCommsEngine& engine, IUserPrompts& prompts, QObject* parent)
    : QObject(parent), m_engine(engine), m_prompts(prompts)
{
    m_timer1.setInterval(kTickMs);
    connect(&m_timer1, &QTimer::timeout, this, &TSettingsTransfer::Timer1Timer);
    // A link that goes away ends the batch at once; the connection says why.
    connect(&m_engine, &TCommsEngine::PortLost, this, [this] {
        if (m_result == TResult::Running && m_timer1.isActive())
            Finish(TResult::LinkLost);
    });
}

void TSettingsTransfer::SetRequests(const QStringList& requests)
{
    m_requests = requests;
    m_current = 0;
    m_progress = 0;
    emit ProgressChanged();
}

void TSettingsTransfer::Start()
{
    m_result = TResult::Running;
    m_awaitingReply = false;
    m_sendDelay = 2;
    m_tries = 0;
    m_timer1.start();
}

void TSettingsTransfer::Cancel()
{
    m_requests.clear();
    m_sendDelay = 0;
    m_awaitingReply = false;
    Finish(TResult::Cancelled);
}

void TSettingsTransfer::Timer1Timer()
{
    // Sending into a port that went away would end, seconds later, in a second report of
    // the one failure the connection has reported already.
    if (!m_engine.IsOpen()) {
        m_requests.clear();
        Finish(TResult::LinkLost);
        return;
    }
    if (m_sendDelay > 0) {
        --m_sendDelay;
        return;
    }
    if (m_current >= m_requests.size()) {
        Finish(TResult::Done);
        return;
    }
    const QString request = m_requests.at(m_current);
    Tcommsobj record;
    m_awaitedRegister = record.Parse(request) ? record.Register : -1;
    m_engine.SendRaw(request, false);
    m_sendDelay = kResendTicks;
    m_awaitingReply = true;
    if (++m_tries > kMaxTries) {
        m_requests.clear();
        m_timer1.stop();
        m_prompts.Inform(QStringLiteral("Instrument not Responding"));
        Finish(TResult::NoResponse);
    }
}

// A reply counts for the request in progress only when it names its register: a late
// answer to an earlier transmission must not confirm the next request.
void TSettingsTransfer::MessageReceived(const Tcommsobj& reply, bool)
{
    if (m_result != TResult::Running || (m_awaitingReply && reply.Register != m_awaitedRegister))
        return;
    if (m_awaitingReply) {
        m_awaitingReply = false;
        m_tries = 0;
        if (reply.ErrorBit)
            m_engine.ReportReplyError(reply);
        ++m_current;
    }
    m_progress = std::min(m_progress + 1, Count());
    m_sendDelay = 0;
    emit ProgressChanged();
}

void TSettingsTransfer::Finish(TResult result)
{
    m_timer1.stop();
    if (m_result != TResult::Running)
        return;
    m_result = result;
    emit Finished(result);
}
