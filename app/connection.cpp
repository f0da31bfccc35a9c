#include "connection.h"

#include <QFileInfo>

TConnection::TConnection(IUserPrompts& prompts, QObject* parent)
    : QObject(parent), m_link(prompts, nullptr, this)
{
    connect(&m_link, &TInstrumentLink::Lost, this, &TConnection::OnPortLost);
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

// A pulled adapter, a restarted simulator: when the device is there again, it is reopened
// with the settings it had, and the pages carry on as after a connection.
void TConnection::Retry()
{
    if (!QFileInfo::exists(m_choice.portName))
        return;
    const TPortChoice choice = m_choice;
    if (!Open(choice).isEmpty())
        m_retry.start(); // not ready yet: keep waiting
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
