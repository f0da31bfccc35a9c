#include "connection.h"

#include "protocol.h"

#include <QFileInfo>

using namespace protocol;

TConnection::TConnection(IUserPrompts& prompts, QObject* parent)
    : QObject(parent), m_engine(m_ring, prompts, this), m_device(m_ring)
{
    m_device.OnTransact = [this](const QString& request) { return m_engine.Transact(request); };
    // Reading a menu's child list probes entries that may not exist: no reports meanwhile.
    m_engine.SetReportGate([this] { return m_device.ReadingMenu != 1; });
    connect(&m_engine, &TCommsEngine::ReplyAccepted, this, [this](const Tcommsobj& reply) {
        if (!reply.ErrorBit && reg::IsLinWeight(reply.Register))
            m_device.LinPointCount = std::min(
                std::max(m_device.LinPointCount, reply.Register - (reg::LinWeightFirst - 1)), 10);
    });
    connect(&m_engine, &TCommsEngine::PortLost, this, &TConnection::OnPortLost);
    m_retry.setInterval(kRetryMs);
    connect(&m_retry, &QTimer::timeout, this, &TConnection::Retry);
}

TConnection::~TConnection()
{
    m_engine.Close();
}

QString TConnection::Open(const TPortChoice& choice)
{
    if (!serialports::RingAllowed(choice.cable, choice.address))
        return serialports::RingAnyMessage();
    m_retry.stop();
    m_engine.Close();
    const int address = serialports::AddressFor(choice);
    m_engine.SetOpticalLink(choice.cable == TPortChoice::OpticalLink);
    m_engine.SetInstrumentAddress(address);
    m_ring.SetRingMode(choice.cable == TPortChoice::RS232Ring);
    m_device.SetAddress(address);
    const QString error = m_engine.Open(serialports::LineSettingsFor(choice));
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
    m_engine.Close();
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
    m_device.ClearAll();
    m_device.ReadIdentity();
    emit IdentityChanged();
}

QString TConnection::IdentityText() const
{
    if (WaitingForPort())
        return QStringLiteral("%1 - waiting for it to return").arg(m_lostMessage);
    if (m_device.SerialNumber.isEmpty())
        return {};
    return QStringLiteral("Adr:%1, SN:%2, %3 Version:%4")
        .arg(m_ring.LocalAddress())
        .arg(m_device.SerialNumber, m_device.ModelVariant, m_device.SoftwareVersion);
}
