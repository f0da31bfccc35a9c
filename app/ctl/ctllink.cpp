#include "ctllink.h"

#include "protocol.h"
#include "sessioncontroller.h"

using namespace protocol;

TCtlLink::TCtlLink(IUserPrompts& prompts, QObject* parent)
    : QObject(parent), m_engine(m_ring, prompts, this), m_device(m_ring)
{
    m_device.OnTransact = [this](const QString& request) { return Transact(request); };
    // Reading a menu's child list probes entries that may not exist: no reports meanwhile.
    m_engine.SetReportGate([this] { return m_device.ReadingMenu != 1; });
    connect(&m_engine, &TCommsEngine::ReplyAccepted, this, [this](const Tcommsobj& reply) {
        if (!reply.ErrorBit && reg::IsLinWeight(reply.Register))
            m_device.LinPointCount = std::min(
                std::max(m_device.LinPointCount, reply.Register - (reg::LinWeightFirst - 1)), 10);
    });
}

TCtlLink::~TCtlLink()
{
    m_engine.Close();
}

QString TCtlLink::Transact(const QString& request)
{
    if (m_keepAlive && m_sinceKeepAlive.elapsed() >= TSessionController::kKeepAliveMs) {
        // Not waited for: its reply names another register than the next request's.
        m_engine.SendCommand(cmd::WriteValue, reg::SessionControl, false, false,
                             QLatin1String(data::KeepAlive));
        m_sinceKeepAlive.start();
    }
    const QString reply = m_engine.Transact(request);
    const TOutcome outcome = m_engine.LastOutcome();
    if (outcome == TOutcome::NoReply || outcome == TOutcome::PortClosed)
        ++m_unanswered;
    return reply;
}

void TCtlLink::SetKeepAlive(bool on)
{
    m_keepAlive = on;
    m_sinceKeepAlive.start();
}

QString TCtlLink::Open(const TPortChoice& choice)
{
    m_engine.Close();
    m_engine.SetOpticalLink(choice.cable == TPortChoice::OpticalLink);
    m_ring.SetRingMode(choice.cable == TPortChoice::RS232Ring);
    SetAddress(serialports::AddressFor(choice));
    return m_engine.Open(serialports::LineSettingsFor(choice));
}

void TCtlLink::SetAddress(int address)
{
    m_engine.SetInstrumentAddress(address);
    m_device.SetAddress(address);
    m_device.ClearAll();
    m_device.FullAccess = false;
    m_device.LinPointCount = 0;
}
