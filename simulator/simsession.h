#pragma once

#include <QtGlobal>

// The instrument's security levels and its setup session: Safe and Full access opened by
// their passcodes, kept open by keep-alives and closed again when they stop.
class TSimSession
{
public:
    enum Level
    {
        Safe = 1,
        Full = 2
    };

    explicit TSimSession(qint64 timeoutMs) : m_timeoutMs(timeoutMs) {}

    // Closes the session when the last keep-alive is older than the time-out.
    void Update(qint64 nowMs);
    // A right passcode opens its level; a wrong one closes it.
    void Enter(Level level, bool right, qint64 nowMs);
    // False when no session is open to keep alive.
    bool KeepAlive(qint64 nowMs);
    void End();
    void LockAll();

    [[nodiscard]] bool IsOpen(Level level) const;
    [[nodiscard]] bool AnyOpen() const { return m_safe || m_full; }
    // Set from a time-out until the next passcode or session end, so requests can say why.
    [[nodiscard]] bool TimedOut() const { return m_timedOut; }

private:
    qint64 m_timeoutMs;
    qint64 m_lastKeepAlive = 0;
    bool m_safe = false;
    bool m_full = false;
    bool m_timedOut = false;
};
