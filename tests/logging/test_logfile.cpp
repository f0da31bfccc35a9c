// The CSV log file: byte-exact headers and rows, the reader's rules, round trips, and the
// value texts it writes and reads straight from bytes.
#include "fixedtext.h"
#include "logfile.h"
#include "tools.h"
#include "tracestore.h"

#include <QFile>
#include <QTemporaryDir>

#include "printqstring.h"

#include <algorithm>
#include <cmath>

#include <gtest/gtest.h>

#include <random>

namespace {

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

TLogHeader LiveHeader(const QString& units, std::array<int, 4> selection)
{
    TLogHeader header;
    header.live = true;
    header.units = units;
    header.selection = selection;
    return header;
}

// A live run's traces: weight and the given digital channels (1..4) at their baselines.
TTraceStore LiveRun(const std::vector<double>& weights, std::initializer_list<int> channels)
{
    TTraceStore store;
    for (size_t i = 0; i < weights.size(); ++i) {
        const double time = double(i);
        store.AddPoint(traces::Weight, time, weights[i]);
        for (int k : channels)
            store.AddPoint(k, time, logchannels::Baseline(k) + double(i % 2));
    }
    return store;
}

class LogFileTest : public ::testing::Test
{
protected:
    QString Path(const QString& name) const { return m_dir.filePath(name); }

    TLogReadResult ReadText(const QByteArray& bytes, TTraceStore& store)
    {
        return logfile::Parse(bytes, store);
    }

    QTemporaryDir m_dir;
};

TEST_F(LogFileTest, HeaderFormANamesTheSelectedChannels)
{
    const TTraceStore none;
    const struct
    {
        std::array<int, 4> selection;
        const char* line;
    } cases[] = {
        {{1, 0, 0, 4}, "Time,Weight(kg),CofZ,Net"},
        {{1, 0, 3, 0}, "Time,Weight(kg),CofZ,Motion,"}, // channel 4 None: trailing comma
        {{0, 0, 0, 0}, "Time,Weight(kg),"},
        {{5, 6, 2, 3}, "Time,Weight(kg),Output 1,Output 2,Zero,Motion"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(logfile::HeaderLine(LiveHeader("kg", c.selection), none), c.line);
}

TEST_F(LogFileTest, HeaderFormBNamesTracesWithPointsByTheirLabelsWithoutUnits)
{
    TTraceStore store = LiveRun({1, 2}, {1, 3});
    TLogHeader header;
    header.units = QStringLiteral("kg");
    header.labels = {QStringLiteral("CofZ"), QStringLiteral("Zero"), QStringLiteral("Motion"),
                     QStringLiteral("Net")};
    EXPECT_EQ(logfile::HeaderLine(header, store), "Time,Weight,CofZ,Motion,");
    store.AddPoint(4, 0, 4.5);
    EXPECT_EQ(logfile::HeaderLine(header, store), "Time,Weight,CofZ,Motion,Net");
}

TEST_F(LogFileTest, WritesCommentHeaderAndRowsWithCrLf)
{
    TTraceStore store;
    store.AddPoint(traces::Weight, 0.0, 10.0);
    store.AddPoint(traces::Weight, 1.0, 12.34);
    store.AddPoint(1, 0.0, 0.0);
    store.AddPoint(1, 1.0, 1.0);
    store.AddPoint(4, 0.0, 5.5);
    store.AddPoint(4, 1.0, 4.5);
    const QString path = Path("run.CSV");
    const auto result = logfile::Write(path, QStringLiteral("Test, with comma"),
                                       LiveHeader("kg", {1, 0, 0, 4}), 2, store);
    ASSERT_TRUE(result.ok) << result.message.toStdString();
    EXPECT_EQ(FileBytes(path), "Test, with comma\r\n"
                               "Time,Weight(kg),CofZ,Net\r\n"
                               "0.00,10.00,0.00,1.00\r\n"
                               "1.00,12.34,1.00,0.00\r\n");
}

TEST_F(LogFileTest, WeightsUseTheDecimalsWithHalvesToEvenAndSixDecimals)
{
    const struct
    {
        double weight;
        int decimals;
        const char* field;
    } cases[] = {{2.5, 0, "2"},
                 {3.5, 0, "4"},
                 {-2.5, 0, "-2"},
                 {0.125, 2, "0.12"},
                 {12.34, 2, "12.34"},
                 {-1.0, 2, "-1.00"},
                 {1.234567, 6, "1.234567"},
                 {-0.000001, 6, "-0.000001"},
                 {500.0, 1, "500.0"}};
    for (const auto& c : cases) {
        TTraceStore store;
        store.AddPoint(traces::Weight, 0.5, c.weight);
        QByteArray row;
        logfile::AppendRow(row, store, 0, c.decimals);
        EXPECT_EQ(row, QByteArray("0.50,") + c.field + "\r\n") << c.weight;
    }
}

TEST_F(LogFileTest, ShortDigitalTraceWritesEmptyFieldsAndNeverReadsPastItsEnd)
{
    TTraceStore store = LiveRun({1, 2, 3}, {2});
    store.traces[2].pop_back();
    QByteArray rows;
    for (qsizetype i = 0; i < 3; ++i)
        logfile::AppendRow(rows, store, i, 0);
    EXPECT_EQ(rows, "0.00,1,0.00\r\n1.00,2,1.00\r\n2.00,3,\r\n");
}

TEST_F(LogFileTest, CommentLineBreaksBecomeBlanks)
{
    EXPECT_EQ(logfile::CommentLine(QStringLiteral("a\r\nb\nc")), "a  b c");
}

TEST_F(LogFileTest, FileOfTwoLinesOnlyClearsTheTraces)
{
    TTraceStore store = LiveRun({1, 2}, {1});
    const auto result = ReadText("comment\r\nTime,Weight(kg),CofZ\r\n", store);
    EXPECT_TRUE(result.ok);
    EXPECT_FALSE(result.headerRead);
    EXPECT_EQ(store.clears, 1);
    EXPECT_EQ(store.PointCount(traces::Weight), 0);
    EXPECT_EQ(store.PointCount(1), 0);
}

TEST_F(LogFileTest, ReadsCommentUnitsLabelsDecimalsAndRows)
{
    TTraceStore store;
    const auto result = ReadText("My run\r\n"
                                 "Time,Weight(kg),CofZ,Motion,\r\n"
                                 "0.00,12.340,1.00,0.00\r\n"
                                 "0.10,-1.5,0.00,1.00\r\n",
                                 store);
    ASSERT_TRUE(result.ok && result.headerRead);
    EXPECT_EQ(result.comment, "My run");
    EXPECT_EQ(result.units, "kg");
    EXPECT_EQ(result.labels, (std::array<QString, 4>{"CofZ", "Motion", "", ""}));
    EXPECT_EQ(result.decimals, 3);
    EXPECT_EQ(result.rows, 2);
    ASSERT_EQ(store.PointCount(traces::Weight), 2);
    EXPECT_DOUBLE_EQ(store.Point(0, 1).time, 0.1);
    EXPECT_DOUBLE_EQ(store.Point(0, 1).value, -1.5);
    // Columns 3 and 4 go to traces 1 and 2, on those traces' baselines.
    EXPECT_EQ(store.Point(1, 0).value, 1.0);
    EXPECT_EQ(store.Point(2, 1).value, 2.5);
    EXPECT_EQ(store.PointCount(3), 0);
}

TEST_F(LogFileTest, LowerCaseTimeEmptiesUnitsAndLabelsButRowsAreRead)
{
    TTraceStore store;
    const auto result = ReadText("c\r\ntime,Weight(kg),CofZ\r\n1.00,5,1.00\r\n", store);
    ASSERT_TRUE(result.headerRead);
    EXPECT_TRUE(result.units.isEmpty());
    EXPECT_TRUE(result.labels[0].isEmpty());
    EXPECT_EQ(store.PointCount(traces::Weight), 1);
    EXPECT_EQ(store.PointCount(1), 1);
}

TEST_F(LogFileTest, UnitsAreAtMostTwoCharactersInsideTheBrackets)
{
    const struct
    {
        const char* field;
        const char* units;
    } cases[] = {{"Weight(kg)", "kg"}, {"Weight( t)", " t"}, {"Weight(lbs)", "lb"},
                 {"Weight()", ""},     {"Weight(g)", "g"},   {"Weight", ""}};
    for (const auto& c : cases) {
        TTraceStore store;
        const auto result = ReadText(QByteArray("c\r\nTime,") + c.field + "\r\n0,0\r\n", store);
        EXPECT_EQ(result.units, c.units) << c.field;
    }
}

TEST_F(LogFileTest, UnreadableNumbersReadAsZeroAndEmptyWeightsAddNoPoint)
{
    TTraceStore store;
    const auto result = ReadText("c\r\nTime,Weight\r\n"
                                 "1.00,1.5e3\r\n"
                                 "2.00,,1.00,,0.00\r\n"
                                 "+3,7\r\n",
                                 store);
    ASSERT_TRUE(result.ok);
    ASSERT_EQ(store.PointCount(traces::Weight), 2);
    EXPECT_EQ(store.Point(0, 0).value, 0.0);
    EXPECT_EQ(store.Point(0, 1).time, 0.0) << "'+' makes the time unreadable";
    EXPECT_EQ(store.PointCount(1), 1);
    EXPECT_EQ(store.PointCount(2), 0);
    EXPECT_EQ(store.Point(3, 0).value, 3.0);
    EXPECT_EQ(store.Point(3, 0).time, 2.0);
}

// The traces are told the rows to come exactly, whatever the line ends, before they come; a
// line ends its last field, a text or fields past the last channel's.
TEST_F(LogFileTest, LineEndsMayBeLfOrLoneCr)
{
    for (const QByteArray& end : {QByteArray("\n"), QByteArray("\r"), QByteArray("\r\n")}) {
        for (const QByteArray& last : {QByteArray(), end}) {
            TTraceStore store;
            const QByteArray rows = "0,1,x" + end + end + "1,2,,,,1,more" + last;
            const auto result = ReadText("c" + end + "Time,Weight(kg)" + end + rows, store);
            EXPECT_EQ(result.units, "kg");
            EXPECT_EQ(store.PointCount(traces::Weight), 2);
            EXPECT_EQ(store.PointCount(1), 1); // "x" reads as 0
            ASSERT_EQ(store.PointCount(4), 1);
            EXPECT_EQ(store.Point(4, 0).value, 1.0 + logchannels::Baseline(4));
            EXPECT_EQ(result.rows, 3);
            EXPECT_EQ(store.rowsAhead, 3);
        }
    }
}

TEST_F(LogFileTest, RoundTripLiveThenReadThenFormB)
{
    TTraceStore live = LiveRun({0.5, -12.25, 500.75}, {1, 2, 3});
    const QString first = Path("live.csv");
    ASSERT_TRUE(
        logfile::Write(first, QStringLiteral("Prüfung 1"), LiveHeader("kg", {1, 3, 4, 0}), 2, live)
            .ok);
    const QList<QByteArray> liveLines = FileBytes(first).split('\n');
    ASSERT_EQ(liveLines.size(), 6);
    EXPECT_EQ(liveLines[0], "Pr\xFC"
                            "fung 1\r")
        << "Latin-1";
    EXPECT_EQ(liveLines[1], "Time,Weight(kg),CofZ,Motion,Net,\r");

    TTraceStore read;
    const auto result = logfile::Read(first, read);
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.comment, QStringLiteral("Prüfung 1"));
    EXPECT_EQ(result.decimals, 2);
    for (int trace = 0; trace < traces::LogTraceCount; ++trace) {
        ASSERT_EQ(read.PointCount(trace), live.PointCount(trace)) << trace;
        for (qsizetype i = 0; i < live.PointCount(trace); ++i) {
            EXPECT_DOUBLE_EQ(read.Point(trace, i).time, live.Point(trace, i).time);
            EXPECT_DOUBLE_EQ(read.Point(trace, i).value, live.Point(trace, i).value);
        }
    }

    TLogHeader again;
    again.units = QStringLiteral("kg"); // form B has no place for it
    again.labels = result.labels;
    const QString second = Path("again.csv");
    ASSERT_TRUE(logfile::Write(second, result.comment, again, result.decimals, read).ok);
    const QList<QByteArray> lines = FileBytes(second).split('\n');
    ASSERT_EQ(lines.size(), liveLines.size());
    EXPECT_EQ(lines[1], "Time,Weight,CofZ,Motion,Net,\r");
    for (qsizetype i = 2; i < lines.size(); ++i)
        EXPECT_EQ(lines[i], liveLines[i]) << "row " << i;
}

TEST_F(LogFileTest, FileThatCannotBeOpenedLeavesTheTracesAlone)
{
    TTraceStore store = LiveRun({1}, {});
    const auto result = logfile::Read(Path("missing.csv"), store);
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.message.isEmpty());
    EXPECT_EQ(store.clears, 0);
    EXPECT_EQ(store.PointCount(traces::Weight), 1);
}

TEST_F(LogFileTest, FailedOrCancelledWriteKeepsTheOldFile)
{
    const QString path = Path("keep.csv");
    WriteBytes(path, "old");
    TTraceStore store = LiveRun(std::vector<double>(100000, 1.0), {1});
    const auto cancelled = logfile::Write(path, {}, LiveHeader("kg", {1, 0, 0, 0}), 0, store,
                                          [](double fraction) { return fraction < 0.5; });
    EXPECT_FALSE(cancelled.ok);
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_EQ(FileBytes(path), "old");

    const auto failed = logfile::Write(Path("no/such/folder/x.csv"), {}, TLogHeader(), 0, store);
    EXPECT_FALSE(failed.ok);
    EXPECT_FALSE(failed.cancelled);
    EXPECT_FALSE(failed.message.isEmpty());
}

TEST_F(LogFileTest, CancelledReadLeavesTheTracesEmpty)
{
    QByteArray text = "c\r\nTime,Weight\r\n";
    for (int i = 0; i < 100000; ++i)
        text += "1.00,2\r\n";
    TTraceStore store;
    const auto result = logfile::Parse(text, store, [](double) { return false; });
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(store.PointCount(traces::Weight), 0);
}

TEST_F(LogFileTest, MillionRowsRoundTrip)
{
    TTraceStore live;
    for (int i = 0; i < 1000000; ++i) {
        live.AddPoint(traces::Weight, i * 0.1, (i % 2001) - 1000.0);
        for (int k = 1; k <= 4; ++k)
            live.AddPoint(k, i * 0.1, logchannels::Baseline(k) + (i >> k) % 2);
    }
    const QString path = Path("big.csv");
    ASSERT_TRUE(logfile::Write(path, {}, LiveHeader("kg", {1, 2, 3, 4}), 0, live).ok);
    TTraceStore read;
    const auto result = logfile::Read(path, read);
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.rows, 1000000);
    ASSERT_EQ(read.PointCount(4), 1000000);
    EXPECT_DOUBLE_EQ(read.Point(0, 999999).time, 99999.9);
    EXPECT_EQ(read.Point(0, 999999).value, live.Point(0, 999999).value);
    EXPECT_EQ(read.Point(4, 999999).value, live.Point(4, 999999).value);
}

// The reader takes a file in pieces of a few hundred kilobytes. Whatever falls on a piece's
// edge (a row, a CR LF pair, a line longer than a piece) reads as the whole text reads: each
// comment length puts the rows' line ends at another place against the edges.
TEST_F(LogFileTest, AFileReadInPiecesReadsAsItsWholeText)
{
    const auto samePoints = [](const TTraceStore& a, const TTraceStore& b) {
        for (size_t trace = 0; trace < a.traces.size(); ++trace) {
            const auto& x = a.traces[trace];
            const auto& y = b.traces[trace];
            if (x.size() != y.size() ||
                !std::equal(x.begin(), x.end(), y.begin(),
                            [](auto p, auto q) { return p.time == q.time && p.value == q.value; }))
                return false;
        }
        return true;
    };
    for (const QByteArray& end : {QByteArray("\r\n"), QByteArray("\n"), QByteArray("\r")}) {
        for (int pad = 1; pad <= 8; ++pad) {
            QByteArray text = QByteArray(pad, 'c') + end + "Time,Weight(kg),In 1" + end;
            for (int i = 0; i < 60000; ++i) {
                text += QByteArray::number(i) + ".0," + QByteArray::number(i % 7) + ",1" + end;
                if (i == 30000) // longer than a piece, reads as 0
                    text += QByteArray(300000, 'x') + ",5" + end;
            }
            const QString path = Path("pieces.csv");
            WriteBytes(path, text);
            TTraceStore whole;
            TTraceStore pieces;
            const auto expected = logfile::Parse(text, whole);
            const auto result = logfile::Read(path, pieces);
            SCOPED_TRACE(end.toHex().toStdString() + " after a comment of " + std::to_string(pad));
            ASSERT_TRUE(result.ok) << qPrintable(result.message);
            EXPECT_EQ(result.rows, 60001);
            EXPECT_EQ(result.rows, expected.rows);
            EXPECT_EQ(pieces.rowsAhead, expected.rows);
            EXPECT_EQ(whole.rowsAhead, expected.rows);
            EXPECT_TRUE(samePoints(whole, pieces));
        }
    }
}

TEST(LogFileNameTest, CsvIsAddedWhenTheNameHasNoExtension)
{
    EXPECT_EQ(logfile::WithDefaultExtension("/tmp/log"), "/tmp/log.CSV");
    EXPECT_EQ(logfile::WithDefaultExtension("/tmp/log.txt"), "/tmp/log.txt");
    EXPECT_EQ(logfile::WithDefaultExtension("/tmp/a.b/log"), "/tmp/a.b/log.CSV");
}

TEST(FixedTextTest, AgreesWithFloatToFixedExceptOnExactHalves)
{
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> values(-100000.0, 100000.0);
    for (int i = 0; i < 20000; ++i) {
        const double value = values(random);
        for (int decimals = 1; decimals <= 5; ++decimals)
            ASSERT_EQ(fixedtext::FixedText(value, decimals), tools::FloatToFixed(decimals, value))
                << value << " with " << decimals;
    }
    EXPECT_EQ(fixedtext::FixedText(0.125, 2), "0.12");
    EXPECT_EQ(fixedtext::FixedText(1e300, 1).size(), 303);
}

TEST(FixedTextTest, ReadsAsFixedToFloatDoes)
{
    for (const char* text : {"", "0", "-1.50", "1 kg", "2.", "1.2.3", "12-3", "1.5e3", ".5", "+1",
                             "99999999.999999", "-", "."}) {
        const QByteArray bytes(text);
        EXPECT_EQ(fixedtext::ParseFixed(bytes.begin(), bytes.end()),
                  tools::FixedToFloat(QString::fromLatin1(bytes)))
            << text;
    }
}

// Any mix of digits, points and minus signs, long numbers included, reads to the same double.
TEST(FixedTextTest, ReadsEveryNumberTextToTheSameDouble)
{
    std::mt19937_64 random(11);
    const char pieces[] = "0123456789.-";
    for (int i = 0; i < 50000; ++i) {
        QByteArray text;
        const int length = int(random() % 26);
        for (int k = 0; k < length; ++k)
            text += random() % 8 ? char('0' + random() % 10) : pieces[random() % 12];
        const double mine = fixedtext::ParseFixed(text.begin(), text.end());
        const double theirs = tools::FixedToFloat(QString::fromLatin1(text));
        ASSERT_EQ(mine, theirs) << text.constData();
        ASSERT_EQ(std::signbit(mine), std::signbit(theirs)) << text.constData();
    }
}

} // namespace
