#pragma once

#include "exitcode.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <vector>

class TConsole;
class TCtlOutput;
struct TCtlOptions;

// scan and backup --all on several ports at once: the tool runs itself once per port, each
// run with its own link, and ends with one summary of every instrument: port, address,
// serial number, file and result. One port failing never stops the others; the exit code is
// the worst of them. backup --all puts each port's files in a folder of its own.
class TFleetRun
{
public:
    // One line of the summary.
    struct TRow
    {
        QString port;
        int address = 0; // 0: no instrument was reached on the port
        QString serialNumber;
        QString file;
        QString result;
        TExitCode code = TExitCode::Done;
    };

    // `program`: this tool, run once per port.
    TFleetRun(const TCtlOptions& options, QString program, TConsole& console,
              const TCtlOutput& output);

    [[nodiscard]] TExitCode Run();

    // The folder of a port's files: "ttyUSB0", "pts-3", "tcp-10.0.0.5-4001".
    [[nodiscard]] static QString FolderName(const QString& port);
    // The rows of one port from what its run printed (--json) and how it ended; `message`:
    // its last message, the result of a port that reached no instrument.
    [[nodiscard]] static std::vector<TRow> Rows(const QString& port, const QJsonObject& printed,
                                                TExitCode code, const QString& message);
    // The summary as a table for people.
    [[nodiscard]] static QString Table(const std::vector<TRow>& rows);

private:
    struct TPortRun;

    [[nodiscard]] QStringList Arguments(const QString& port) const;
    [[nodiscard]] bool TakePasscode();
    void Forward(TPortRun& run, bool all);
    void Print(const std::vector<TRow>& rows) const;

    const TCtlOptions& m_options;
    QString m_program;
    TConsole& m_console;
    const TCtlOutput& m_output;
    QString m_passcode;
};
