#include "rfc2217transport.h"

#include <QLoggingCategory>
#include <QtEndian>

Q_DECLARE_LOGGING_CATEGORY(lcComms)

namespace {

// SET-CONTROL values: no flow control, DTR on, RTS off, as a serial port is opened.
constexpr uint8_t kNoFlowControl = 1;
constexpr uint8_t kDtrOn = 8;
constexpr uint8_t kRtsOff = 12;
// NOTIFY-LINESTATE bits worth a warning, and the mask asking for no others.
constexpr uint8_t kOverrun = 0x02;
constexpr uint8_t kParityError = 0x04;
constexpr uint8_t kFramingError = 0x08;
constexpr uint8_t kBreak = 0x10;
constexpr uint8_t kLineErrorMask = kOverrun | kParityError | kFramingError | kBreak;

QByteArray Command(uint8_t command, const QByteArray& value)
{
    return QByteArray(1, char(command)) + value;
}

QByteArray Byte(uint32_t value)
{
    return QByteArray(1, char(value));
}

QByteArray Baud(uint32_t baud)
{
    QByteArray value(4, '\0');
    qToBigEndian(baud, value.data());
    return value;
}

// Parity as RFC 2217 numbers it: 1 none, 2 odd, 3 even.
uint32_t ParityCode(int parity)
{
    return static_cast<uint32_t>(std::clamp(parity, 0, 2) + 1);
}

const char* ParityName(uint32_t code)
{
    static const char* names[] = {"no", "odd", "even", "mark", "space"};
    return code >= 1 && code <= 5 ? names[code - 1] : "unknown";
}

TTelnetCodec ComPortCodec()
{
    return TTelnetCodec(
        {TTelnetCodec::kComPort, TTelnetCodec::kBinary, TTelnetCodec::kSuppressGoAhead},
        {TTelnetCodec::kBinary, TTelnetCodec::kSuppressGoAhead});
}

} // namespace

TRfc2217Transport::TRfc2217Transport(TNetworkAddress address, TLineSettings line, QObject* parent)
    : TTcpTransport(std::move(address), parent), m_line(std::move(line)),
      m_telnet(Socket(), ComPortCodec())
{
    connect(&m_telnet, &TTelnetDevice::OptionsChanged, this, &TRfc2217Transport::OnOptionsChanged);
    connect(&m_telnet, &TTelnetDevice::Subnegotiated, this, &TRfc2217Transport::OnSubnegotiated);
}

void TRfc2217Transport::Close()
{
    m_telnet.close();
    m_settingsSent = false;
    for (auto& answer : m_answers)
        answer.reset();
    TTcpTransport::Close();
}

void TRfc2217Transport::Connected()
{
    m_lineErrors = 0;
    m_telnet.Start();
}

QString TRfc2217Transport::TimeoutReason() const
{
    return QStringLiteral("the server did not take up the COM port control of RFC 2217 within "
                          "%1 s; for a raw TCP port use tcp://%2:%3.")
        .arg(TimeoutSeconds())
        .arg(Address().host)
        .arg(Address().port);
}

void TRfc2217Transport::OnOptionsChanged()
{
    const TTelnetCodec& codec = m_telnet.Codec();
    if (codec.LocalRefused(TTelnetCodec::kComPort)) {
        Finish(Failure(QStringLiteral("the server refuses the COM port control of RFC 2217; "
                                      "for a raw TCP port use tcp://%1:%2.")
                           .arg(Address().host)
                           .arg(Address().port)));
        return;
    }
    if (codec.LocalOn(TTelnetCodec::kComPort) && !m_settingsSent)
        SendSettings();
}

void TRfc2217Transport::SendSettings()
{
    m_settingsSent = true;
    const auto send = [this](uint8_t command, const QByteArray& value) {
        m_telnet.SendSubnegotiation(TTelnetCodec::kComPort, Command(command, value));
    };
    send(kSetBaudRate, Baud(static_cast<uint32_t>(m_line.baud)));
    send(kSetDataSize, Byte(static_cast<uint32_t>(m_line.dataBits)));
    send(kSetParity, Byte(ParityCode(m_line.parity)));
    send(kSetStopSize, Byte(m_line.stopBits == 2 ? 2 : 1));
    send(kSetControl, Byte(kNoFlowControl));
    send(kSetControl, Byte(kDtrOn));
    send(kSetControl, Byte(kRtsOff));
    send(kSetLineStateMask, Byte(kLineErrorMask));
}

void TRfc2217Transport::OnSubnegotiated(uint8_t option, const QByteArray& payload)
{
    if (option != TTelnetCodec::kComPort || payload.isEmpty())
        return;
    const auto command = static_cast<uint8_t>(payload.at(0));
    const QByteArray value = payload.mid(1);
    if (command == kServerOffset + kSignature && value.isEmpty())
        m_telnet.SendSubnegotiation(TTelnetCodec::kComPort,
                                    Command(kSignature, QByteArrayLiteral("Q900 Viewer")));
    else if (command > kServerOffset + kSignature && command <= kServerOffset + kSetStopSize)
        TakeAnswer(command - kServerOffset, value);
    else
        Notify(command, value);
}

void TRfc2217Transport::TakeAnswer(uint8_t command, const QByteArray& value)
{
    if (value.isEmpty())
        return;
    m_answers[command - kSetBaudRate] = command == kSetBaudRate && value.size() >= 4
                                            ? qFromBigEndian<uint32_t>(value.constData())
                                            : static_cast<uint8_t>(value.at(0));
    for (const auto& answer : m_answers) {
        if (!answer)
            return;
    }
    Finish(Mismatch());
}

// What the server set otherwise than asked: a server whose line cannot take a setting
// answers with the one it kept.
QString TRfc2217Transport::Mismatch() const
{
    const uint32_t baud = static_cast<uint32_t>(m_line.baud);
    QString refused;
    if (*m_answers[0] != baud)
        refused = QStringLiteral("%1 baud (it set %2)").arg(baud).arg(*m_answers[0]);
    else if (*m_answers[1] != static_cast<uint32_t>(m_line.dataBits))
        refused =
            QStringLiteral("%1 data bits (it set %2)").arg(m_line.dataBits).arg(*m_answers[1]);
    else if (*m_answers[2] != ParityCode(m_line.parity))
        refused = QStringLiteral("%1 parity (it set %2 parity)")
                      .arg(QLatin1String(ParityName(ParityCode(m_line.parity))),
                           QLatin1String(ParityName(*m_answers[2])));
    else if (*m_answers[3] != (m_line.stopBits == 2 ? 2u : 1u))
        refused = QStringLiteral("%1 stop bits").arg(m_line.stopBits);
    if (refused.isEmpty())
        return {};
    return Failure(QStringLiteral("the server's serial port does not take %1.").arg(refused));
}

void TRfc2217Transport::Notify(uint8_t command, const QByteArray& value)
{
    const uint8_t state = value.isEmpty() ? 0 : static_cast<uint8_t>(value.at(0));
    switch (command) {
    case kServerOffset + kNotifyLineState:
        if (state & kLineErrorMask) {
            ++m_lineErrors;
            qCWarning(lcComms).noquote() << QStringLiteral("%1 reports a line error (state %2)")
                                                .arg(Name(), QString::number(state, 16));
        }
        break;
    case kServerOffset + kFlowControlSuspend:
        m_telnet.SetHeld(true);
        break;
    case kServerOffset + kFlowControlResume:
        m_telnet.SetHeld(false);
        break;
    default: // modem lines and answers to SET-CONTROL: the link needs none of them
        qCDebug(lcComms) << Name() << "COM port notification" << command << value.toHex();
        break;
    }
}
