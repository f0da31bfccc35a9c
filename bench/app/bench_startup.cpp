// Start-up to a fully drawn window and resident memory of the viewer beside a bare Qt main
// window of the same size, each started afresh several times (medians), and the viewer's
// peak resident memory with a long log run open. The viewer is built here as its program
// entry builds it (configuration, main window, shown), from a real program folder.
//
// Usage: bench_startup [--runs N] [--log-file CSV] PROGRAM_DIR
// The program runs itself as the viewer child (--child PROGRAM_DIR [CSV]); the bare window
// is bench_barewindow beside it. Both use the offscreen platform unless told otherwise.
#include "fileprompts.h"
#include "startupprobe.h"

#include "dmviewer.h"
#include "logpage.h"
#include "main.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTabWidget>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// Opens the log file on the Log tab, brought to the front, and lets the chart draw.
void OpenLog(TFrmMain& window)
{
    auto* page = window.findChild<TLogPage*>();
    if (!page) {
        std::fprintf(stderr, "no Log tab\n");
        std::_Exit(1);
    }
    if (auto* tabs = window.findChild<QTabWidget*>(QStringLiteral("PgCMain")))
        tabs->setCurrentWidget(page);
    page->Open1Click();
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 500)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

// With BENCH_STARTUP_TRACE set, the child prints when each start-up step ended.
void Step(const char* what)
{
    static const bool trace = qEnvironmentVariableIsSet("BENCH_STARTUP_TRACE");
    if (trace)
        std::fprintf(stderr, "%lld %s\n", static_cast<long long>(startupprobe::MonotonicNs()),
                     what);
}

int RunViewer(int argc, char** argv, const QString& programDir, const QString& logFile)
{
    Step("main");
    QApplication app(argc, argv);
    Step("application");
    TdatViewer config(programDir);
    Step("configuration");
    TFilePrompts prompts(logFile);
    TFrmMain window(config, TPromptSet{&prompts, nullptr, nullptr});
    Step("window");
    const QString failure = window.FormCreate();
    Step("FormCreate");
    if (!failure.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(failure));
        return 1;
    }
    auto* mimic = window.findChild<QWidget*>(QStringLiteral("DisplayMimic"));
    if (!mimic)
        return 1;
    startupprobe::TPaintWatch watch(*mimic, 1000, [&](startupprobe::TPainted painted) {
        Step("settled");
        if (!logFile.isEmpty())
            OpenLog(window);
        startupprobe::Report(painted, window.size());
        std::_Exit(0); // the figure is taken; tearing down is not part of it
    });
    window.show();
    Step("show");
    return app.exec();
}

struct Run
{
    double ms = 0;
    double cpuMs = 0;
    long rssKb = 0;
    long hwmKb = 0;
    QString size;
};

// Starts one child and reads its report line.
Run Measure(const QString& program, const QStringList& args)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::SeparateChannels);
    child.setStandardErrorFile(QProcess::nullDevice());
    const int64_t start = startupprobe::MonotonicNs();
    child.start(program, args);
    if (!child.waitForFinished(60000) || child.exitCode() != 0) {
        std::fprintf(stderr, "%s failed\n", qPrintable(program));
        std::exit(1);
    }
    // "painted NS cpu NS rss KB hwm KB size WxH"
    const QList<QByteArray> f = child.readAllStandardOutput().simplified().split(' ');
    if (f.size() < 10) {
        std::fprintf(stderr, "%s reported nothing\n", qPrintable(program));
        std::exit(1);
    }
    return {(f[1].toLongLong() - start) / 1e6, f[3].toLongLong() / 1e6, f[5].toLong(),
            f[7].toLong(), QString::fromLatin1(f[9])};
}

template <typename Field> std::vector<double> Sorted(const std::vector<Run>& runs, Field field)
{
    std::vector<double> values;
    for (const Run& r : runs)
        values.push_back(double(r.*field));
    std::sort(values.begin(), values.end());
    return values;
}

// Times: the quickest run, the one least disturbed by whatever else the machine was doing.
template <typename Field> double Best(const std::vector<Run>& runs, Field field)
{
    return Sorted(runs, field).front();
}

template <typename Field> double Median(const std::vector<Run>& runs, Field field)
{
    const std::vector<double> values = Sorted(runs, field);
    return values[values.size() / 2];
}

int RunDriver(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    int runs = 5;
    QString logFile;
    while (args.size() > 1 && args.first().startsWith(u"--")) {
        const QString option = args.takeFirst();
        const QString value = args.takeFirst();
        if (option == u"--runs")
            runs = std::max(1, value.toInt());
        else if (option == u"--log-file")
            logFile = value;
    }
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: bench_startup [--runs N] [--log-file CSV] PROGRAM_DIR\n");
        return 2;
    }
    const QString self = QCoreApplication::applicationFilePath();
    const QString bare =
        QCoreApplication::applicationDirPath() + QStringLiteral("/bench_barewindow");
    std::vector<Run> viewer, window;
    for (int i = 0; i < runs; ++i) {
        viewer.push_back(Measure(self, {QStringLiteral("--child"), args.first()}));
        window.push_back(Measure(bare, {viewer.back().size}));
    }
    const double vMs = Best(viewer, &Run::ms), bMs = Best(window, &Run::ms);
    const double vCpu = Best(viewer, &Run::cpuMs), bCpu = Best(window, &Run::cpuMs);
    const double vHwm = Median(viewer, &Run::hwmKb), bHwm = Median(window, &Run::hwmKb);
    std::printf("start-up to a fully drawn %s window, best of %d runs (memory: median)\n",
                qPrintable(viewer.back().size), runs);
    std::printf("viewer         : %7.1f ms (%6.1f ms CPU), resident %6.0f kB, peak %6.0f kB\n", vMs,
                vCpu, Median(viewer, &Run::rssKb), vHwm);
    std::printf("bare Qt window : %7.1f ms (%6.1f ms CPU), resident %6.0f kB, peak %6.0f kB\n", bMs,
                bCpu, Median(window, &Run::rssKb), bHwm);
    std::printf("viewer / bare  : %7.2f x the time, %5.2f x the CPU, %5.2f x the peak memory\n",
                vMs / bMs, vCpu / bCpu, vHwm / bHwm);
    if (!logFile.isEmpty()) {
        const Run loaded = Measure(self, {QStringLiteral("--child"), args.first(), logFile});
        std::printf("viewer with the log file open: peak %ld kB (%ld kB over idle)\n", loaded.hwmKb,
                    loaded.hwmKb - long(vHwm));
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc > 2 && qstrcmp(argv[1], "--child") == 0)
        return RunViewer(argc, argv, QString::fromLocal8Bit(argv[2]),
                         argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString());
    return RunDriver(argc, argv);
}
