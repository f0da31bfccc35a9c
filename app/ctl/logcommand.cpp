#include "logcommand.h"

#include "activityguard.h"
#include "console.h"
#include "ctloptions.h"
#include "ctloutput.h"
#include "instrumentlink.h"
#include "logrun.h"
#include "tools.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

constexpr int kFlushMs = 1000;
constexpr double kTimeSlack = 1e-6;    // sample times are sums of 40 ms ticks
constexpr qsizetype kUnitsFromEnd = 4; // the unit's two characters: "12.5 kg G"

} // namespace

TExitCode TLogCommand::Run()
{
    TLogRun run(m_context.link, [this](const QString& data) { Sample(data); });
    const TActivityGuard activity(m_context.link.Engine(), &run);
    run.Begin();
    if (m_context.interrupted || !run.Configure() || !ReadWeightText(run) ||
        m_context.interrupted) {
        if (m_context.interrupted) {
            m_context.console.Message(QStringLiteral("Stopped before the run began; "
                                                     "no file was written."));
            return TExitCode::Refused;
        }
        return exitcode::Worse(TExitCode::Refused, exitcode::For(m_context.link.LastOutcome()));
    }
    return Record(run);
}

bool TLogCommand::ReadWeightText(TLogRun& run)
{
    const std::optional<QString> text = run.ReadWeightText();
    if (!text || !run.Wanted())
        return false;
    m_decimals = std::clamp(tools::DecimalPlaces(*text), 0, 6);
    m_units = text->mid(std::max<qsizetype>(0, text->size() - kUnitsFromEnd), 2);
    return true;
}

TExitCode TLogCommand::Record(TLogRun& run)
{
    const TCtlOptions& options = m_context.options;
    m_sampler.SetSamplePeriod(logchannels::PeriodForRate(options.rate));
    TLogHeader header;
    header.units = m_units;
    for (int k = 1; k <= logchannels::DigitalCount; ++k) {
        m_sampler.SetSelection(k, options.channels[size_t(k - 1)]);
        header.selection[size_t(k - 1)] = options.channels[size_t(k - 1)];
    }
    m_sampler.SetDecimals(m_decimals);
    m_sampler.Restart();
    const TLogFileResult begun = m_stream.Begin(options.path, options.comment, header, m_decimals);
    if (!begun.ok) {
        m_context.console.Message(begun.message);
        return TExitCode::BadUsage;
    }
    QTimer flush;
    QObject::connect(&flush, &QTimer::timeout, [this] {
        TellBehind(m_stream.Flush());
        m_context.console.Progress(QStringLiteral("%1 samples").arg(m_stream.Rows()));
    });
    flush.start(kFlushMs);
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, [&run] { run.Stop(); });
    if (options.seconds)
        limit.start(static_cast<int>(std::ceil(*options.seconds * 1000.0)) + kGraceMs);
    QEventLoop loop;
    const bool looping = !m_context.interrupted && run.StartLoop(
                                                       [this, &run] {
                                                           if (m_enough)
                                                               run.Stop();
                                                       },
                                                       [&loop] { loop.quit(); });
    if (looping)
        loop.exec();
    const bool linkOk = looping && !run.LinkEnded();
    flush.stop();
    m_context.console.EndProgress();
    const qsizetype rows = m_stream.Rows();
    const TLogFileResult closed = m_stream.Close();
    if (!closed.ok)
        m_trouble = closed.message;
    Report(linkOk, rows);
    if (!m_trouble.isEmpty())
        return TExitCode::BadUsage;
    return linkOk && m_readings > 0 ? TExitCode::Done : TExitCode::NoAnswer;
}

void TLogCommand::Sample(const QString& data)
{
    ++m_readings;
    const std::optional<TLogPoint> point = m_sampler.Process(data);
    if (!point)
        return;
    const std::optional<double> seconds = m_context.options.seconds;
    // Times in the file count from 0 at the first sample: --seconds 2 at 10 Hz keeps 0.0..2.0.
    if (seconds && point->time > *seconds + kTimeSlack) {
        m_enough = true;
        return;
    }
    m_stream.Append(*point);
    if (seconds && point->time + m_sampler.SamplePeriod() > *seconds + kTimeSlack)
        m_enough = true;
}

// A full disk holds the run up nowhere: its rows wait in memory until the disk has room.
void TLogCommand::TellBehind(const TLogFileResult& flushed)
{
    const QString behind = flushed.ok ? QString() : flushed.message;
    if (behind == std::exchange(m_behind, behind))
        return;
    m_context.console.Message(behind.isEmpty()
                                  ? QStringLiteral("The log file has caught up.")
                                  : QStringLiteral("The log file is behind: %1. The run goes on; "
                                                   "its rows are written when the disk has room.")
                                        .arg(behind));
}

void TLogCommand::Report(bool linkOk, qsizetype rows)
{
    if (!m_trouble.isEmpty()) {
        m_context.console.Message(QStringLiteral("The log file could not be written: %1. It "
                                                 "ends at the last whole row the disk took.")
                                      .arg(m_trouble));
        return;
    }
    if (!linkOk)
        m_context.console.Message(QStringLiteral("The link ended the run."));
    else if (m_readings == 0)
        m_context.console.Message(QStringLiteral("The instrument sent no log readings."));
    const QString path = QDir::toNativeSeparators(m_stream.Path());
    m_context.output.Print({{QStringLiteral("file"), m_stream.Path()},
                            {QStringLiteral("samples"), static_cast<qint64>(rows)}},
                           QStringLiteral("Saved %1 samples to %2").arg(rows).arg(path));
}
