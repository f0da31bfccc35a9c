#pragma once

#include <QByteArray>
#include <QObject>
#include <QSocketNotifier>
#include <QString>

#include <memory>

class TSimPty;

// Commands typed on q900sim's standard input, so that a technician can put a load on the
// simulated scale while the viewer watches: "load KG [ADDRESS]", "unload [ADDRESS]",
// "status". Answers go to standard error; standard output carries only the device line.
class TConsoleCommands : public QObject
{
    Q_OBJECT

public:
    explicit TConsoleCommands(TSimPty& simulator, QObject* parent = nullptr);

    // The answer to one command line, as printed.
    QString Execute(const QString& line);

private:
    void ReadInput();

    TSimPty& m_simulator;
    std::unique_ptr<QSocketNotifier> m_notifier;
    QByteArray m_partial;
};
