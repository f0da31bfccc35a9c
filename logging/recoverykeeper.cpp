#include "recoverykeeper.h"

namespace {

const char* const kTrouble = "Recovery file not written: %1. %2 the file catches up when the disk "
                             "has room.";
const char* const kRunning = "Recording goes on;";
const char* const kStopped = "The run is on the chart;";

} // namespace

TRecoveryKeeper::TRecoveryKeeper(const QString& folder, const ITraceSource& run, QObject* parent)
    : QObject(parent), m_recovery(folder), m_run(run)
{
    m_timer.setInterval(kFlushMs);
    connect(&m_timer, &QTimer::timeout, this, &TRecoveryKeeper::Flush);
}

void TRecoveryKeeper::Start(const QString& comment, const TLogHeader& header, int decimals)
{
    m_comment = comment;
    m_header = header;
    m_decimals = decimals;
    m_running = true;
    m_owned = false;
    const TLogFileResult begun = m_recovery.Begin(comment, header, decimals);
    m_owned = begun.ok;
    SetTrouble(begun.ok ? QString() : begun.message);
    m_timer.start();
}

void TRecoveryKeeper::Append(const TLogPoint& point)
{
    m_recovery.Append(point); // nothing while the file is not started: it starts with them all
}

void TRecoveryKeeper::Stop()
{
    m_running = false;
    Flush();
}

void TRecoveryKeeper::Discard()
{
    m_timer.stop();
    m_running = false;
    if (m_owned)
        m_recovery.Discard();
    m_owned = false;
    SetTrouble({});
}

// Runs from the timer, possibly inside a read of the run: it never asks anything.
void TRecoveryKeeper::Flush()
{
    TLogFileResult result;
    if (m_recovery.IsOpen()) {
        result = m_recovery.Flush();
    } else if (m_run.PointCount(traces::Weight) > 0) {
        result = m_recovery.Begin(m_comment, m_header, m_decimals, &m_run);
        m_owned = m_owned || result.ok;
    } else {
        result.ok = !m_running; // a run without samples needs no file
    }
    if (!result.message.isEmpty() || result.ok)
        SetTrouble(result.message);
    if (!m_running && result.ok) {
        (void)m_recovery.Close(); // all was written: nothing is left to fail
        m_timer.stop();
    }
}

void TRecoveryKeeper::SetTrouble(const QString& reason)
{
    const QString trouble = reason.isEmpty()
                                ? QString()
                                : QString::fromLatin1(kTrouble).arg(
                                      reason, QLatin1String(m_running ? kRunning : kStopped));
    if (trouble == m_trouble)
        return;
    m_trouble = trouble;
    emit TroubleChanged(trouble);
}
