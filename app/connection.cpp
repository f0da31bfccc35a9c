#include "connection.h"

#include "networkaddress.h"

#include <QFileInfo>

TConnection::TConnection(IUserPrompts& prompts, QObject* parent)
    : QObject(parent), m_link(prompts, nullptr, this)
{
    connect(&m_link, &TInstrumentLink::Lost, this, &TConnection::OnPortLost);
    connect(&m_link, &TInstrumentLink::Opened, this, &TConnection::OnReopened);
    m_retry.setInterval(kRetryMs);
    connect(&m_retry, &QTimer::timeout, this, &TConnection::Retry);
}

TConnection::~TConnection()
{
    m_link.Close();
}

QString TConnection::Open(const TPortChoice& choice)
{
    if (!serialports::RingAllowed(choice.cable, choice.address))
        return serialports::RingAnyMessage();
    m_retry.stop();
    const QString error = m_link.Open(choice);
    if (!error.isEmpty())
        return error;
    m_choice = choice;
    emit Changed(true);
    AfterChange();
    return {};
}

void TConnection::Close()
{
    m_retry.stop();
    m_link.Close();
    emit Changed(false);
    AfterChange();
}

void TConnection::OnPortLost(const QString& message)
{
    const bool waiting = m_choice.reconnect;
    m_lostMessage = message;
    if (waiting)
        m_retry.start();
    emit Lost(message, waiting);
    emit Changed(false);
    AfterChange();
}

// A pulled adapter, a restarted simulator or device server: when the device is there again,
// it is reopened with the settings it had, and the pages carry on as after a connection. A
// network port is tried without waiting for the connection, so that the window stays at the
// user's hand while the server is away.
void TConnection::Retry()
{
    if (m_reopening)
        return;
    if (!networkaddress::IsNetworkName(m_choice.portName) && !QFileInfo::exists(m_choice.portName))
        return;
    m_reopening = true;
    m_link.BeginOpen(m_choice);
}

void TConnection::OnReopened(const QString& error)
{
    if (!std::exchange(m_reopening, false) || !error.isEmpty())
        return; // not ready yet: keep waiting
    m_retry.stop();
    emit Changed(true);
    AfterChange();
}

void TConnection::AfterChange()
{
    TDevice& device = m_link.Device();
    device.ClearAll();
    device.ReadIdentity();
    emit IdentityChanged();
}

QString TConnection::IdentityText() const
{
    if (WaitingForPort())
        return QStringLiteral("%1 - waiting for it to return").arg(m_lostMessage);
    const TDevice& device = m_link.Device();
    if (device.SerialNumber.isEmpty())
        return {};
    return QStringLiteral("Adr:%1, SN:%2, %3 Version:%4")
        .arg(m_link.Address())
        .arg(device.SerialNumber, device.ModelVariant, device.SoftwareVersion);
}
