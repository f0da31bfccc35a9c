#include "commsengine.h"

#include "crc.h"
#include "protocol.h"
#include "ringnetwork.h"
#include "ticksource.h"
#include "transport.h"
#include "userprompts.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QMetaMethod>

// Traffic is logged at debug level: QT_LOGGING_RULES="q900.comms.debug=true" shows it.
Q_LOGGING_CATEGORY(lcComms, "q900.comms", QtWarningMsg)

using namespace protocol;

namespace {

const char* kLongNoResponse =
    "Instrument not responding: Ensure communications cables are connected properly.";
const char* kShortNoResponse = "Instrument not responding";

} // namespace

TCommsEngine::TCommsEngine(TRingNetwork& ring, IUserPrompts& prompts, TTickSource& ticks,
                           QObject* parent)
    : QObject(parent), m_ring(ring), m_prompts(prompts), m_ticks(ticks),
      m_receiver(
          ring, [this](const QString& text) { HandleMessage(text); },
          [this](const QString& characters) {
              emit ReceivedCharacters(characters);
              emit Traffic(characters);
          })
{
    connect(&m_ticks, &TTickSource::Tick, this, &TCommsEngine::Tick);
}

TCommsEngine::~TCommsEngine()
{
    Attach(nullptr);
}

void TCommsEngine::Attach(TTransport* transport)
{
    disconnect(m_readyRead);
    disconnect(m_lost);
    EndWaitOnLoss();
    m_transport = transport;
    ClearBuffers();
    if (!transport)
        return;
    m_readyRead =
        connect(&transport->Device(), &QIODevice::readyRead, this, &TCommsEngine::OnReadyRead);
    m_lost = connect(transport, &TTransport::Lost, this, &TCommsEngine::OnTransportLost);
}

void TCommsEngine::Close()
{
    if (m_transport)
        m_transport->Close();
    EndWaitOnLoss();
}

bool TCommsEngine::IsOpen() const
{
    return m_transport && m_transport->IsOpen();
}

QString TCommsEngine::PortName() const
{
    return m_transport ? m_transport->Name() : QString();
}

int TCommsEngine::Activity() const
{
    return m_activity ? m_activity->ActivityCode() : IActivity::None;
}

bool TCommsEngine::KeepAliveHeld() const
{
    return m_activity && m_activity->HoldsKeepAlive();
}

void TCommsEngine::ClearBuffers()
{
    m_receiver.Clear();
}

// A waiting request must not outlive its port: ending the attempt lets its loop see it.
void TCommsEngine::EndWaitOnLoss()
{
    if (m_waitState == TWaitState::Waiting)
        m_waitState = TWaitState::Done;
    m_timeoutTicks = 0;
    m_pollTicks = 0;
}

void TCommsEngine::OnTransportLost(const QString& message)
{
    EndWaitOnLoss();
    // Queued, so that whoever waited has let go before the program reacts.
    QMetaObject::invokeMethod(
        this, [this, message] { emit PortLost(message); }, Qt::QueuedConnection);
}

void TCommsEngine::SendRaw(const QString& text, bool crc)
{
    if (!IsOpen() || text.isEmpty())
        return;
    QString out;
    if (crc)
        out = crc::CrcForm(text);
    else
        out = text.endsWith(u';') ? text : text + QStringLiteral("\r\n");
    const QString framed = m_ring.FrameRequest(out);
    m_transport->Device().write(framed.toLatin1());
    qCDebug(lcComms) << ">>>" << framed;
    emit Sent(framed);
    emit Traffic(QStringLiteral(">>>") + framed);
}

void TCommsEngine::OnReadyRead()
{
    // A handler that pumps events must not take characters out of order: those that arrive
    // meanwhile wait in the port until the outer call goes on.
    if (m_receiving)
        return;
    m_receiving = true;
    while (IsOpen() && m_transport->Device().bytesAvailable() > 0)
        m_receiver.Feed(m_transport->Device().readAll());
    m_receiving = false;
}

void TCommsEngine::HandleMessage(const QString& text)
{
    qCDebug(lcComms) << "<<<" << text;
    if (m_messageRecord.Parse(text)) {
        if (m_activity)
            m_activity->MessageReceived(m_messageRecord, m_waitState == TWaitState::Waiting);
        m_pollTicks = 0;
    }
    emit Received(text);
    if (m_waiting)
        MatchReply(text);
    else
        m_waitState = TWaitState::Idle;
}

void TCommsEngine::MatchReply(const QString& text)
{
    if (!m_replyRecord.Parse(text) || m_replyRecord.Register != m_requestRecord.Register)
        return;
    m_waitState = TWaitState::Done;
    m_accepted = true;
    const int r = m_replyRecord.Register;
    // Linearisation replies are judged by the calibration page, not shown here.
    if (m_reportErrors && m_replyRecord.ErrorBit && !reg::IsLinPoint(r) && !reg::IsLinWeight(r))
        ReportReplyError(m_replyRecord);
    emit ReplyAccepted(m_replyRecord, m_reportErrors);
}

void TCommsEngine::ReportReplyError(const Tcommsobj& record)
{
    const QString text = record.ErrorReport();
    QueueReport([this, text] { m_prompts.Warn(text); });
}

void TCommsEngine::QueueReport(std::function<void()> report)
{
    m_reports.push_back(std::move(report));
    if (!m_busy) // else the request's end shows it
        ScheduleFlush();
}

void TCommsEngine::ScheduleFlush()
{
    if (m_flushScheduled)
        return;
    m_flushScheduled = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_flushScheduled = false;
            FlushReports();
        },
        Qt::QueuedConnection);
}

void TCommsEngine::FlushReports()
{
    if (m_flushing)
        return; // the outer flush shows the rest in order
    m_flushing = true;
    while (!m_reports.empty() && !m_busy) {
        const std::function<void()> report = std::move(m_reports.front());
        m_reports.pop_front();
        report();
    }
    m_flushing = false;
}

// The user's input is left for later: a click handled here could start a second conversation
// inside this one. The line, the ticks, timers and painting go on.
void TCommsEngine::PumpWhile(const std::function<bool()>& condition)
{
    while (condition())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents |
                                        QEventLoop::ExcludeUserInputEvents);
}

// One attempt: send the request and sleep until its reply, its time-out or the port's loss.
bool TCommsEngine::WaitForReply(int ticks)
{
    m_timeoutTicks = ticks;
    m_accepted = false;
    m_waitState = TWaitState::Waiting;
    SendRaw(m_requestRecord.Build(), false);
    PumpWhile([this] { return m_waitState == TWaitState::Waiting && IsOpen(); });
    return m_accepted;
}

// Attempts until a reply (an error reply included) is accepted, the retries are used up, the
// port goes away or the wait is given up.
TOutcome TCommsEngine::Exchange(const TRequest& request)
{
    const int ticks = request.attemptTicks > 0       ? request.attemptTicks
                      : request.pace == TPace::Model ? kTransactTicks
                                                     : kSendTicks;
    m_retriesLeft = request.retries >= 0 ? request.retries : kRetries;
    while (!WaitForReply(ticks)) {
        if (m_aborted)
            return TOutcome::Cancelled;
        if (!IsOpen() || m_retriesLeft == 0)
            return TOutcome::NoReply;
        --m_retriesLeft;
    }
    return m_replyRecord.ErrorBit ? TOutcome::ErrorReply : TOutcome::Accepted;
}

bool TCommsEngine::BeginRequest(const TRequest& request)
{
    if (m_busy) {
        qCWarning(lcComms) << "request refused while another one is under way";
        return false;
    }
    m_busy = true;
    m_aborted = false;
    m_waitState = TWaitState::Done;
    m_reportErrors = request.reportErrors;
    if (request.quiet)
        m_noResponseCount = 2;
    // An outstanding poll is allowed to finish first.
    PumpWhile([this] { return m_pollTicks > 0 && IsOpen() && !m_aborted; });
    return true;
}

void TCommsEngine::EndRequest(TOutcome outcome)
{
    m_waitState = TWaitState::Idle;
    m_waiting = false;
    m_busy = false;
    // A box never runs inside the tick or the receive loop: that would freeze the counts.
    if (!m_reports.empty()) {
        if (m_inTick || m_receiving)
            ScheduleFlush();
        else
            FlushReports();
    }
    // Whoever starts the next request does it from the event loop, never inside a tick. Only
    // when somebody waits: each posted call wakes the event loop once more per exchange.
    if (outcome != TOutcome::Refused &&
        isSignalConnected(QMetaMethod::fromSignal(&TCommsEngine::RequestEnded)))
        QMetaObject::invokeMethod(this, &TCommsEngine::RequestEnded, Qt::QueuedConnection);
}

TReply TCommsEngine::SendCommand(const TRequest& request)
{
    TReply reply;
    if (!BeginRequest(request)) {
        reply.outcome = TOutcome::Refused;
        return reply;
    }
    reply.outcome = m_aborted ? TOutcome::Cancelled : TOutcome::PortClosed;
    if (IsOpen() && !m_aborted) {
        m_waiting = request.wait;
        m_requestRecord.Clear();
        m_requestRecord.RequestBit = true;
        m_requestRecord.Address = m_ring.LocalAddress();
        m_requestRecord.Data = request.data;
        m_requestRecord.Command = request.command;
        m_requestRecord.Register = request.reg;
        if (!request.wait) {
            SendRaw(m_requestRecord.Build(), false);
            reply.outcome = TOutcome::Sent;
        } else {
            reply.outcome = Exchange(request);
            // Only the model's clean replies re-arm the long message; any answer to a
            // command of the program's own does.
            if (reply.outcome == TOutcome::Accepted ||
                (reply.outcome == TOutcome::ErrorReply && request.pace == TPace::Command))
                m_noResponseCount = 0;
            if (reply.Answered())
                reply.record = m_replyRecord;
        }
    }
    EndRequest(reply.outcome);
    return reply;
}

void TCommsEngine::AbortWait()
{
    if (!m_busy)
        return;
    m_aborted = true;
    if (m_waitState == TWaitState::Waiting)
        m_waitState = TWaitState::Done;
}

void TCommsEngine::WaitTicks(int n)
{
    const quint64 until = m_ticks.Ticks() + static_cast<quint64>(std::max(n, 0));
    PumpWhile([this, until] { return m_ticks.Ticks() < until; });
}

void TCommsEngine::Tick()
{
    if (++m_echoTicks >= kEchoTicks) {
        m_echoTicks = 0;
        m_receiver.FlushEcho();
    }
    if (!IsOpen())
        return;
    m_inTick = true;
    // Only a poll that went out is waited for: a tab that polls nothing must not hold back
    // the next request, nor blank the mimics.
    if (m_waitState == TWaitState::Idle && m_pollTicks == 0 && !m_busy && SendIdlePoll())
        m_pollTicks = kPollTicks;
    if (m_pollTicks > 0 && --m_pollTicks == 0)
        emit DisplayStale();
    if (m_timeoutTicks > 0 && --m_timeoutTicks == 0 && m_waitState == TWaitState::Waiting) {
        m_waitState = TWaitState::Done; // ends the requester's attempt
        if (m_retriesLeft == 0)
            ShowNoResponse();
    }
    m_inTick = false;
}

bool TCommsEngine::SendIdlePoll()
{
    if (SendKeepAliveIfDue(false))
        return true;
    if (!m_activity)
        return false;
    const auto poll = m_activity->IdlePoll();
    if (poll)
        SendCommand(TRequest::Of(poll->command, poll->reg).NoWait());
    return poll.has_value();
}

// The one sender of the session keep-alive. At an idle tick it is written and the poll's wait
// follows; between the requests of a job it is answered before the next request goes.
bool TCommsEngine::SendKeepAliveIfDue(bool waitForReply)
{
    if (!m_keepAlivePending || KeepAliveHeld())
        return false;
    m_keepAlivePending = false;
    TRequest keepAlive = TRequest::KeepAlive();
    if (!waitForReply)
        keepAlive.NoWait();
    SendCommand(keepAlive);
    return true;
}

void TCommsEngine::ShowNoResponse()
{
    const int shown = m_noResponseCount;
    m_noResponseCount = std::min(m_noResponseCount + 1, 2);
    if (shown == 0 && m_opticalLink)
        QueueReport([this] { m_prompts.ShowOpticalPrompt(); });
    else if (shown == 0)
        QueueReport([this] { m_prompts.Inform(QString::fromLatin1(kLongNoResponse)); });
    else if (shown == 1)
        QueueReport([this] { m_prompts.Inform(QString::fromLatin1(kShortNoResponse)); });
}
