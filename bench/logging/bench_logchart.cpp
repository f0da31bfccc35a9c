// Costs of the log chart and the log file at the sizes a long run reaches (a day at 10 Hz is
// 864,000 samples): one live sample appended and redrawn with 1,000 and 1,000,000 points
// behind it, a full redraw with 1,000,000 points in view, the resident memory per sample
// with all five traces filled, and saving and opening a CSV file of 1,000,000 rows.
// --keep-csv=PATH keeps the opened file there, for other readers to be timed on it.
#include "logchart.h"
#include "logfile.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <memory>

#include <unistd.h>

namespace {

constexpr int kMillion = 1000000;
constexpr double kPeriod = 0.1;    // 10 Hz
constexpr double kLiveWindow = 30; // seconds in view while following a run

double ResidentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * double(sysconf(_SC_PAGESIZE)) : 0;
}

// Sample i of a run with all four digital channels logged, as the instrument's samples give
// them: times in whole 40 ms ticks (10 Hz is two and a half), weights in counts of 0.1.
void AddSample(TLogChart& chart, int i)
{
    const double time = int32_t(int64_t(i) * 5 / 2) * logchannels::TickSeconds;
    const auto counts = int32_t(std::lrint(2500 + 2000 * std::sin(i * 1e-3))) + i % 7;
    chart.AddPoint(traces::Weight, time, counts / 10.0);
    for (int k = 1; k <= 4; ++k)
        chart.AddPoint(k, time, logchannels::Baseline(k) + ((i >> (k + 3)) & 1));
}

std::unique_ptr<TLogChart> MakeChart(int samples)
{
    auto chart = std::make_unique<TLogChart>();
    chart->SetUpLogTraces();
    chart->resize(1000, 600);
    chart->show();
    for (int i = 0; i < samples; ++i)
        AddSample(*chart, i);
    chart->SetAutoScale(TChartAxis::Left, true);
    chart->RedrawNow();
    return chart;
}

// Where the file OpenCsvMillionRows opens is kept; empty: a temporary folder.
QString gKeptCsv;

// The live chart of a run of a million samples, shared by the benchmarks that need one and
// gone before the application object.
std::unique_ptr<TLogChart> gMillionChart;

TLogChart& MillionChart()
{
    if (!gMillionChart)
        gMillionChart = MakeChart(kMillion);
    return *gMillionChart;
}

void ResidentMemoryPerSample(benchmark::State& state)
{
    for (auto _ : state) {
        const double before = ResidentBytes();
        TLogChart chart;
        chart.SetUpLogTraces();
        for (int i = 0; i < kMillion; ++i)
            AddSample(chart, i);
        state.counters["bytes_per_sample"] = (ResidentBytes() - before) / kMillion;
    }
}
// First, before other benchmarks leave freed memory behind to be reused.
BENCHMARK(ResidentMemoryPerSample)->Iterations(1)->Unit(benchmark::kMillisecond);

void LiveAppendAndRedraw(benchmark::State& state)
{
    const int points = int(state.range(0));
    const std::unique_ptr<TLogChart> small = points < kMillion ? MakeChart(points) : nullptr;
    TLogChart& chart = small ? *small : MillionChart();
    int next = int(chart.PointCount(traces::Weight));
    for (auto _ : state) {
        AddSample(chart, next);
        const double time = next * kPeriod; // within a tick of the sample's
        chart.SetRange(TChartAxis::Bottom, time - kLiveWindow, time);
        chart.RedrawNow();
        ++next;
    }
    state.counters["points"] = next;
}
BENCHMARK(LiveAppendAndRedraw)->Arg(1000)->Arg(kMillion)->Unit(benchmark::kMillisecond);

void FullRedrawMillionVisible(benchmark::State& state)
{
    TLogChart& chart = MillionChart();
    const auto extent = chart.Extent(traces::Weight);
    chart.SetRange(TChartAxis::Bottom, 0, extent ? extent->maxTime : 1);
    for (auto _ : state)
        chart.RedrawNow();
    state.counters["points"] = double(chart.PointCount(traces::Weight));
}
BENCHMARK(FullRedrawMillionVisible)->Unit(benchmark::kMillisecond);

TLogHeader AllChannels()
{
    TLogHeader header;
    header.live = true;
    header.units = QStringLiteral("kg");
    header.selection = {1, 2, 3, 4};
    return header;
}

void SaveCsvMillionRows(benchmark::State& state)
{
    TLogChart& chart = MillionChart();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("run.CSV"));
    for (auto _ : state) {
        const auto result = logfile::Write(path, QStringLiteral("bench"), AllChannels(), 1, chart);
        if (!result.ok)
            state.SkipWithError(qPrintable(result.message));
    }
    state.counters["rows"] = double(chart.PointCount(traces::Weight));
    state.counters["bytes"] = double(QFile(path).size());
}
BENCHMARK(SaveCsvMillionRows)->Iterations(3)->Unit(benchmark::kMillisecond);

void OpenCsvMillionRows(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = gKeptCsv.isEmpty() ? dir.filePath(QStringLiteral("run.CSV")) : gKeptCsv;
    if (!logfile::Write(path, QStringLiteral("bench"), AllChannels(), 1, MillionChart()).ok)
        state.SkipWithError("cannot write the file to open");
    TLogChart chart;
    chart.SetUpLogTraces();
    qsizetype rows = 0;
    for (auto _ : state) {
        const auto result = logfile::Read(path, chart);
        if (!result.ok)
            state.SkipWithError(qPrintable(result.message));
        rows = result.rows;
    }
    state.counters["rows"] = double(rows);
}
// Five single opens: the report takes the quickest, as it does of awk on the same file.
BENCHMARK(OpenCsvMillionRows)->Iterations(1)->Repetitions(5)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString keep = QStringLiteral("--keep-csv=");
    for (const QString& argument : QCoreApplication::arguments()) {
        if (argument.startsWith(keep))
            gKeptCsv = argument.mid(keep.size());
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    gMillionChart.reset();
    return 0;
}
