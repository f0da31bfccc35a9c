#include "commsengine.h"

#include "crc.h"
#include "ringnetwork.h"
#include "userprompts.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLoggingCategory>

// Traffic is logged at debug level: QT_LOGGING_RULES="q900.comms.debug=true" shows it.
Q_LOGGING_CATEGORY(lcComms, "q900.comms", QtWarningMsg)

namespace {

constexpr char16_t SOH = 0x01;
constexpr char16_t STX = 0x02;
constexpr char16_t EOT = 0x04;
constexpr char16_t LF = 0x0A;

const char* kLongNoResponse =
    "Instrument not responding: Ensure communications cables are connected properly.";
const char* kShortNoResponse = "Instrument not responding";

bool IsLinPointExecute(int reg)
{
    return reg >= 0x0104 && reg <= 0x010D;
}

bool IsLinPointWeight(int reg)
{
    return reg >= 0x0114 && reg <= 0x011D;
}

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

QString PermissionAdvice(const QString& path)
{
    const QString group = QFileInfo(path).group();
    return QStringLiteral("\r\nThe device belongs to the group \"%1\"; add your user to it "
                          "(for example: sudo usermod -aG %1 $USER) and log in again.")
        .arg(group.isEmpty() ? QStringLiteral("dialout") : group);
}

} // namespace

TCommsEngine::TCommsEngine(TRingNetwork& ring, IUserPrompts& prompts, QObject* parent)
    : QObject(parent), m_ring(ring), m_prompts(prompts)
{
    connect(&m_port, &QSerialPort::readyRead, this, &TCommsEngine::ComPortTriggerAvail);
    connect(&m_port, &QSerialPort::errorOccurred, this, &TCommsEngine::OnPortError);
    m_timer1.setInterval(100);
    m_tmrComms.setInterval(1000);
    connect(&m_timer1, &QTimer::timeout, this, &TCommsEngine::Timer1Timer);
    connect(&m_tmrComms, &QTimer::timeout, this, &TCommsEngine::TmrCommsTimer);
    m_timer1.start();
    m_tmrComms.start();
}

TCommsEngine::~TCommsEngine()
{
    Close();
}

QString TCommsEngine::Open(const TLineSettings& settings)
{
    Close();
    m_port.setPortName(settings.portName);
    if (!m_port.open(QIODevice::ReadWrite)) {
        QString message = QStringLiteral("Cannot open %1: %2").arg(settings.portName,
                                                                   m_port.errorString());
        if (m_port.error() == QSerialPort::PermissionError)
            message += PermissionAdvice(settings.portName);
        return message;
    }
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

void TCommsEngine::ClearBuffers()
{
    RxBuffer.clear();
    EchoBuffer.clear();
}

// A waiting request must not outlive its port: ending the attempt lets its loop see it.
void TCommsEngine::EndWaitOnLoss()
{
    if (WaitState == 1)
        WaitState = 2;
    TimeoutTicks = 0;
    PollTicks = 0;
}

void TCommsEngine::OnPortError(QSerialPort::SerialPortError error)
{
    if (error != QSerialPort::ResourceError)
        return;
    const QString message = QStringLiteral("The connection to %1 was lost: %2")
                                .arg(m_port.portName(), m_port.errorString());
    qCWarning(lcComms) << message;
    m_port.clearError();
    Close();
    if (Hooks.portLost)
        Hooks.portLost(message);
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
    if (Hooks.sentText)
        Hooks.sentText(framed);
    if (Hooks.echoTraffic)
        Hooks.echoTraffic(QStringLiteral(">>>") + framed);
}

void TCommsEngine::ComPortTriggerAvail()
{
    // A message box shown by a handler pumps events; characters that arrive meanwhile wait
    // in the port so they are taken in order once the outer call goes on.
    if (m_receiving)
        return;
    m_receiving = true;
    while (m_port.isOpen() && m_port.bytesAvailable() > 0) {
        const QByteArray chunk = m_port.readAll();
        for (char byte : chunk)
            ReceiveChar(QChar(static_cast<uchar>(byte)));
    }
    m_receiving = false;
}

void TCommsEngine::ReceiveChar(QChar c)
{
    EchoBuffer += c;
    const char16_t u = c.unicode();
    if (m_ring.RingMode()) {
        if (u == TRingNetwork::DC4) {
            TmrCommsTimer();
            const QString frame = RxBuffer;
            RxBuffer.clear();
            if (!frame.isEmpty())
                if (const auto reply = m_ring.ExtractReply(frame))
                    HandleMessage(*reply);
        } else {
            RxBuffer += c;
            if (RxBuffer.size() > kMaxMessage)
                RxBuffer.clear();
        }
        return;
    }
    if (u == SOH || u == STX) {
        RxBuffer.clear();
    } else if (u == LF || u == EOT) {
        TmrCommsTimer();
        QString text = RxBuffer;
        RxBuffer.clear();
        if (u == EOT) {
            if (!crc::CrcCheck(text))
                return; // a damaged message is dropped; the request times out and retries
            text.chop(4);
        }
        if (!text.isEmpty())
            HandleMessage(text);
    } else if (u >= 0x20 && u <= 0xFF) {
        RxBuffer += c;
        if (RxBuffer.size() > kMaxMessage)
            RxBuffer.clear();
    }
}

void TCommsEngine::HandleMessage(const QString& text)
{
    qCDebug(lcComms) << "<<<" << text;
    if (MessageRecord.Parse(text)) {
        DispatchByActivity();
        PollTicks = 0;
    }
    if (Hooks.receivedText)
        Hooks.receivedText(text);
    if (m_handler == Handler::Match)
        MatchReply(text);
    else
        IdleReply(text);
}

void TCommsEngine::DispatchByActivity()
{
    const Tcommsobj& m = MessageRecord;
    switch (Activity) {
    case ActDisplay:
    case ActCalibration:
        if (m.Register == 0x0009 && Hooks.displayData)
            Hooks.displayData(Activity, m.Data);
        break;
    case ActLog:
        if (Hooks.loggingActive && Hooks.loggingActive() && Hooks.logData)
            Hooks.logData(m.Data);
        break;
    case ActTest:
        if (WaitState == 0 && m.ErrorBit)
            ReportReplyError(m);
        break;
    case ActTransfer:
        if (Hooks.transferMessage)
            Hooks.transferMessage(m.Build());
        break;
    case ActClock:
        if (Hooks.clockText) {
            if (m.ErrorBit)
                Hooks.clockText(QString());
            else if (m.Register == 0x0150)
                Hooks.clockText(m.Data);
        }
        break;
    default:
        break;
    }
}

void TCommsEngine::IdleReply(const QString&)
{
    WaitState = 0;
}

void TCommsEngine::MatchReply(const QString& text)
{
    if (!ReplyRecord.Parse(text) || ReplyRecord.Register != RequestRecord.Register)
        return;
    WaitState = 2;
    const int reg = ReplyRecord.Register;
    if (ReportErrors && ReplyRecord.ErrorBit) {
        if (IsLinPointExecute(reg) || IsLinPointWeight(reg)) {
            if ((reg == 0x0104 || reg == 0x0114) && Hooks.linPointError)
                Hooks.linPointError(reg);
        } else {
            ReportReplyError(ReplyRecord);
        }
        return;
    }
    if (IsLinPointWeight(reg) && Hooks.linPointReply)
        Hooks.linPointReply(reg);
}

void TCommsEngine::ReportReplyError(const Tcommsobj& record)
{
    if (Hooks.readingMenu && Hooks.readingMenu())
        return;
    const Tcommsobj copy = record; // the box pumps events, which may reuse the record
    m_prompts.Inform(copy.ErrorReport());
}

void TCommsEngine::PumpWhile(const std::function<bool()>& condition)
{
    while (condition())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// One attempt: send the request and sleep until its reply, its time-out or the port's loss.
bool TCommsEngine::WaitForReply(int ticks)
{
    TimeoutTicks = ticks;
    WaitState = 1;
    SendRaw(RequestRecord.Build(), false);
    PumpWhile([this] { return WaitState == 1 && IsOpen(); });
    return IsOpen() && TimeoutTicks != 0;
}

// Attempts until a reply (an error reply included) is accepted, the retries are used up or
// the port goes away; true when a reply was accepted.
bool TCommsEngine::RequestWithRetries(int ticks)
{
    RetriesLeft = 2;
    while (!WaitForReply(ticks)) {
        if (!IsOpen() || RetriesLeft == 0)
            return false;
        --RetriesLeft;
    }
    return true;
}

bool TCommsEngine::SendCommand(int command, int reg, bool reportErrors, bool wait,
                               const QString& data)
{
    if (m_busy) {
        qCWarning(lcComms) << "request refused while another one waits:" << Qt::hex << reg;
        return false;
    }
    m_busy = true;
    WaitState = 2;
    ReportErrors = reportErrors;
    bool result = false;
    if (IsOpen()) {
        PumpWhile([this] { return PollTicks > 0 && IsOpen(); });
        m_handler = wait ? Handler::Match : Handler::Idle;
        RequestRecord.Clear();
        RequestRecord.RequestBit = true;
        RequestRecord.Address = InstrumentAddress;
        RequestRecord.Data = data;
        RequestRecord.Command = command;
        RequestRecord.Register = reg;
        result = IsOpen();
        if (!wait) {
            SendRaw(RequestRecord.Build(), false);
        } else if (RequestWithRetries(kSendTicks)) {
            NoResponseCount = 0;
            result = !ReplyRecord.ErrorBit;
        } else {
            result = false;
        }
    }
    WaitState = 0;
    m_handler = Handler::Idle;
    m_busy = false;
    return result;
}

QString TCommsEngine::Transact(const QString& request)
{
    if (m_busy) {
        qCWarning(lcComms) << "request refused while another one waits:" << request;
        return {};
    }
    m_busy = true;
    WaitState = 2;
    ReportErrors = true;
    QString result;
    if (IsOpen()) {
        PumpWhile([this] { return PollTicks > 0 && IsOpen(); });
        m_handler = Handler::Match;
        const bool parsed = RequestRecord.Parse(request);
        RequestRecord.Address = InstrumentAddress;
        if (parsed && RequestWithRetries(kTransactTicks)) {
            result = ReplyRecord.Build();
            if (!ReplyRecord.ErrorBit)
                NoResponseCount = 0;
        }
    }
    WaitState = 0;
    m_handler = Handler::Idle;
    m_busy = false;
    return result;
}

void TCommsEngine::WaitTicks(int n)
{
    DelayTicks = n;
    PumpWhile([this] { return DelayTicks > 0; });
}

void TCommsEngine::Timer1Timer()
{
    if (DelayTicks > 0)
        --DelayTicks;
    if (!IsOpen())
        return;
    if (WaitState == 0 && PollTicks == 0 && !m_busy) {
        if (KeepAlivePending && Activity != ActTest) {
            SendCommand(0x12, 0x00E2, false, false, QStringLiteral("FF"));
            KeepAlivePending = false;
        } else if (Activity == ActDisplay || Activity == ActCalibration) {
            SendCommand(0x11, 0x0009, false, false);
        } else if (Activity == ActClock) {
            SendCommand(0x11, 0x0150, false, false);
        }
        PollTicks = kPollTicks;
    }
    if (PollTicks > 0) {
        --PollTicks;
        if (PollTicks == 0 && Hooks.blankMimics)
            Hooks.blankMimics();
    }
    if (TimeoutTicks > 0) {
        --TimeoutTicks;
        if (TimeoutTicks == 0 && WaitState == 1) {
            WaitState = 2; // ends the requester's wait once any message box below is closed
            if (RetriesLeft == 0)
                ShowNoResponse();
        }
    }
}

void TCommsEngine::ShowNoResponse()
{
    const int shown = NoResponseCount;
    NoResponseCount = std::min(NoResponseCount + 1, 2);
    if (shown == 0) {
        if (OpticalLink)
            m_prompts.ShowOpticalPrompt();
        else
            m_prompts.Inform(QString::fromLatin1(kLongNoResponse));
    } else if (shown == 1) {
        m_prompts.Inform(QString::fromLatin1(kShortNoResponse));
    }
}

void TCommsEngine::TmrCommsTimer()
{
    if (EchoBuffer.isEmpty())
        return;
    const QString text = EchoBuffer;
    EchoBuffer.clear();
    if (Hooks.echoTraffic)
        Hooks.echoTraffic(text);
}
