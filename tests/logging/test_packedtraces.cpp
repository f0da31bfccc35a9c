// The chart's packed points: every number comes back as the very double that went in, traces
// read back in time order point by point, a view draws every pixel column's span from a few
// points, and a week of samples at 10 Hz saved and opened again comes back sample by sample.
#include "logfile.h"
#include "packedtraces.h"
#include "tracethinning.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <functional>
#include <limits>
#include <ostream>
#include <random>

namespace {

using TShape = tracereading::TShape;

std::vector<double> Series(int count, const std::function<double(int)>& value)
{
    std::vector<double> values;
    for (int i = 0; i < count; ++i)
        values.push_back(value(i));
    return values;
}

struct TColumnCase
{
    const char* what;
    std::vector<double> values;
};

inline void PrintTo(const TColumnCase& c, std::ostream* out)
{
    *out << c.what;
}

class PackedColumn : public ::testing::TestWithParam<TColumnCase>
{
};

TEST_P(PackedColumn, GivesBackTheSameDoublesAndTheirSpans)
{
    const std::vector<double>& values = GetParam().values;
    TPackedColumn column;
    for (double value : values)
        column.Append(value);
    ASSERT_EQ(column.size(), qsizetype(values.size()));
    for (size_t i = 0; i < values.size(); ++i)
        ASSERT_EQ(std::bit_cast<uint64_t>(column.At(qsizetype(i))),
                  std::bit_cast<uint64_t>(values[i]))
            << "value " << i << ": " << values[i];
    const auto n = qsizetype(values.size());
    for (const auto& [first, last] : {std::pair{qsizetype(0), n}, {n / 3, n - 1}, {n - 1, n}}) {
        const auto [low, high] = std::minmax_element(values.begin() + first, values.begin() + last);
        const TAxisRange span = column.Span(first, last);
        EXPECT_EQ(span.min, *low) << first << ".." << last;
        EXPECT_EQ(span.max, *high) << first << ".." << last;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PackedColumn,
    ::testing::Values(
        TColumnCase{
            "a live run's times, whole ticks",
            Series(300, [](int i) { return int32_t(i * 5 / 2) * logchannels::TickSeconds; })},
        TColumnCase{"a file's times, read as hundredths",
                    Series(300, [](int i) { return (i * 7) / 100.0; })},
        TColumnCase{"weights of counts over 10^3",
                    Series(500, [](int i) { return ((i * 7919) % 20001 - 10000) / 1000.0; })},
        TColumnCase{"decimals that come later", {12, 12.5, 12.25, 0.001, -7, 2e5}},
        TColumnCase{"ticks after zeros, then a hundredth", {0, 0, 3 * 0.04, 5 * 0.04, 0.13}},
        TColumnCase{"counts beyond 32 bits", {1, 2, 3e9, 4}},
        TColumnCase{"a third, which no unit holds", {0, 0.1, 1.0 / 3, 0.2}},
        TColumnCase{"minus zero and infinity",
                    {0, -0.0, -std::numeric_limits<double>::infinity(), 5}},
        TColumnCase{"a swing over many blocks", Series(5000, [](int i) {
                        return std::round(1e3 * std::sin(i * 0.01)) / 10;
                    })}));

// A reference of plain points: each trace sorted as the chart sorts, later after earlier.
using TReference = std::vector<std::vector<TTracePoint>>;

void ExpectSame(const TPackedTraces& traces, TReference reference)
{
    for (size_t k = 0; k < reference.size(); ++k) {
        auto& points = reference[k];
        std::stable_sort(
            points.begin(), points.end(),
            [](const TTracePoint& a, const TTracePoint& b) { return a.time < b.time; });
        const int trace = int(k);
        ASSERT_EQ(traces.PointCount(trace), qsizetype(points.size())) << "trace " << k;
        std::vector<TTracePoint> read(points.size());
        traces.ReadPoints(trace, 0, read);
        for (size_t i = 0; i < points.size(); ++i) {
            ASSERT_EQ(traces.Point(trace, qsizetype(i)).time, points[i].time) << k << ":" << i;
            ASSERT_EQ(traces.Point(trace, qsizetype(i)).value, points[i].value) << k << ":" << i;
            ASSERT_EQ(read[i].time, points[i].time) << k << ":" << i;
            ASSERT_EQ(read[i].value, points[i].value) << k << ":" << i;
        }
    }
}

TPackedTraces LogTraces()
{
    TPackedTraces traces;
    traces.AddTrace(TShape::Line);
    for (int k = 1; k <= logchannels::DigitalCount; ++k)
        traces.AddTrace(TShape::Steps);
    return traces;
}

// Rows of a log, some without a weight, some with times out of order, taken one by one and as
// a file: the traces give back exactly the points a plain list sorted by time holds.
TEST(PackedTraces, ReadBackAsSortedPlainPointsOneByOneOrAsAFile)
{
    for (const bool file : {false, true}) {
        std::mt19937 random(7);
        TPackedTraces traces = LogTraces();
        TReference reference(logchannels::DigitalCount + 1);
        if (file)
            traces.BeginPoints(2000);
        for (int row = 0; row < 2000; ++row) {
            const bool late = random() % 97 == 0;
            const double time = (late ? row - 50 : row) / 10.0;
            for (int k = 0; k <= logchannels::DigitalCount; ++k) {
                if (random() % (k == 0 ? 41 : 5) == 0)
                    continue; // an empty field
                const double value = k == 0 ? double(random() % 1000) / 100
                                            : logchannels::Baseline(k) + (random() % 23 == 0);
                traces.AddPoint(k, time, value);
                reference[size_t(k)].push_back({time, value});
            }
        }
        if (file)
            traces.EndPoints();
        ExpectSame(traces, reference);
        const auto extent = traces.Extent(0);
        ASSERT_TRUE(extent);
        EXPECT_EQ(extent->minTime, 0.0);
        EXPECT_EQ(extent->maxTime, 199.9);
    }
}

struct TViewCase
{
    const char* what;
    TShape shape;
    TAxisRange view;
    int columns;
};

inline void PrintTo(const TViewCase& c, std::ostream* out)
{
    *out << c.what;
}

class ThinnedView : public ::testing::TestWithParam<TViewCase>
{
};

// 200,000 points of a noisy weight or a channel that flickers now and then, seen in views
// from the whole run down to a few points: never more than a few points per pixel column,
// and each column spans what all its points span, with the trace running on past both edges.
TEST_P(ThinnedView, DrawsEachColumnsSpanFromAFewPoints)
{
    const TViewCase& c = GetParam();
    TPackedTraces traces;
    traces.AddTrace(c.shape);
    std::mt19937 random(11);
    std::vector<TTracePoint> all;
    for (int i = 0; i < 200000; ++i) {
        const double value = c.shape == TShape::Line ? std::sin(i * 1e-4) * 100 + random() % 7
                                                     : double(random() % 1000 < 30);
        all.push_back({i * 0.1, value});
        traces.AddPoint(0, i * 0.1, value);
    }
    const std::vector<TTracePoint> drawn =
        tracethinning::PointsToDraw(traces, 0, c.view, c.columns);
    ASSERT_FALSE(drawn.empty());
    EXPECT_LE(drawn.size(), size_t(4 * c.columns + 2));
    EXPECT_TRUE(std::is_sorted(drawn.begin(), drawn.end(),
                               [](const auto& a, const auto& b) { return a.time < b.time; }));
    const auto outside = [&](double from, double to) {
        return std::any_of(drawn.begin(), drawn.end(),
                           [&](const TTracePoint& p) { return p.time >= from && p.time < to; });
    };
    EXPECT_TRUE(c.view.min <= 0 || outside(c.view.min - 0.1, c.view.min)) << "left edge";
    EXPECT_TRUE(c.view.max >= all.back().time || outside(c.view.max, c.view.max + 0.11));
    // The values of a column's points, and for steps the value held into it.
    const auto span = [&c](const std::vector<TTracePoint>& points, double from, double to) {
        std::optional<TAxisRange> range;
        const auto take = [&range](double v) {
            range = range ? TAxisRange{std::min(range->min, v), std::max(range->max, v)}
                          : TAxisRange{v, v};
        };
        const auto held = std::partition_point(points.begin(), points.end(),
                                               [from](const auto& p) { return p.time < from; });
        if (c.shape == TShape::Steps && held != points.begin())
            take(std::prev(held)->value);
        for (auto p = held; p != points.end() && p->time < to; ++p)
            take(p->value);
        return range;
    };
    const double width = (c.view.max - c.view.min) / c.columns;
    for (int column = 0; column < c.columns; ++column) {
        const double from = c.view.min + column * width;
        const double to = column + 1 == c.columns ? c.view.max + 1e-9 : from + width;
        const auto expected = span(all, from, to);
        const auto shown = span(drawn, from, to);
        ASSERT_EQ(shown.has_value(), expected.has_value()) << "column " << column;
        if (expected) {
            EXPECT_EQ(shown->min, expected->min) << "column " << column;
            EXPECT_EQ(shown->max, expected->max) << "column " << column;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ThinnedView,
    ::testing::Values(TViewCase{"the whole weight", TShape::Line, {0, 20000}, 1000},
                      TViewCase{"a stretch of the weight", TShape::Line, {5000.05, 5400}, 700},
                      TViewCase{"weight point by point", TShape::Line, {100, 130}, 800},
                      TViewCase{"beyond the end", TShape::Line, {19000, 21000}, 500},
                      TViewCase{"the whole channel", TShape::Steps, {0, 20000}, 1000},
                      TViewCase{"a stretch of the channel", TShape::Steps, {3000, 3100}, 900}));

// A long run at 10 Hz (the benchmark opens a week of it): the samples a live run makes (times
// in whole ticks, weights in counts, the four channels), saved and opened again, are the same
// samples the file says.
TEST(LongRun, SavedAndOpenedAgainComeBackSampleBySample)
{
    constexpr int kSamples = 200000;
    TPackedTraces run = LogTraces();
    for (int i = 0; i < kSamples; ++i) {
        const double time = int32_t(i * 5 / 2) * logchannels::TickSeconds;
        run.AddPoint(traces::Weight, time, int32_t(int64_t(i) * 7919 % 60000 - 1000) / 100.0);
        for (int k = 1; k <= logchannels::DigitalCount; ++k)
            run.AddPoint(k, time, logchannels::Baseline(k) + ((i >> (2 * k + 3)) & 1));
    }
    TLogHeader header;
    header.live = true;
    header.units = QStringLiteral("kg");
    header.selection = {1, 2, 3, 4};
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("long.CSV"));
    ASSERT_TRUE(logfile::Write(path, QStringLiteral("long run"), header, 2, run).ok);
    TPackedTraces opened = LogTraces();
    const TLogReadResult read = logfile::Read(path, opened);
    ASSERT_TRUE(read.ok) << read.message.toStdString();
    ASSERT_EQ(read.rows, kSamples);
    constexpr qsizetype kBlock = 1 << 16;
    std::vector<TTracePoint> saved(kBlock);
    std::vector<TTracePoint> back(kBlock);
    for (int k = 0; k <= logchannels::DigitalCount; ++k) {
        ASSERT_EQ(opened.PointCount(k), kSamples) << "trace " << k;
        for (qsizetype first = 0; first < kSamples; first += kBlock) {
            const qsizetype n = std::min(kBlock, kSamples - first);
            run.ReadPoints(k, first, std::span(saved).first(size_t(n)));
            opened.ReadPoints(k, first, std::span(back).first(size_t(n)));
            for (qsizetype i = 0; i < n; ++i) {
                const double hundredths = std::round(saved[size_t(i)].time * 100) / 100;
                ASSERT_EQ(back[size_t(i)].time, hundredths) << k << ":" << first + i;
                ASSERT_EQ(back[size_t(i)].value, saved[size_t(i)].value) << k << ":" << first + i;
            }
        }
    }
}

} // namespace
