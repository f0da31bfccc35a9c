#pragma once

#include "logsampler.h"
#include "traces.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <array>
#include <functional>

// The CSV log file: line 1 the log comment, line 2 the header, then one row per point of the
// weight trace (time, weight, one column per digital trace that has points). Latin-1 text,
// lines ended by CR LF, '.' as the decimal point, no quoting.

// What the header line says: form A after a live run (units, the selected channels' item
// texts), form B after a file was read (no units, the digital channel labels).
struct TLogHeader
{
    bool live = false;
    QString units;
    std::array<int, logchannels::DigitalCount> selection{};
    std::array<QString, logchannels::DigitalCount> labels;
};

struct [[nodiscard]] TLogFileResult
{
    bool ok = false;
    bool cancelled = false;
    QString message; // when not ok: what could not be written, and the system's reason
};

struct [[nodiscard]] TLogReadResult
{
    bool ok = false;
    bool cancelled = false;
    QString message;
    // Set when the file has 3 lines or more; only then do the fields below apply (with fewer
    // lines the traces are cleared and the comment, units and labels stay as they were).
    bool headerRead = false;
    QString comment;
    QString units;
    std::array<QString, logchannels::DigitalCount> labels;
    int decimals = 0; // of the weight in the first row
    qsizetype rows = 0;
    bool binary = false; // refused unread: it holds a NUL byte
};

// Told the fraction done (0..1) now and then; returning false cancels.
using TLogProgress = std::function<bool(double fraction)>;

namespace logfile {

// ".CSV" appended when the file name has no extension.
QString WithDefaultExtension(const QString& path);

// Line 2 without its line end, byte-exact.
QByteArray HeaderLine(const TLogHeader& header, const ITraceSource& source);
// Rows first .. first + count - 1 of the weight trace (those it has) with their line ends. A
// digital trace with points has a column; its field is empty where the trace has no point.
void AppendRows(QByteArray& out, const ITraceSource& source, qsizetype first, qsizetype count,
                int decimals);
void AppendRow(QByteArray& out, const ITraceSource& source, qsizetype i, int decimals);
// A live point as the row it becomes; columns for the channels it carries.
void AppendPointRow(QByteArray& out, const TLogPoint& point, int decimals);
// Line 1: the comment with any line break replaced by a blank, so the file keeps its lines.
QByteArray CommentLine(const QString& comment);
// Lines 1 and 2, line ends included, of a file written while a run records: the header names
// the run's channels (form A), as no trace holds points yet.
QByteArray LiveHead(const QString& comment, const TLogHeader& header);

// Replaces the file atomically: the old file stays when writing fails or is cancelled.
TLogFileResult Write(const QString& path, const QString& comment, const TLogHeader& header,
                     int decimals, const ITraceSource& source, const TLogProgress& progress = {});

// Reads a log file onto the traces. A file that cannot be opened, is no regular file, is over
// 256 MB or holds binary data (a NUL byte) leaves the traces alone, with the reason in
// `message`; otherwise they are cleared first. Unreadable numbers read as 0 and are still
// added, but a number no run can give (beyond the largest weight a reading carries, infinite,
// not a number) refuses the file, naming its line, and leaves the traces empty.
TLogReadResult Read(const QString& path, ITraceSink& sink, const TLogProgress& progress = {});
TLogReadResult Parse(QByteArrayView bytes, ITraceSink& sink, const TLogProgress& progress = {});

} // namespace logfile
