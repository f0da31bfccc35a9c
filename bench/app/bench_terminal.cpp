// The viewer's CPU share while its Test tab shows an instrument that streams 100 lines a
// second at 38400 baud, the line almost full. This program plays the instrument on a
// pseudo-terminal, the bytes paced as a UART at that rate delivers them in small chunks; the
// viewer runs as its child, built as its program entry builds it, connected and with the Test
// tab in front. The child counts its own CPU time (every thread) over the stream and the
// repaints of the traffic view. Of several runs the median is reported.
//
// Usage: bench_terminal [--runs N] [--seconds N] [--chunk-ms N] PROGRAM_DIR
// The program runs itself as the viewer child (--child PROGRAM_DIR DEVICE SECONDS).
#include "startupprobe.h"

#include "commsengine.h"
#include "dmviewer.h"
#include "main.h"
#include "serialports.h"
#include "userprompts.h"

#include <QApplication>
#include <QEvent>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTabWidget>
#include <QTimer>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

namespace {

constexpr int kLinesPerSecond = 100;
constexpr int kBaud = 38400;
constexpr int kBaudIndex = 4; // "38400" in the port dialog's list
constexpr int kLineBytes = 38;

// Every question is answered without a window: the instrument answers no request, so the
// identity read ends with "Instrument not responding".
class QuietPrompts : public IUserPrompts
{
public:
    void Inform(const QString&) override {}
    void ShowError(const QString&) override {}
    bool Confirm(const QString&) override { return true; }
    void ShowOpticalPrompt() override {}
    int Ask(const QString&, const QStringList& buttons) override
    {
        return static_cast<int>(buttons.size()) - 1;
    }
    QString AskOpenFileName(const QString&, const QString&) override { return {}; }
    QString AskSaveFileName(const QString&, const QString&) override { return {}; }
};

// Counts one widget's paints.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QWidget& target) { target.installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

[[noreturn]] void Fail(const char* what)
{
    std::fprintf(stderr, "%s\n", what);
    std::_Exit(1);
}

int RunViewer(int argc, char** argv, const QString& programDir, const QString& device, int seconds)
{
    QApplication app(argc, argv);
    TdatViewer config(programDir);
    QuietPrompts prompts;
    TFrmMain window(config, TPromptSet{&prompts, nullptr, nullptr});
    if (!window.FormCreate().isEmpty())
        Fail("the window could not be made");
    window.resize(1024, 700);
    window.show();
    TPortChoice choice;
    choice.portName = device;
    choice.cable = TPortChoice::RS232;
    choice.address = 1;
    choice.baud = kBaudIndex;
    choice.reconnect = false;
    if (!window.ConnectWith(choice, false))
        Fail("the viewer could not open the pseudo-terminal");
    auto* tabs = window.findChild<QTabWidget*>(QStringLiteral("PgCMain"));
    auto* page = window.findChild<QWidget*>(QStringLiteral("TSTest"));
    auto* view = window.findChild<QPlainTextEdit*>(QStringLiteral("MemoRx"));
    auto* engine = window.findChild<TCommsEngine*>();
    if (!tabs || !page || !view || !engine)
        Fail("no Test tab");
    tabs->setCurrentWidget(page);
    PaintCounter paints(*view->viewport());

    // Measured from the first character of the stream for `seconds`.
    int64_t cpu0 = 0, wall0 = 0;
    long lines = 0;
    QObject::connect(engine, &TCommsEngine::ReceivedCharacters, &app, [&](const QString& text) {
        if (wall0 == 0) {
            wall0 = startupprobe::MonotonicNs();
            cpu0 = startupprobe::ProcessCpuNs();
            paints.paints = 0;
            QTimer::singleShot(seconds * 1000, Qt::PreciseTimer, &app, [&] {
                const int64_t cpu = startupprobe::ProcessCpuNs() - cpu0;
                const int64_t wall = startupprobe::MonotonicNs() - wall0;
                std::printf("cpu %lld wall %lld lines %ld paints %d\n", static_cast<long long>(cpu),
                            static_cast<long long>(wall), lines, paints.paints);
                std::fflush(stdout);
                std::_Exit(0); // the figure is taken; tearing down is not part of it
            });
        }
        lines += text.count(u'\n');
    });
    std::printf("ready\n");
    std::fflush(stdout);
    return app.exec();
}

struct TTerminal
{
    int master = -1;
    int slave = -1;
    QString path;
};

TTerminal OpenTerminal()
{
    const int master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    char name[128] = {};
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0 ||
        ptsname_r(master, name, sizeof name) != 0)
        Fail("cannot make a pseudo-terminal");
    // Held open for the run, so the raw settings stay whatever the viewer does.
    const int slave = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
    termios settings{};
    if (slave < 0 || tcgetattr(slave, &settings) != 0)
        Fail("cannot open the pseudo-terminal");
    cfmakeraw(&settings);
    if (tcsetattr(slave, TCSANOW, &settings) != 0)
        Fail("cannot set the pseudo-terminal to raw mode");
    return {master, slave, QString::fromLocal8Bit(name)};
}

// Lines of kLineBytes: a weight reading, numbered.
QByteArray StreamLine(long n)
{
    QByteArray line = QByteArrayLiteral("A1110025:") +
                      QByteArray::number(1000 + n % 9000).rightJustified(8, ' ') +
                      QByteArrayLiteral(".5 kg G  #") +
                      QByteArray::number(n).rightJustified(7, '0');
    return line.leftJustified(kLineBytes - 2, ' ', true) + "\r\n";
}

// Writes the stream for `seconds` as the line would deliver it: every `chunkMs`, the bytes
// the UART has received since the last chunk; whatever the viewer sends is read and dropped.
void Stream(int master, double seconds, int chunkMs)
{
    const double bytesPerNs = (kBaud / 10.0) / 1e9;
    const double lineNs = 1e9 / kLinesPerSecond;
    QByteArray due;
    long nextLine = 0;
    const int64_t start = startupprobe::MonotonicNs();
    int64_t sent = 0; // bytes of the stream written
    for (int64_t now = start; now - start < int64_t(seconds * 1e9);
         now = startupprobe::MonotonicNs()) {
        while (nextLine * lineNs <= now - start)
            due += StreamLine(nextLine++);
        const int64_t canSend = int64_t((now - start) * bytesPerNs) - sent;
        const qsizetype n = std::min<qsizetype>(due.size(), std::max<int64_t>(canSend, 0));
        if (n > 0 && ::write(master, due.constData(), size_t(n)) == n) {
            due.remove(0, n);
            sent += n;
        }
        char drop[256];
        while (::read(master, drop, sizeof drop) > 0) {
        }
        const timespec pause{0, chunkMs * 1000000L};
        nanosleep(&pause, nullptr);
    }
}

void DrainTerminal(int master)
{
    char drop[256];
    while (::read(master, drop, sizeof drop) > 0) {
    }
}

struct TRun
{
    double share = 0; // % of a core
    double repaintsPerSecond = 0;
    long lines = 0;
};

// One viewer, on a pseudo-terminal of its own, so nothing of an earlier run is left in it.
TRun Measure(const QString& programDir, int seconds, int chunkMs)
{
    const TTerminal terminal = OpenTerminal();
    QProcess child;
    child.setProcessChannelMode(QProcess::SeparateChannels);
    child.setStandardErrorFile(QProcess::nullDevice());
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--child"), programDir, terminal.path, QString::number(seconds)});
    while (!child.canReadLine()) {
        DrainTerminal(terminal.master);
        if (!child.waitForReadyRead(100) && child.state() != QProcess::Running)
            Fail("the viewer ended before it was ready");
    }
    if (child.readLine().trimmed() != "ready")
        Fail("the viewer did not get ready");
    Stream(terminal.master, seconds + 2.0, chunkMs);
    if (!child.waitForFinished(10000) || child.exitCode() != 0)
        Fail("the viewer failed");
    ::close(terminal.slave);
    ::close(terminal.master);
    // "cpu NS wall NS lines N paints N"
    const QList<QByteArray> f = child.readAllStandardOutput().simplified().split(' ');
    if (f.size() < 8)
        Fail("the viewer reported nothing");
    const double wallNs = f[3].toDouble();
    return {100.0 * f[1].toDouble() / wallNs, f[7].toDouble() / (wallNs / 1e9), f[5].toLong()};
}

int RunDriver(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    int runs = 3, seconds = 10, chunkMs = 4;
    while (args.size() > 1 && args.first().startsWith(u"--")) {
        const QString option = args.takeFirst();
        const int value = std::max(1, args.takeFirst().toInt());
        if (option == u"--runs")
            runs = value;
        else if (option == u"--seconds")
            seconds = value;
        else if (option == u"--chunk-ms")
            chunkMs = value;
    }
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: bench_terminal [--runs N] [--seconds N] [--chunk-ms N] "
                             "PROGRAM_DIR\n");
        return 2;
    }
    std::vector<TRun> results;
    for (int i = 0; i < runs; ++i)
        results.push_back(Measure(args.first(), seconds, chunkMs));
    std::sort(results.begin(), results.end(),
              [](const TRun& a, const TRun& b) { return a.share < b.share; });
    const TRun& median = results[results.size() / 2];
    std::printf("stream of %d lines/s, %d bytes each, at %d baud, in chunks every %d ms\n",
                kLinesPerSecond, kLineBytes, kBaud, chunkMs);
    std::printf("runs of %d s: %.2f %% to %.2f %% of a core\n", seconds, results.front().share,
                results.back().share);
    std::printf("viewer on the Test tab: %.2f %% of a core, median of %d runs (%ld lines "
                "received, %.1f repaints/s of the traffic view)\n",
                median.share, runs, median.lines, median.repaintsPerSecond);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc > 4 && qstrcmp(argv[1], "--child") == 0)
        return RunViewer(argc, argv, QString::fromLocal8Bit(argv[2]),
                         QString::fromLocal8Bit(argv[3]), std::atoi(argv[4]));
    return RunDriver(argc, argv);
}
