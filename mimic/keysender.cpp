#include "keysender.h"

#include "instrumentlink.h"
#include "protocol.h"

using namespace protocol;

namespace {

TRequest KeyPress(const QString& data)
{
    return TRequest::Write(reg::KeyPress, data).Reporting();
}

} // namespace

TKeySender::TKeySender(TInstrumentLink& link, QObject* parent) : QObject(parent), m_link(link) {}

bool TKeySender::Send(const QString& data)
{
    if (!m_pending.empty() || m_link.Engine().Busy()) {
        Queue(data);
        return true;
    }
    const TReply result = m_link.SendCommand(KeyPress(data));
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
            connect(&m_link.Engine(), &TCommsEngine::RequestEnded, this, &TKeySender::SendPending);
}

void TKeySender::SendPending()
{
    while (!m_pending.empty() && !m_link.Engine().Busy() && m_link.IsOpen()) {
        const QString data = m_pending.front();
        m_pending.pop_front();
        const TReply result = m_link.SendCommand(KeyPress(data));
        if (result.outcome == TOutcome::Refused) {
            m_pending.push_front(data);
            return;
        }
    }
    if (!m_link.IsOpen())
        m_pending.clear(); // keys for a link that has gone mean nothing to the next one
    if (m_pending.empty()) {
        disconnect(m_listening);
        m_listening = {};
    }
}
