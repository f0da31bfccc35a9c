// Exchanges per second and CPU per exchange of the comms engine's waiting SendCommand,
// against a bare QSerialPort loop doing the same log-sample reads on the same simulated
// instrument, paced at a real line rate. The simulator runs as a child process so that
// only this program's own CPU time is counted. Usage: bench_engine [exchanges] [baud]
#include "instrumentlink.h"
#include "protocol.h"
#include "silentprompts.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QSerialPort>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

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

double MedianOf(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double Median(const std::vector<Figures>& rounds, double Figures::*field)
{
    std::vector<double> values;
    for (const Figures& f : rounds)
        values.push_back(f.*field);
    return MedianOf(values);
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
    const int count = argc > 1 ? std::atoi(argv[1]) : 300;
    const int baud = argc > 2 ? std::atoi(argv[2]) : 38400;
    QProcess sim;
    sim.start(QCoreApplication::applicationDirPath() + "/../bin/q900sim",
              {"--baud", QString::number(baud)});
    if (!sim.waitForStarted(3000) || !sim.waitForReadyRead(3000)) {
        std::fprintf(stderr, "cannot start q900sim\n");
        return 1;
    }
    const QString path = QString::fromLocal8Bit(sim.readLine()).trimmed();

    // Rounds taking turns, so that both loops meet the same moments of a busy machine (the
    // CPU a paced line costs falls when the program wakes late and finds several bytes); each
    // figure is the median over the rounds, each ratio the median of the rounds' ratios.
    const int rounds = 5;
    const int perRound = std::max(1, count / rounds);
    std::vector<Figures> bareRounds, ourRounds;
    TSilentPrompts prompts;
    TInstrumentLink link(prompts);
    TPortChoice choice;
    choice.portName = path;
    choice.cable = TPortChoice::RS232;
    choice.address = 1;
    choice.baud = serialports::BaudIndexOf(baud);
    QString reply;
    for (int round = 0; round < rounds; ++round) {
        {
            QSerialPort port(path);
            if (!port.open(QIODevice::ReadWrite))
                return 1;
            port.setBaudRate(baud);
            BareExchange(port);
            bareRounds.push_back(Measure(perRound, [&] { return BareExchange(port); }));
        }
        if (!link.Open(choice).isEmpty())
            return 1;
        TReply last;
        const auto exchange = [&] {
            last = link.SendCommand(TRequest::Read(protocol::reg::LogSample));
            return last.Ok();
        };
        exchange();
        ourRounds.push_back(Measure(perRound, exchange));
        reply = last.record.Build();
        link.Close();
    }
    sim.terminate();
    sim.waitForFinished(2000);

    const int chars = 11 + static_cast<int>(reply.size()) + 2;
    const double lineLimit = baud / (chars * 10.0);
    std::vector<double> rate, cpu;
    for (int i = 0; i < rounds; ++i) {
        rate.push_back(ourRounds[i].perSecond / bareRounds[i].perSecond);
        cpu.push_back(ourRounds[i].cpuMicros / bareRounds[i].cpuMicros);
    }
    const Figures bare{Median(bareRounds, &Figures::perSecond),
                       Median(bareRounds, &Figures::cpuMicros)};
    const Figures ours{Median(ourRounds, &Figures::perSecond),
                       Median(ourRounds, &Figures::cpuMicros)};
    std::printf("log-sample reads at %d baud, %d rounds of %d exchanges each, medians "
                "(%d characters per exchange)\n",
                baud, rounds, perRound, chars);
    std::printf("line-rate limit        : %8.1f exchanges/s\n", lineLimit);
    std::printf("bare QSerialPort loop  : %8.1f exchanges/s, %7.1f us CPU per exchange\n",
                bare.perSecond, bare.cpuMicros);
    std::printf("link SendCommand       : %8.1f exchanges/s, %7.1f us CPU per exchange\n",
                ours.perSecond, ours.cpuMicros);
    std::printf("engine / baseline      : %8.3f of the rate, %7.2f x the CPU\n", MedianOf(rate),
                MedianOf(cpu));
    return prompts.count == 0 ? 0 : 1;
}
