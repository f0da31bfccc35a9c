#include "serialtransport.h"

#include <QFileInfo>
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcComms)

namespace {

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

TSerialTransport::TSerialTransport(TLineSettings settings, QObject* parent)
    : TTransport(parent), m_settings(std::move(settings))
{
    connect(&m_port, &QSerialPort::errorOccurred, this, &TSerialTransport::OnError);
}

TSerialTransport::~TSerialTransport()
{
    Close();
}

QString TSerialTransport::Open(const TLineSettings& settings)
{
    Close();
    m_path = settings.portName;
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
    return {};
}

void TSerialTransport::Close()
{
    if (m_port.isOpen())
        m_port.close();
}

void TSerialTransport::OnError(QSerialPort::SerialPortError error)
{
    // A device that went away shows as a resource error, or (a pseudo-terminal whose other
    // side closed) as reads and writes that fail again and again.
    if (error != QSerialPort::ResourceError && error != QSerialPort::ReadError &&
        error != QSerialPort::WriteError)
        return;
    const QString message =
        QStringLiteral("The connection to %1 was lost: %2").arg(m_path, LossReason(m_port));
    qCWarning(lcComms) << message;
    m_port.clearError();
    Close();
    emit Lost(message);
}
