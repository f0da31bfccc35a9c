#include "commsengine.h"

#include "crc.h"
#include "protocol.h"
#include "ringnetwork.h"
#include "userprompts.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QMetaMethod>

// Traffic is logged at debug level: QT_LOGGING_RULES="q900.comms.debug=true" shows it.
Q_LOGGING_CATEGORY(lcComms, "q900.comms", QtWarningMsg)

using namespace protocol;

namespace {

const char* kLongNoResponse =
    "Instrument not responding: Ensure communications cables are connected properly.";
const char* kShortNoResponse = "Instrument not responding";

QSerialPort::Parity ParityOf(int index)
{
    switch (index) {
    case 1:
        return QSerialPort::OddParity;
    case 2:
        return QSerialPort::EvenParity;
    default:
        return QSerialPort::NoParity;
    }
}

const char* ParityName(int index)
{
    static const char* names[] = {"None", "Odd", "Even"};
    return names[index >= 0 && index < 3 ? index : 0];
}

// A permission failure on a device we may read and write is the lock of another program.
QString OpenFailure(const QString& path, const QSerialPort& port)
{
    const QString head = QStringLiteral("Cannot open %1: ").arg(path);
    if (port.error() != QSerialPort::PermissionError)
        return head + port.errorString();
    const QFileInfo device(path);
    if (device.isReadable() && device.isWritable())
        return head + QStringLiteral("it is in use by another program.");
    const QString group = device.group();
    return head + port.errorString() +
           QStringLiteral("\r\nThe device belongs to the group \"%1\"; add your user to it "
                          "(for example: sudo usermod -aG %1 $USER) and log in again.")
               .arg(group.isEmpty() ? QStringLiteral("dialout") : group);
}

// The reason a port went away, as the system gives it; a hung-up line often reports only
// the last read's "try again", which says nothing to the user.
QString LossReason(const QSerialPort& port)
{
    const QString reason = port.errorString();
    if (reason.isEmpty() || reason.contains(QLatin1String("temporarily unavailable")))
        return QStringLiteral("the device was removed or hung up");
    return reason;
}

} // namespace

TCommsEngine::TCommsEngine(TRingNetwork& ring, IUserPrompts& prompts, QObject* parent)
    : QObject(parent), m_ring(ring), m_prompts(prompts),
      m_receiver(
          ring, [this](const QString& text) { HandleMessage(text); },
          [this](const QString& characters) {
              emit ReceivedCharacters(characters);
              emit Traffic(characters);
          })
{
    connect(&m_port, &QSerialPort::readyRead, this, &TCommsEngine::OnReadyRead);
    connect(&m_port, &QSerialPort::errorOccurred, this, &TCommsEngine::OnPortError);
    m_tickTimer.setInterval(kTickMs);
    m_echoTimer.setInterval(1000);
    connect(&m_tickTimer, &QTimer::timeout, this, &TCommsEngine::Tick);
    connect(&m_echoTimer, &QTimer::timeout, this, [this] { m_receiver.FlushEcho(); });
    m_tickTimer.start();
    m_echoTimer.start();
}

TCommsEngine::~TCommsEngine()
{
    Close();
}

QString TCommsEngine::Open(const TLineSettings& settings)
{
    Close();
    m_portPath = settings.portName;
    m_port.setPortName(settings.portName);
    if (!m_port.open(QIODevice::ReadWrite))
        return OpenFailure(settings.portName, m_port);
    // Each setting separately, so that a refusal names what the port would not take.
    QString refused;
    if (!m_port.setBaudRate(settings.baud))
        refused = QStringLiteral("%1 baud").arg(settings.baud);
    else if (!m_port.setDataBits(static_cast<QSerialPort::DataBits>(settings.dataBits)))
        refused = QStringLiteral("%1 data bits").arg(settings.dataBits);
    else if (!m_port.setParity(ParityOf(settings.parity)))
        refused = QStringLiteral("parity %1").arg(QLatin1String(ParityName(settings.parity)));
    else if (!m_port.setStopBits(settings.stopBits == 2 ? QSerialPort::TwoStop
                                                        : QSerialPort::OneStop))
        refused = QStringLiteral("%1 stop bits").arg(settings.stopBits);
    if (!refused.isEmpty()) {
        const QString why = m_port.errorString();
        m_port.close();
        return QStringLiteral("The port %1 does not accept %2 (%3).")
            .arg(settings.portName, refused, why);
    }
    // A pseudo-terminal or a three-wire adapter has no modem lines; that is harmless.
    m_port.setRequestToSend(false);
    m_port.setDataTerminalReady(true);
    m_port.clearError();
    ClearBuffers();
    return {};
}

void TCommsEngine::Close()
{
    if (m_port.isOpen())
        m_port.close();
    EndWaitOnLoss();
}

bool TCommsEngine::IsOpen() const
{
    return m_port.isOpen();
}

int TCommsEngine::Activity() const
{
    return m_activity ? m_activity->ActivityCode() : IActivity::None;
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

void TCommsEngine::OnPortError(QSerialPort::SerialPortError error)
{
    // A device that went away shows as a resource error, or (a pseudo-terminal whose other
    // side closed) as reads and writes that fail again and again.
    if (error != QSerialPort::ResourceError && error != QSerialPort::ReadError &&
        error != QSerialPort::WriteError)
        return;
    const QString message =
        QStringLiteral("The connection to %1 was lost: %2").arg(m_portPath, LossReason(m_port));
    qCWarning(lcComms) << message;
    m_port.clearError();
    Close();
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
    m_port.write(framed.toLatin1());
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
    while (m_port.isOpen() && m_port.bytesAvailable() > 0)
        m_receiver.Feed(m_port.readAll());
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
    if (m_reportGate && !m_reportGate())
        return;
    const QString text = record.ErrorReport();
    QueueReport([this, text] { m_prompts.Inform(text); });
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

void TCommsEngine::PumpWhile(const std::function<bool()>& condition)
{
    while (condition())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
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

// Attempts until a reply (an error reply included) is accepted, the retries are used up or
// the port goes away.
TOutcome TCommsEngine::Exchange(int ticks)
{
    m_retriesLeft = m_attemptTicks > 0 ? m_attemptRetries : kRetries;
    while (!WaitForReply(m_attemptTicks > 0 ? m_attemptTicks : ticks)) {
        if (!IsOpen() || m_retriesLeft == 0)
            return TOutcome::NoReply;
        --m_retriesLeft;
    }
    return m_replyRecord.ErrorBit ? TOutcome::ErrorReply : TOutcome::Accepted;
}

bool TCommsEngine::BeginRequest(bool reportErrors)
{
    if (m_busy) {
        qCWarning(lcComms) << "request refused while another one is under way";
        m_lastOutcome = TOutcome::Refused;
        return false;
    }
    m_busy = true;
    m_waitState = TWaitState::Done;
    m_reportErrors = reportErrors;
    // An outstanding poll is allowed to finish first.
    PumpWhile([this] { return m_pollTicks > 0 && IsOpen(); });
    return true;
}

void TCommsEngine::EndRequest(TOutcome outcome)
{
    m_waitState = TWaitState::Idle;
    m_waiting = false;
    m_busy = false;
    m_lastOutcome = outcome;
    // A box never runs inside the tick or the receive loop: that would freeze the counts.
    if (!m_reports.empty()) {
        if (m_inTick || m_receiving)
            ScheduleFlush();
        else
            FlushReports();
    }
    // Whoever starts the next request does it from the event loop, never inside a tick. Only
    // when somebody waits: each posted call wakes the event loop once more per exchange.
    if (isSignalConnected(QMetaMethod::fromSignal(&TCommsEngine::RequestEnded)))
        QMetaObject::invokeMethod(this, &TCommsEngine::RequestEnded, Qt::QueuedConnection);
}

TRequestResult TCommsEngine::SendCommand(int command, int reg, bool reportErrors, bool wait,
                                         const QString& data)
{
    if (!BeginRequest(reportErrors))
        return {TOutcome::Refused};
    TOutcome outcome = TOutcome::PortClosed;
    if (IsOpen()) {
        m_waiting = wait;
        m_requestRecord.Clear();
        m_requestRecord.RequestBit = true;
        m_requestRecord.Address = m_instrumentAddress;
        m_requestRecord.Data = data;
        m_requestRecord.Command = command;
        m_requestRecord.Register = reg;
        if (!wait) {
            SendRaw(m_requestRecord.Build(), false);
            outcome = TOutcome::Sent;
        } else {
            outcome = Exchange(kSendTicks);
            if (outcome == TOutcome::Accepted || outcome == TOutcome::ErrorReply)
                m_noResponseCount = 0;
        }
    }
    EndRequest(outcome);
    return {outcome};
}

QString TCommsEngine::Transact(const QString& request)
{
    if (!BeginRequest(true))
        return {};
    TOutcome outcome = TOutcome::PortClosed;
    QString result;
    if (IsOpen()) {
        m_waiting = true;
        if (!m_requestRecord.Parse(request)) {
            outcome = TOutcome::Invalid;
        } else {
            m_requestRecord.Address = m_instrumentAddress;
            outcome = Exchange(kTransactTicks);
            if (outcome == TOutcome::Accepted)
                m_noResponseCount = 0;
            if (outcome == TOutcome::Accepted || outcome == TOutcome::ErrorReply)
                result = m_replyRecord.Build();
        }
    }
    EndRequest(outcome);
    return result;
}

void TCommsEngine::WaitTicks(int n)
{
    const quint64 until = m_ticks + static_cast<quint64>(std::max(n, 0));
    PumpWhile([this, until] { return m_ticks < until; });
}

void TCommsEngine::Tick()
{
    ++m_ticks;
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
    if (m_keepAlivePending && !(m_activity && m_activity->HoldsKeepAlive())) {
        SendCommand(cmd::WriteValue, reg::SessionControl, false, false,
                    QLatin1String(data::KeepAlive));
        m_keepAlivePending = false;
        return true;
    }
    if (!m_activity)
        return false;
    const auto poll = m_activity->IdlePoll();
    if (poll)
        SendCommand(poll->command, poll->reg, false, false);
    return poll.has_value();
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
