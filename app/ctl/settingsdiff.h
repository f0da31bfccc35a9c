#pragma once

#include "ctlcontext.h"
#include "exitcode.h"
#include "settingscompare.h"

#include <vector>

class TCtlOutput;

// Settings compared from the command line: two settings files, or the connected instrument,
// read as a backup reads it, against a file. Each difference on a line of its own (with --json
// one object each); the exit code says whether there was any.
class TSettingsDiff
{
public:
    explicit TSettingsDiff(TCtlContext& context) : m_context(context) {}

    // Two files: no instrument is asked anything.
    [[nodiscard]] static TExitCode Files(const TCtlOptions& options, TConsole& console,
                                         const TCtlOutput& output);
    // The file (first) against the instrument (second): what changed since the backup.
    [[nodiscard]] TExitCode Run();

private:
    [[nodiscard]] static TExitCode Report(const std::vector<TSettingDifference>& differences,
                                          const QString& firstName, const QString& secondName,
                                          const TCtlOutput& output);

    TCtlContext& m_context;
};
