#pragma once

#include "ctlcontext.h"
#include "exitcode.h"
#include "logsampler.h"
#include "logstream.h"

#include <QString>

class TLogRun;

// A logging run from the command line, as the Log tab records one: the instrument set up for
// logging, its weight text giving the decimals and units, log readings back to back with
// only those on the chosen rate kept, and every kept sample written to the CSV log file,
// flushed every second; a full disk stops nothing, the rows waiting until it has room. It
// ends after --seconds of samples or at Ctrl+C, the file complete.
class TLogCommand
{
public:
    // Beyond --seconds of samples, a run ends by the clock this much later in any case
    // (an instrument that went silent sends no sample that would end it).
    static constexpr int kGraceMs = 2000;

    explicit TLogCommand(TCtlContext& context) : m_context(context) {}

    [[nodiscard]] TExitCode Run();

private:
    // Decimals and units from the weight text, as the Log tab takes them.
    [[nodiscard]] bool ReadWeightText(TLogRun& run);
    void Sample(const QString& data);
    [[nodiscard]] TExitCode Record(TLogRun& run);
    void TellBehind(const TLogFileResult& flushed);
    void Report(bool linkOk, qsizetype rows);

    TCtlContext& m_context;
    TLogSampler m_sampler;
    TLogStream m_stream;
    int m_decimals = 0;
    QString m_units;
    qsizetype m_readings = 0;
    bool m_enough = false; // --seconds of samples are in
    QString m_behind;      // why rows wait in memory for the disk
    QString m_trouble;     // why the file could not be finished
};
