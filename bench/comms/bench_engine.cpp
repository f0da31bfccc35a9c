// Exchanges per second and CPU per exchange of the comms engine's waiting SendCommand,
// against a bare QSerialPort loop doing the same log-sample reads on the same simulated
// instrument, paced at a real line rate. The simulator runs as a child process so that
// only this program's own CPU time is counted.
#include "commsengine.h"
#include "protocol.h"
#include "ringnetwork.h"
#include "userprompts.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QSerialPort>

#include <sys/resource.h>

#include <cstdio>

namespace {

class SilentPrompts : public IUserPrompts
{
public:
    int count = 0;
    void Inform(const QString&) override { ++count; }
    void ShowError(const QString&) override { ++count; }
    bool Confirm(const QString&) override { return true; }
    void ShowOpticalPrompt() override { ++count; }
    int Ask(const QString&, const QStringList& buttons) override
    {
        ++count;
        return static_cast<int>(buttons.size()) - 1;
    }
    QString AskOpenFileName(const QString&, const QString&) override { return {}; }
    QString AskSaveFileName(const QString&, const QString&) override { return {}; }
};

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct Figures
{
    double perSecond;
    double cpuMicros;
};

template <typename Exchange> Figures Measure(int count, Exchange exchange)
{
    QElapsedTimer wall;
    const double cpu0 = CpuSeconds();
    wall.start();
    int done = 0;
    for (int i = 0; i < count; ++i)
        done += exchange() ? 1 : 0;
    const double seconds = wall.nsecsElapsed() / 1e9;
    const double cpu = CpuSeconds() - cpu0;
    if (done != count)
        std::fprintf(stderr, "warning: %d of %d exchanges failed\n", count - done, count);
    return {done / seconds, cpu / count * 1e6};
}

bool BareExchange(QSerialPort& port)
{
    port.write("21110040:\r\n");
    QByteArray reply;
    while (!reply.contains('\n')) {
        if (!port.waitForReadyRead(1000))
            return false;
        reply += port.readAll();
    }
    return reply.startsWith("A1110040:");
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int baud = 38400;
    const int count = argc > 1 ? std::atoi(argv[1]) : 300;
    QProcess sim;
    sim.start(QCoreApplication::applicationDirPath() + "/../bin/q900sim",
              {"--baud", QString::number(baud)});
    if (!sim.waitForStarted(3000) || !sim.waitForReadyRead(3000)) {
        std::fprintf(stderr, "cannot start q900sim\n");
        return 1;
    }
    const QString path = QString::fromLocal8Bit(sim.readLine()).trimmed();

    Figures bare{};
    {
        QSerialPort port(path);
        if (!port.open(QIODevice::ReadWrite))
            return 1;
        port.setBaudRate(baud);
        BareExchange(port);
        bare = Measure(count, [&] { return BareExchange(port); });
    }
    TRingNetwork ring;
    SilentPrompts prompts;
    TCommsEngine engine(ring, prompts);
    engine.SetInstrumentAddress(1);
    TLineSettings line;
    line.portName = path;
    line.baud = baud;
    if (!engine.Open(line).isEmpty())
        return 1;
    engine.SendCommand(protocol::cmd::ReadValue, protocol::reg::LogSample, false, true);
    const Figures ours = Measure(count, [&] {
        return engine.SendCommand(protocol::cmd::ReadValue, protocol::reg::LogSample, false, true)
            .Ok();
    });
    const QString reply = engine.ReplyRecord().Build();
    engine.Close();
    sim.terminate();
    sim.waitForFinished(2000);

    const int chars = 11 + static_cast<int>(reply.size()) + 2;
    const double lineLimit = baud / (chars * 10.0);
    std::printf("log-sample reads at %d baud, %d exchanges each (%d characters per exchange)\n",
                baud, count, chars);
    std::printf("line-rate limit        : %8.1f exchanges/s\n", lineLimit);
    std::printf("bare QSerialPort loop  : %8.1f exchanges/s, %7.1f us CPU per exchange\n",
                bare.perSecond, bare.cpuMicros);
    std::printf("engine SendCommand     : %8.1f exchanges/s, %7.1f us CPU per exchange\n",
                ours.perSecond, ours.cpuMicros);
    std::printf("engine / baseline      : %8.3f of the rate, %7.2f x the CPU\n",
                ours.perSecond / bare.perSecond, ours.cpuMicros / bare.cpuMicros);
    return prompts.count == 0 ? 0 : 1;
}
