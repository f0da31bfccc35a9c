#include "statuswait.h"

#include "calentry.h"
#include "protocol.h"

TStatusWait::TStatusWait(Pause pause, Read read, QObject* parent)
    : QObject(parent), m_pause(std::move(pause)), m_read(std::move(read))
{
}

TStatusWait::TEnd TStatusWait::Run()
{
    m_left = kQuietReadings;
    while (m_left > 0) {
        if (!PauseUnlessCancelled())
            return TEnd::Cancelled;
        const std::optional<uint32_t> status = m_read();
        ++m_reads;
        if (!status)
            return TEnd::ReadFailed;
        m_status = *status;
        const bool busy = (m_status & protocol::status::CalibrationBusy) != 0;
        m_left = busy ? kQuietReadings : m_left - 1;
        emit StatusRead(m_status, busy, m_left);
        if (calentry::ResultCode(m_status) != 0)
            return TEnd::ResultCode;
    }
    return TEnd::Finished;
}

// The pause goes tick by tick so that a cancel ends it within a tick, not half a second.
bool TStatusWait::PauseUnlessCancelled()
{
    for (int tick = 0; tick < kPauseTicks && !m_cancelled; ++tick)
        m_pause(1);
    return !m_cancelled;
}
