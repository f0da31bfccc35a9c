#include "statuswait.h"

#include "calentry.h"
#include "protocol.h"

TStatusWait::TStatusWait(Read read, QObject* parent) : QObject(parent), m_read(std::move(read)) {}

QString TStatusWait::Progress() const
{
    return QStringLiteral("Calibrating: waiting for the instrument");
}

// Tick by tick, so that a cancel ends the wait within a tick, not half a second.
ILinkJob::TStep TStatusWait::Step()
{
    if (m_cancelled)
        return EndWith(TEnd::Cancelled);
    if (++m_ticks < kPauseTicks)
        return TStep::More;
    m_ticks = 0;
    const std::optional<uint32_t> status = m_read();
    ++m_reads;
    if (!status)
        return EndWith(TEnd::ReadFailed);
    m_status = *status;
    const bool busy = (m_status & protocol::status::CalibrationBusy) != 0;
    m_left = busy ? kQuietReadings : m_left - 1;
    emit StatusRead(m_status, busy, m_left);
    if (calentry::ResultCode(m_status) != 0)
        return EndWith(TEnd::ResultCode);
    return m_left > 0 ? TStep::More : EndWith(TEnd::Finished);
}

ILinkJob::TStep TStatusWait::EndWith(TEnd end)
{
    m_end = end;
    return TStep::Done;
}

void TStatusWait::Ended(TJobEnd end)
{
    if (!m_end)
        m_end = end == TJobEnd::LinkLost ? TEnd::ReadFailed : TEnd::Cancelled;
    emit Finished(*m_end);
}
