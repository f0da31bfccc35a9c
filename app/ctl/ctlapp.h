#pragma once

#include <QString>
#include <QStringList>

struct TCtlOptions;
struct TCtlContext;
struct TPortChoice;
class TConsole;

// The tool from its command line to its exit code: the options, the connection that the
// viewer's saved [Comms] settings and the options make, and the command run on it.
class TCtlApp
{
public:
    // `programDir`: the tool's folder, where the viewer's config.ini is looked for.
    explicit TCtlApp(const QString& programDir) : m_programDir(programDir) {}

    [[nodiscard]] int Run(const QStringList& arguments);

private:
    // The passcode from Q900_PASSCODE when none was given; false for one that is not digits.
    [[nodiscard]] static bool TakeEnvironmentPasscode(TCtlOptions& options);
    [[nodiscard]] TPortChoice PortChoice(const TCtlOptions& options) const;
    // Why the connection cannot serve the command; empty when it can.
    [[nodiscard]] static QString ConnectionProblem(const TCtlOptions& options,
                                                   const TPortChoice& choice);
    [[nodiscard]] static int Dispatch(TCtlContext& context);

    QString m_programDir;
};
