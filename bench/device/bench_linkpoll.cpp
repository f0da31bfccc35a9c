// The display polled as the Display tab polls it, over any port the link opens: a serial
// port or a serial device server's (tcp://, rfc2217://). Prints the polls answered per second
// and the mean time from a poll to its reply. Usage: bench_linkpoll PORT [seconds]
#include "instrumentlink.h"
#include "protocol.h"
#include "silentprompts.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>

namespace {

// The Display tab's poll, timing each reply from the poll that asked for it.
class DisplayPoll : public IActivity
{
public:
    explicit DisplayPoll(TCommsEngine& engine)
    {
        QObject::connect(&engine, &TCommsEngine::Sent, [this](const QString& text) {
            if (text.contains(QLatin1String("110009:")))
                m_sent.restart();
        });
    }
    int replies = 0;
    qint64 roundTripNs = 0;
    int ActivityCode() const override { return IActivity::Display; }
    std::optional<TPoll> IdlePoll() const override
    {
        return TPoll{protocol::cmd::ReadValue, protocol::reg::Display};
    }
    void MessageReceived(const Tcommsobj& m, bool) override
    {
        if (m.Register != protocol::reg::Display || !m_sent.isValid())
            return;
        if (replies++ == 0)
            m_run.start();
        m_lastNs = m_run.nsecsElapsed();
        roundTripNs += m_sent.nsecsElapsed();
    }
    // Replies a second from the first to the last, so that connecting counts for nothing.
    [[nodiscard]] double PerSecond() const
    {
        return replies > 1 ? (replies - 1) / (double(m_lastNs) / 1e9) : 0.0;
    }

private:
    QElapsedTimer m_sent;
    QElapsedTimer m_run;
    qint64 m_lastNs = 0;
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_linkpoll PORT [seconds]\n");
        return 2;
    }
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 5;
    TSilentPrompts prompts;
    TInstrumentLink link(prompts);
    TPortChoice choice;
    choice.portName = QString::fromLocal8Bit(argv[1]);
    choice.cable = TPortChoice::RS232;
    choice.address = 1;
    const QString error = link.Open(choice);
    if (!error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    DisplayPoll display(link.Engine());
    link.Engine().SetActivity(&display);
    QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
    app.exec();
    link.Engine().SetActivity(nullptr);
    std::printf("display polls: %.2f/s, round trip %.2f ms, %d messages\n", display.PerSecond(),
                display.replies ? double(display.roundTripNs) / display.replies / 1e6 : 0.0,
                prompts.count);
    return 0;
}
