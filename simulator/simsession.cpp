#include "simsession.h"

void TSimSession::Update(qint64 nowMs)
{
    if (AnyOpen() && m_timeoutMs > 0 && nowMs - m_lastKeepAlive > m_timeoutMs) {
        LockAll();
        m_timedOut = true;
    }
}

void TSimSession::Enter(Level level, bool right, qint64 nowMs)
{
    Update(nowMs);
    if (level == Full)
        m_full = right;
    else
        m_safe = right;
    if (right) {
        m_timedOut = false;
        m_lastKeepAlive = nowMs;
    }
}

bool TSimSession::KeepAlive(qint64 nowMs)
{
    Update(nowMs);
    if (!AnyOpen())
        return false;
    m_lastKeepAlive = nowMs;
    return true;
}

void TSimSession::End()
{
    LockAll();
    m_timedOut = false;
}

void TSimSession::LockAll()
{
    m_safe = false;
    m_full = false;
}

bool TSimSession::IsOpen(Level level) const
{
    // Full access includes everything Safe access may do.
    return level == Safe ? (m_safe || m_full) : m_full;
}
