#include "logfile.h"

#include "atomicfile.h"
#include "fixedtext.h"
#include "linecount.h"
#include "tools.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <optional>
#include <vector>

namespace logfile {

namespace {

constexpr char kLineEnd[] = "\r\n";
constexpr int kValueDecimals = 2; // times and digital values
constexpr qsizetype kWriteChunk = 1 << 20;
constexpr qsizetype kProgressRows = 1 << 14; // also the rows read from the traces at a time
constexpr int kUnitsLength = 2;
// Larger files are refused unread: 256 MB is a week of samples at 10 Hz, and the chart of a
// larger file would take gigabytes.
constexpr qint64 kMaxFileBytes = qint64(256) << 20;

// The largest weight a log reading carries: its 32-bit count, shown without decimals.
constexpr double kLargestValue = 2147483648.0;

// The comment and the header end up in labels; in a damaged file either could be megabytes
// long, so only their start is taken, far more than any the program writes.
constexpr qsizetype kMaxLineText = 1000;

QString LineText(QByteArrayView line)
{
    return QString::fromLatin1(line.first(std::min(line.size(), kMaxLineText)));
}

bool IsLineEnd(char c)
{
    return c == '\n' || c == '\r';
}

// Past the line end at `p` (CR LF, LF or a lone CR), if there is one.
const char* PastLineEnd(const char* p, const char* end)
{
    if (p != end)
        p += (*p == '\r' && p + 1 != end && p[1] == '\n') ? 2 : 1;
    return p;
}

// Cuts the next line off `rest`: lines end at CR LF, LF or a lone CR, and a line end at the
// very end of the text starts no further line.
QByteArrayView NextLine(QByteArrayView& rest)
{
    const char* begin = rest.data();
    const char* end = begin + rest.size();
    // One pass for either end: a search for the line feed first would run through the whole
    // rest of a file whose lines end in lone carriage returns, at every line.
    const char* p = begin;
    while (p != end && !IsLineEnd(*p))
        ++p;
    const QByteArrayView line(begin, p - begin);
    p = PastLineEnd(p, end);
    rest = QByteArrayView(p, end - p);
    return line;
}

// False for a number no run can give: beyond the largest weight a log reading carries, infinite
// or not a number ("1e308", "inf", "NaN"). Other texts that are no fixed-point number read as
// 0, as the format says.
bool Holdable(QByteArrayView field, double value, bool fixed)
{
    if (fixed)
        return std::fabs(value) <= kLargestValue;
    const char* begin = field.data() + (field.startsWith('+') ? 1 : 0);
    const char* end = field.data() + field.size();
    double read = 0.0;
    const auto [stop, error] = std::from_chars(begin, end, read);
    if (error == std::errc::invalid_argument || stop != end)
        return true; // no number at all
    return error == std::errc() && std::fabs(read) <= kLargestValue;
}

// Takes the next row off `rest` and adds its points; the first field it cannot hold, which
// adds none. The fields are read as the line is found, in one pass over its bytes: a week of
// rows takes well under a second.
std::optional<QByteArrayView> AddRow(QByteArrayView& rest, ITraceSink& sink)
{
    constexpr size_t kFields = 2 + logchannels::DigitalCount;
    static const auto baselines = [] {
        std::array<double, kFields> all{};
        for (int k = 1; k <= logchannels::DigitalCount; ++k)
            all[size_t(k + 1)] = logchannels::Baseline(k);
        return all;
    }();
    std::array<double, kFields> values{};
    std::array<bool, kFields> given{};
    const char* p = rest.data();
    const char* const end = p + rest.size();
    for (size_t n = 0; n < kFields; ++n) {
        bool fixed = false;
        const char* start = p;
        p = fixedtext::ReadField(start, end, values[n], fixed);
        const QByteArrayView field(start, p - start);
        given[n] = !field.isEmpty();
        if (given[n] && !Holdable(field, values[n], fixed))
            return field;
        if (p == end || *p != ',')
            break;
        ++p;
    }
    while (p != end && !IsLineEnd(*p)) // fields past the last channel's
        ++p;
    p = PastLineEnd(p, end);
    rest = QByteArrayView(p, end - p);
    if (given[1])
        sink.AddPoint(traces::Weight, values[0], values[1]);
    for (int k = 1; k <= logchannels::DigitalCount; ++k) {
        const auto n = size_t(k + 1);
        if (given[n])
            sink.AddPoint(k, values[0], values[n] + baselines[n]);
    }
    return std::nullopt;
}

// The unit between the brackets of "Weight(kg)": at most two characters, and a ")" closes it
// early so that "Weight()" reads as no unit.
QString UnitsOf(const QString& field)
{
    const qsizetype open = field.indexOf(u'(');
    if (open < 0)
        return {};
    const QString units = field.mid(open + 1, kUnitsLength);
    const qsizetype close = units.indexOf(u')');
    return close < 0 ? units : units.left(close);
}

void ReadHeader(const QString& line, TLogReadResult& result)
{
    if (tools::FieldAt(line, 1, u',') != QLatin1String("Time"))
        return;
    result.units = UnitsOf(tools::FieldAt(line, 2, u','));
    for (int k = 1; k <= logchannels::DigitalCount; ++k)
        result.labels[size_t(k - 1)] = tools::FieldAt(line, k + 2, u',');
}

// A row as it is written: a digital channel without a column is left out, one without a
// value leaves its field empty. Values of the channels are on the chart's axis, with their
// baselines.
struct TRow
{
    struct TField
    {
        bool column = false;
        std::optional<double> value;
    };
    double time = 0.0;
    double weight = 0.0;
    std::array<TField, logchannels::DigitalCount> digital;
};

// Put together in place and appended whole: a million rows go out in a fraction of a second.
void AppendRowText(QByteArray& out, const TRow& row, int decimals)
{
    std::array<char, (2 + logchannels::DigitalCount) * (fixedtext::MaxFixedLength + 1) + 2> text;
    char* p = fixedtext::WriteFixed(text.data(), row.time, kValueDecimals);
    *p++ = ',';
    p = fixedtext::WriteFixed(p, row.weight, decimals);
    for (int k = 1; k <= logchannels::DigitalCount; ++k) {
        const TRow::TField& field = row.digital[size_t(k - 1)];
        if (!field.column)
            continue;
        *p++ = ',';
        if (field.value)
            p = fixedtext::WriteFixed(p, *field.value - logchannels::Baseline(k), kValueDecimals);
    }
    p = std::copy_n(kLineEnd, 2, p);
    out.append(text.data(), p - text.data());
}

bool Report(const TLogProgress& progress, double fraction)
{
    return !progress || progress(fraction);
}

TLogFileResult Failure(const QString& message)
{
    return {false, false, message};
}

// The traces are left empty.
TLogReadResult GiveUp(ITraceSink& sink, TLogReadResult& result, const QString& message)
{
    sink.ClearTraces();
    sink.EndPoints();
    result.ok = false;
    result.message = message;
    return result;
}

TLogReadResult ReadFailure(const QString& message)
{
    TLogReadResult result;
    result.message = message;
    return result;
}

TLogReadResult BinaryRefused()
{
    // The rows of a binary file would all read as zeros; the traces are left as they were.
    TLogReadResult result;
    result.binary = true;
    result.message = QStringLiteral("it holds binary data");
    return result;
}

// Takes the comment and the header line off the front of `rest`; false when no row follows
// (a file of fewer than 3 lines).
bool TakeHead(QByteArrayView& rest, TLogReadResult& result)
{
    const QByteArrayView comment = NextLine(rest);
    const bool hasHeader = !rest.isEmpty();
    const QByteArrayView header = NextLine(rest);
    if (!hasHeader || rest.isEmpty())
        return false;
    result.headerRead = true;
    result.comment = LineText(comment);
    ReadHeader(LineText(header), result);
    QByteArrayView peek = rest;
    const QByteArrayView firstRow = NextLine(peek);
    result.decimals = tools::DecimalPlaces(tools::FieldAt(LineText(firstRow), 2, u','));
    return true;
}

// Where rows handed to TakeRows() lie in the whole file, for the progress.
struct TRowsPlace
{
    qint64 offset = 0;
    qint64 total = 0;
    const TLogProgress* progress = nullptr;
};

// Adds the rows of `rows`, whole lines but for the file's last. False when it gave up: the
// traces are emptied and `result` says why.
bool TakeRows(QByteArrayView rows, const TRowsPlace& place, ITraceSink& sink,
              TLogReadResult& result)
{
    const qint64 end = place.offset + rows.size();
    // A file that grew since it was opened would go past the whole.
    const auto done = [&] {
        return std::min(1.0, double(end - rows.size()) / double(place.total));
    };
    while (!rows.isEmpty()) {
        if (const std::optional<QByteArrayView> bad = AddRow(rows, sink)) {
            // A value beyond any reading would be drawn as 0, or stretch the chart to nothing.
            result =
                GiveUp(sink, result,
                       QStringLiteral("line %1 holds %2, which is no value a log file can hold")
                           .arg(result.rows + 3)
                           .arg(LineText(*bad)));
            return false;
        }
        if (++result.rows % kProgressRows == 0 && !Report(*place.progress, done())) {
            result.cancelled = true;
            result = GiveUp(sink, result, {});
            return false;
        }
    }
    return true;
}

// The length of the front of `text` that ends at a line end: what can be read without cutting
// a row in two. A carriage return as the very last byte waits, as its line feed may follow.
qsizetype WholeLinesLength(QByteArrayView text)
{
    const qsizetype feed = text.lastIndexOf('\n');
    if (feed >= 0)
        return feed + 1;
    return text.chopped(text.isEmpty() ? 0 : 1).lastIndexOf('\r') + 1;
}

// A log file read in pieces through one buffer, twice: first to count its lines and look for
// binary data, then for its rows. A mapping of the whole file cost a page fault for every few
// kilobytes of it, which took longer than reading the rows.
class TFileRows
{
public:
    TFileRows(QFile& file, ITraceSink& sink, const TLogProgress& progress)
        : m_file(file), m_sink(sink), m_progress(progress), m_total(file.size())
    {
    }

    TLogReadResult Read()
    {
        TLineCount count;
        do {
            m_buffer.resize(0); // keeps its room
            if (!Append())
                return ReadFailure(m_file.errorString());
            count.Add(m_buffer);
        } while (!m_ended);
        if (count.Binary())
            return BinaryRefused();
        m_sink.ClearTraces();
        TLogReadResult result;
        result.ok = true;
        if (!m_file.seek(0))
            return GiveUp(m_sink, result, m_file.errorString());
        m_buffer.resize(0);
        m_ended = false;
        if (!ReadHead(result))
            return result;
        m_sink.BeginPoints(count.Rows());
        while (m_head < m_buffer.size() || !m_ended) {
            const QByteArrayView rows = Whole().sliced(m_head);
            if (!TakeRows(rows, {m_offset + m_head, m_total, &m_progress}, m_sink, result))
                return result;
            Drop(m_head + rows.size());
            if (!m_ended && !Append())
                return GiveUp(m_sink, result, m_file.errorString());
        }
        m_sink.EndPoints();
        Report(m_progress, 1.0);
        return result;
    }

private:
    static constexpr qint64 kPiece = qint64(1) << 18;

    // Adds the next piece behind what the buffer holds; false when the file cannot be read.
    bool Append()
    {
        const qsizetype kept = m_buffer.size();
        if (m_buffer.capacity() < kept + kPiece) // a very long line grows it, in doublings
            m_buffer.reserve(std::max(2 * m_buffer.capacity(), kept + kPiece));
        m_buffer.resize(kept + kPiece);
        const qint64 got = m_file.read(m_buffer.data() + kept, kPiece);
        m_buffer.resize(kept + std::max<qint64>(got, 0));
        m_ended = got == 0;
        return got >= 0;
    }

    // What can be read now: the buffer's whole lines, or all of it at the file's end.
    QByteArrayView Whole() const
    {
        return QByteArrayView(m_buffer).first(m_ended ? m_buffer.size()
                                                      : WholeLinesLength(m_buffer));
    }

    // Reads until the comment, the header and the first row are whole, and takes the first two.
    bool ReadHead(TLogReadResult& result)
    {
        for (;;) {
            if (!Append()) {
                result = GiveUp(m_sink, result, m_file.errorString());
                return false;
            }
            QByteArrayView rest = Whole();
            QByteArrayView lines = rest;
            NextLine(lines);
            NextLine(lines);
            if (!lines.isEmpty() || m_ended) {
                const bool rows = TakeHead(rest, result);
                m_head = rest.data() - m_buffer.constData();
                return rows;
            }
        }
    }

    // Moved by hand: QByteArray::remove() would leave the room at the front, and the buffer
    // would soon be made again, each time on pages the system has yet to hand over.
    void Drop(qsizetype bytes)
    {
        char* data = m_buffer.data();
        std::memmove(data, data + bytes, size_t(m_buffer.size() - bytes));
        m_buffer.resize(m_buffer.size() - bytes);
        m_offset += bytes;
        m_head = 0;
    }

    QFile& m_file;
    ITraceSink& m_sink;
    const TLogProgress& m_progress;
    const qint64 m_total;
    QByteArray m_buffer;
    qint64 m_offset = 0;  // of the buffer's first byte in the file
    qsizetype m_head = 0; // bytes at the buffer's front already read
    bool m_ended = false;
};

} // namespace

QString WithDefaultExtension(const QString& path)
{
    return QFileInfo(path).fileName().contains(u'.') ? path : path + QStringLiteral(".CSV");
}

QByteArray HeaderLine(const TLogHeader& header, const ITraceSource& source)
{
    QByteArray line =
        header.live ? "Time,Weight(" + header.units.toLatin1() + ")," : "Time,Weight,";
    for (int k = 1; k <= logchannels::DigitalCount; ++k) {
        const size_t at = size_t(k - 1);
        const bool present = header.live ? header.selection[at] != 0 : source.PointCount(k) > 0;
        if (!present)
            continue;
        line += header.live ? QByteArray(logchannels::Channel(header.selection[at]).text)
                            : header.labels[at].toLatin1();
        if (k < logchannels::DigitalCount)
            line += ',';
    }
    return line;
}

void AppendRows(QByteArray& out, const ITraceSource& source, qsizetype first, qsizetype count,
                int decimals)
{
    count = std::clamp<qsizetype>(source.PointCount(traces::Weight) - first, 0, count);
    std::array<std::vector<TTracePoint>, traces::LogTraceCount> points;
    std::array<bool, traces::LogTraceCount> columns{};
    for (int k = 0; k < traces::LogTraceCount; ++k) {
        const qsizetype held = source.PointCount(k);
        columns[size_t(k)] = held > 0;
        points[size_t(k)].resize(size_t(std::clamp<qsizetype>(held - first, 0, count)));
        source.ReadPoints(k, first, points[size_t(k)]);
    }
    for (size_t n = 0; n < size_t(count); ++n) {
        TRow row{points[traces::Weight][n].time, points[traces::Weight][n].value, {}};
        for (int k = 1; k <= logchannels::DigitalCount; ++k) {
            const std::vector<TTracePoint>& digital = points[size_t(k)];
            row.digital[size_t(k - 1)] = {columns[size_t(k)], n < digital.size()
                                                                  ? std::optional(digital[n].value)
                                                                  : std::nullopt};
        }
        AppendRowText(out, row, decimals);
    }
}

void AppendRow(QByteArray& out, const ITraceSource& source, qsizetype i, int decimals)
{
    AppendRows(out, source, i, 1, decimals);
}

void AppendPointRow(QByteArray& out, const TLogPoint& point, int decimals)
{
    TRow row{point.time, point.weight, {}};
    for (size_t k = 0; k < row.digital.size(); ++k)
        row.digital[k] = {point.digital[k].has_value(), point.digital[k]};
    AppendRowText(out, row, decimals);
}

QByteArray CommentLine(const QString& comment)
{
    QByteArray line = comment.toLatin1();
    line.replace('\r', ' ').replace('\n', ' ');
    return line;
}

QByteArray LiveHead(const QString& comment, const TLogHeader& header)
{
    // Form A of the header needs no points.
    class TNoTraces : public ITraceSource
    {
    public:
        qsizetype PointCount(int) const override { return 0; }
        TTracePoint Point(int, qsizetype) const override { return {}; }
    };
    TLogHeader live = header;
    live.live = true;
    return CommentLine(comment) + kLineEnd + HeaderLine(live, TNoTraces()) + kLineEnd;
}

TLogFileResult Write(const QString& path, const QString& comment, const TLogHeader& header,
                     int decimals, const ITraceSource& source, const TLogProgress& progress)
{
    TAtomicFile file(path);
    const auto failed = [&] {
        return Failure(QStringLiteral("Cannot save %1: %2")
                           .arg(QDir::toNativeSeparators(path), file.ErrorString()));
    };
    if (!file.Open())
        return failed();
    QByteArray buffer;
    buffer.reserve(kWriteChunk + 256);
    buffer += CommentLine(comment) + kLineEnd;
    buffer += HeaderLine(header, source) + kLineEnd;
    const qsizetype rows = source.PointCount(traces::Weight);
    for (qsizetype i = 0; i < rows; i += kProgressRows) {
        AppendRows(buffer, source, i, kProgressRows, decimals);
        if (buffer.size() >= kWriteChunk) {
            if (!file.Write(buffer))
                return failed();
            buffer.resize(0); // keeps its room
        }
        const qsizetype done = i + kProgressRows;
        if (done <= rows && !Report(progress, double(done) / double(rows)))
            return {false, true, {}}; // the file gives up as it goes
    }
    if (!file.Write(buffer) || !file.Commit())
        return failed();
    Report(progress, 1.0);
    return {true, false, {}};
}

TLogReadResult Read(const QString& path, ITraceSink& sink, const TLogProgress& progress)
{
    const QString name = QDir::toNativeSeparators(path);
    // A pipe or a device would block the reader or never end.
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return ReadFailure(QStringLiteral("%1 is not a log file.").arg(name));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return ReadFailure(file.errorString());
    if (file.size() > kMaxFileBytes)
        return ReadFailure(QStringLiteral("%1 is too large for a log file (over %2 MB).")
                               .arg(name)
                               .arg(kMaxFileBytes >> 20));
    TLogReadResult result = TFileRows(file, sink, progress).Read();
    if (result.binary)
        result.message = QStringLiteral("%1 is not a log file: it holds binary data.").arg(name);
    else if (!result.ok && !result.cancelled)
        result.message = QStringLiteral("%1 is refused: %2.").arg(name, result.message);
    return result;
}

TLogReadResult Parse(QByteArrayView bytes, ITraceSink& sink, const TLogProgress& progress)
{
    TLineCount count;
    count.Add(bytes);
    TLogReadResult result;
    if (count.Binary())
        return BinaryRefused();
    sink.ClearTraces();
    result.ok = true;
    QByteArrayView rest = bytes;
    if (!TakeHead(rest, result))
        return result;
    sink.BeginPoints(count.Rows());
    const TRowsPlace place{bytes.size() - rest.size(), bytes.size(), &progress};
    if (TakeRows(rest, place, sink, result)) {
        sink.EndPoints();
        Report(progress, 1.0);
    }
    return result;
}

} // namespace logfile
