#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// The simulated instrument as a child process on a pseudo-terminal of its own: started
// for `viewer --simulator` and ended with the program.
class TSimulatorProcess
{
public:
    TSimulatorProcess() = default;
    ~TSimulatorProcess();
    TSimulatorProcess(const TSimulatorProcess&) = delete;
    TSimulatorProcess& operator=(const TSimulatorProcess&) = delete;

    // Starts `program` with `arguments` and waits for the device path it prints first;
    // an error text, or empty with the path in DevicePath().
    [[nodiscard]] QString Start(const QString& program, const QStringList& arguments,
                                int timeoutMs = 5000);
    void Stop();
    [[nodiscard]] QString DevicePath() const { return m_devicePath; }

private:
    QProcess m_process;
    QString m_devicePath;
};
