// Opening a long log file as the user meets it: in the whole program, on the Log tab, File >
// Open, from the moment the file dialog hands over the file until the chart has been drawn;
// the resident memory the file's samples take beside the program idle on that tab; and the
// chart's full redraw at zooms from the whole run down to 30 seconds of it.
//
// Usage: bench_logopen --make SAMPLES CSV         writes a log file of a run at 10 Hz with all
//                                                 four channels, as the program saves one
//        bench_logopen [--runs N] PROGRAM_DIR CSV  the best open of N fresh starts, the median
//                                                 memory and the slowest zoom's quickest redraw
// The program runs itself as the viewer child (--child PROGRAM_DIR CSV), on the offscreen
// platform unless told otherwise.
#include "fileprompts.h"
#include "startupprobe.h"

#include "dmviewer.h"
#include "logchart.h"
#include "logfile.h"
#include "logpage.h"
#include "main.h"
#include "packedtraces.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTabWidget>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kSettleMs = 700; // no paint for this long: the window is drawn

[[noreturn]] void Fail(const char* why)
{
    std::fprintf(stderr, "%s\n", why);
    std::_Exit(1);
}

// The quickest of three full redraws at each zoom, centred on the run; the slowest zoom's.
double SlowestRedrawMs(TLogChart& chart)
{
    const TAxisRange run = chart.Range(TChartAxis::Bottom);
    const double middle = (run.min + run.max) / 2;
    double slowest = 0;
    for (const double span :
         {run.max - run.min, (run.max - run.min) / 10, (run.max - run.min) / 100, 600.0, 30.0}) {
        chart.SetRange(TChartAxis::Bottom, middle - span / 2, middle + span / 2);
        double best = 1e9;
        for (int i = 0; i < 3; ++i) {
            QElapsedTimer timer;
            timer.start();
            chart.RedrawNow();
            best = std::min(best, timer.nsecsElapsed() / 1e6);
        }
        slowest = std::max(slowest, best);
    }
    return slowest;
}

// Prints "open NS rss KB hwm KB idle KB idlehwm KB redraw MS samples N".
void OpenAndMeasure(TFrmMain& window, TFilePrompts& prompts, QWidget& plot, long idleKb,
                    long idleHwmKb)
{
    // Ends the program once the chart is drawn: never deleted.
    new startupprobe::TPaintWatch(plot, kSettleMs, [&, idleKb, idleHwmKb](auto painted) {
        auto* chart = window.findChild<TLogChart*>(QStringLiteral("Chart"));
        if (!chart || chart->PointCount(traces::Weight) == 0)
            Fail("the file did not open");
        const long rss = startupprobe::StatusKb("VmRSS");
        const long hwm = startupprobe::StatusKb("VmHWM");
        const double redraw = SlowestRedrawMs(*chart);
        std::printf("open %lld rss %ld hwm %ld idle %ld idlehwm %ld redraw %.2f samples %lld\n",
                    static_cast<long long>(painted.wallNs - prompts.OpenAskedNs()), rss, hwm,
                    idleKb, idleHwmKb, redraw,
                    static_cast<long long>(chart->PointCount(traces::Weight)));
        std::fflush(stdout);
        std::_Exit(0);
    });
    auto* open = window.findChild<QAction*>(QStringLiteral("Open1"));
    if (!open)
        Fail("no File > Open");
    open->trigger();
}

int RunViewer(int argc, char** argv, const QString& programDir, const QString& csv)
{
    QApplication app(argc, argv);
    TdatViewer config(programDir);
    TFilePrompts prompts(csv);
    TFrmMain window(config, TPromptSet{&prompts, nullptr, nullptr});
    if (const QString failure = window.FormCreate(); !failure.isEmpty())
        Fail(qPrintable(failure));
    auto* page = window.findChild<TLogPage*>();
    auto* tabs = window.findChild<QTabWidget*>(QStringLiteral("PgCMain"));
    auto* chart = window.findChild<TLogChart*>(QStringLiteral("Chart"));
    QWidget* plot = chart ? chart->findChild<QWidget*>() : nullptr;
    if (!page || !tabs || !plot)
        Fail("no Log tab");
    window.show();
    tabs->setCurrentWidget(page);
    // Idle on the Log tab, its empty chart drawn; then the file.
    startupprobe::TPaintWatch idle(*plot, kSettleMs, [&](startupprobe::TPainted) {
        OpenAndMeasure(window, prompts, *plot, startupprobe::StatusKb("VmRSS"),
                       startupprobe::StatusKb("VmHWM"));
    });
    return app.exec();
}

// A run at 10 Hz with all four channels, saved as the program saves it.
int MakeFile(qsizetype samples, const QString& path)
{
    TPackedTraces run;
    run.AddTrace(TPackedTraces::TShape::Line);
    for (int k = 1; k <= logchannels::DigitalCount; ++k)
        run.AddTrace(TPackedTraces::TShape::Steps);
    for (qsizetype i = 0; i < samples; ++i) {
        const double time = double(i) / 10;
        run.AddPoint(traces::Weight, time, std::round(2500 + 2000 * std::sin(i * 1e-3)) / 10);
        for (int k = 1; k <= logchannels::DigitalCount; ++k)
            run.AddPoint(k, time, logchannels::Baseline(k) + double((i >> (k + 3)) & 1));
    }
    TLogHeader header;
    header.live = true;
    header.units = QStringLiteral("kg");
    header.selection = {1, 2, 3, 4};
    const TLogFileResult written = logfile::Write(path, QStringLiteral("bench"), header, 1, run);
    if (!written.ok)
        Fail(qPrintable(written.message));
    return 0;
}

struct Run
{
    double openMs = 0;
    long overKb = 0;
    long peakOverKb = 0;
    double redrawMs = 0;
    qsizetype samples = 0;
};

Run Measure(const QString& programDir, const QString& csv)
{
    QProcess child;
    child.setStandardErrorFile(QProcess::nullDevice());
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--child"), programDir, csv});
    if (!child.waitForFinished(300000) || child.exitCode() != 0)
        Fail("the viewer child failed");
    const QList<QByteArray> f = child.readAllStandardOutput().simplified().split(' ');
    if (f.size() < 14)
        Fail("the viewer child reported nothing");
    return {f[1].toLongLong() / 1e6, f[3].toLong() - f[7].toLong(), f[5].toLong() - f[9].toLong(),
            f[11].toDouble(), f[13].toLongLong()};
}

template <typename Field> double Sorted(std::vector<Run> runs, Field field, bool median)
{
    std::vector<double> values;
    for (const Run& run : runs)
        values.push_back(double(run.*field));
    std::sort(values.begin(), values.end());
    return median ? values[values.size() / 2] : values.front();
}

int RunDriver(const QStringList& args)
{
    int runs = 3;
    QStringList rest = args;
    if (rest.size() > 2 && rest.first() == u"--runs") {
        runs = std::max(1, rest.at(1).toInt());
        rest = rest.mid(2);
    }
    if (rest.size() != 2)
        Fail("usage: bench_logopen [--runs N] PROGRAM_DIR CSV | --make SAMPLES CSV");
    std::vector<Run> measured;
    for (int i = 0; i < runs; ++i)
        measured.push_back(Measure(rest.at(0), rest.at(1)));
    const auto samples = double(measured.front().samples);
    const double over = Sorted(measured, &Run::overKb, true) * 1024 / samples;
    const double peak = Sorted(measured, &Run::peakOverKb, true) * 1024 / samples;
    // "samples 6000000 open 812.3 ms memory 10.2 B peak 48.1 B redraw 23.4 ms"
    std::printf("samples %lld open %.1f ms memory %.1f B peak %.1f B redraw %.2f ms\n",
                static_cast<long long>(samples), Sorted(measured, &Run::openMs, false), over, peak,
                Sorted(measured, &Run::redrawMs, false));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 4 && qstrcmp(argv[1], "--child") == 0)
        return RunViewer(argc, argv, QString::fromLocal8Bit(argv[2]),
                         QString::fromLocal8Bit(argv[3]));
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() == 3 && args.first() == u"--make")
        return MakeFile(args.at(1).toLongLong(), args.at(2));
    return RunDriver(args);
}
