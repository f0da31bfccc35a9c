#include "keysender.h"

#include "commsengine.h"
#include "protocol.h"

using namespace protocol;

TKeySender::TKeySender(TCommsEngine& engine, QObject* parent) : QObject(parent), m_engine(engine) {}

bool TKeySender::Send(const QString& data)
{
    if (!m_pending.empty() || m_engine.Busy()) {
        Queue(data);
        return true;
    }
    const TRequestResult result =
        m_engine.SendCommand(cmd::WriteValue, reg::KeyPress, true, true, data);
    if (result.outcome == TOutcome::Refused) {
        Queue(data);
        return true;
    }
    return result.Ok();
}

void TKeySender::Queue(const QString& data)
{
    m_pending.push_back(data);
    // The engine says when the link is free only to those listening.
    if (!m_listening)
        m_listening =
            connect(&m_engine, &TCommsEngine::RequestEnded, this, &TKeySender::SendPending);
}

void TKeySender::SendPending()
{
    while (!m_pending.empty() && !m_engine.Busy() && m_engine.IsOpen()) {
        const QString data = m_pending.front();
        m_pending.pop_front();
        const TRequestResult result =
            m_engine.SendCommand(cmd::WriteValue, reg::KeyPress, true, true, data);
        if (result.outcome == TOutcome::Refused) {
            m_pending.push_front(data);
            return;
        }
    }
    if (!m_engine.IsOpen())
        m_pending.clear(); // keys for a link that has gone mean nothing to the next one
    if (m_pending.empty()) {
        disconnect(m_listening);
        m_listening = {};
    }
}
