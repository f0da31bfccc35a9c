#include "simulatorprocess.h"

#include <QDeadlineTimer>

#include <csignal>
#include <sys/prctl.h>

TSimulatorProcess::~TSimulatorProcess()
{
    Stop();
}

QString TSimulatorProcess::Start(const QString& program, const QStringList& arguments,
                                 int timeoutMs)
{
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.setStandardErrorFile(QProcess::nullDevice());
    // The simulator must not outlive a viewer that was killed.
    m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    m_process.start(program, arguments);
    if (!m_process.waitForStarted(timeoutMs))
        return QStringLiteral("Cannot start the simulated instrument %1: %2")
            .arg(program, m_process.errorString());
    const QDeadlineTimer deadline(timeoutMs);
    while (!m_process.canReadLine() && !deadline.hasExpired() &&
           m_process.state() == QProcess::Running)
        m_process.waitForReadyRead(static_cast<int>(deadline.remainingTime()));
    m_devicePath = QString::fromLocal8Bit(m_process.readLine()).trimmed();
    if (m_devicePath.isEmpty()) {
        Stop();
        return QStringLiteral("The simulated instrument %1 did not report its device.")
            .arg(program);
    }
    return {};
}

void TSimulatorProcess::Stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(2000)) {
        m_process.kill();
        m_process.waitForFinished(1000);
    }
}
