// The instrument link over serial device servers on this machine, socat (raw TCP) and ser2net
// (RFC 2217) in front of the simulated instrument's pseudo-terminal: the display polled as on
// a cable, the engine's retries, a killed server as a lost port, the line settings set on the
// server, and connections that cannot be made named with the host and the reason.
#include "deviceserver.h"
#include "eventwait.h"
#include "recordingprompts.h"
#include "simpty.h"

#include "instrumentlink.h"

#include <QElapsedTimer>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <ostream>

#include <fcntl.h>
#include <sys/resource.h>
#include <termios.h>

using namespace protocol;

namespace {

// Polls the display as the Display tab does, counting the replies.
class DisplayPoll : public IActivity
{
public:
    int replies = 0;
    int ActivityCode() const override { return IActivity::Display; }
    std::optional<TPoll> IdlePoll() const override { return TPoll{cmd::ReadValue, reg::Display}; }
    void MessageReceived(const Tcommsobj& m, bool) override { replies += m.Register == 9; }
};

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

class OverDeviceServer : public ::testing::TestWithParam<TDeviceServer::TKind>
{
protected:
    void SetUp() override { options.instrument.cell.noiseDivisions = 0; }
    // Starts the simulator and its server; false when the server's program is missing.
    bool Start()
    {
        sim = std::make_unique<TSimPty>(options);
        QString error;
        EXPECT_TRUE(sim->Open(&path, &error)) << error.toStdString();
        server = std::make_unique<TDeviceServer>(GetParam(), path);
        if (!server->Missing().isEmpty())
            return false;
        const QString started = server->Start();
        EXPECT_EQ(started, "");
        link = std::make_unique<TInstrumentLink>(prompts);
        return started.isEmpty();
    }
    [[nodiscard]] TPortChoice Choice() const
    {
        TPortChoice choice;
        choice.portName = server->Url();
        choice.cable = TPortChoice::RS232;
        choice.address = 1;
        return choice;
    }
    int Received(int reg) { return sim->Line().RequestCount(reg); }

    TSimOptions options;
    std::unique_ptr<TSimPty> sim;
    QString path;
    std::unique_ptr<TDeviceServer> server;
    RecordingPrompts prompts;
    std::unique_ptr<TInstrumentLink> link;
};

// Skips a test whose server is not installed here.
#define START_OR_SKIP()                                                                            \
    do {                                                                                           \
        if (!Start()) {                                                                            \
            GTEST_SKIP() << server->Missing().toStdString();                                       \
        }                                                                                          \
    } while (false)

} // namespace

TEST_P(OverDeviceServer, PollsTheDisplayTenTimesASecond)
{
    START_OR_SKIP();
    ASSERT_EQ(link->Open(Choice()), "");
    EXPECT_EQ(link->PortName(), server->Url());
    DisplayPoll display;
    link->Engine().SetActivity(&display);
    const int before = Received(reg::Display);
    RunFor(3000);
    link->Engine().SetActivity(nullptr);
    const int polls = Received(reg::Display) - before;
    EXPECT_GE(polls, 28) << "one poll a tick, as on a cable";
    EXPECT_GE(display.replies, polls - 1);
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messages.join('|').toStdString();
}

TEST_P(OverDeviceServer, UnansweredRequestIsTriedThreeTimesAsOnACable)
{
    options.line.dropShare = 1;
    START_OR_SKIP();
    ASSERT_EQ(link->Open(Choice()), "");
    const double cpu = CpuSeconds();
    const TReply reply = link->SendCommand(TRequest::Read(reg::SerialNumber));
    EXPECT_EQ(reply.outcome, TOutcome::NoReply);
    EXPECT_EQ(Received(reg::SerialNumber), 3);
    EXPECT_LT(CpuSeconds() - cpu, 0.5) << "three seconds of waiting cost no CPU";
}

TEST_P(OverDeviceServer, KilledServerIsALostPortAndARestartedOneOpensAgain)
{
    START_OR_SKIP();
    ASSERT_EQ(link->Open(Choice()), "");
    QSignalSpy lost(link.get(), &TInstrumentLink::Lost);
    server->Kill();
    ASSERT_TRUE(RunUntil([&] { return lost.count() == 1; }, 5000));
    const QString message = lost.at(0).at(0).toString();
    EXPECT_TRUE(message.startsWith("The connection to " + server->Url() + " was lost: "))
        << message.toStdString();
    EXPECT_FALSE(link->IsOpen());
    EXPECT_TRUE(link->Open(Choice()).contains("Connection refused"));

    ASSERT_EQ(server->Start(), "");
    ASSERT_EQ(link->Open(Choice()), "");
    EXPECT_TRUE(link->SendCommand(TRequest::Read(reg::SerialNumber)).Ok());
}

INSTANTIATE_TEST_SUITE_P(Servers, OverDeviceServer,
                         ::testing::Values(TDeviceServer::Socat, TDeviceServer::Ser2net),
                         [](const auto& info) {
                             return info.param == TDeviceServer::Socat ? "RawTcp" : "Rfc2217";
                         });

// The settings of the port choice reach the server's serial port: here the pseudo-terminal,
// whose settings the simulator's side sees.
TEST_F(OverDeviceServer, Rfc2217SetsTheLineOnTheServer)
{
    sim = std::make_unique<TSimPty>(options);
    QString error;
    ASSERT_TRUE(sim->Open(&path, &error));
    server = std::make_unique<TDeviceServer>(TDeviceServer::Ser2net, path);
    if (!server->Missing().isEmpty())
        GTEST_SKIP() << server->Missing().toStdString();
    ASSERT_EQ(server->Start(), "");
    link = std::make_unique<TInstrumentLink>(prompts);
    TPortChoice choice = Choice();
    choice.baud = 3; // 19200
    choice.stop = 1; // 2 stop bits
    ASSERT_EQ(link->Open(choice), "");
    const int fd = ::open(path.toLocal8Bit().constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    termios line{};
    ASSERT_EQ(tcgetattr(fd, &line), 0);
    ::close(fd);
    EXPECT_EQ(cfgetospeed(&line), speed_t(B19200));
    EXPECT_TRUE(line.c_cflag & CSTOPB);
    EXPECT_EQ(line.c_cflag & CSIZE, tcflag_t(CS8));
    EXPECT_TRUE(link->SendCommand(TRequest::Read(reg::SerialNumber)).Ok());
}

struct TRefusalCase
{
    const char* name;
    TDeviceServer::TKind serverKind; // what listens, when anything does
    bool listening;
    const char* scheme; // what the link asks for
    const char* reason;
};

// Named in test output by its case, not as a dump of the object's bytes.
inline void PrintTo(const TRefusalCase& c, std::ostream* out)
{
    *out << c.name;
}

class Refusals : public ::testing::TestWithParam<TRefusalCase>
{
};

// Nothing listening, and an RFC 2217 port asked of a raw one: the message names the host, the
// port and the reason, and the wait for an answer costs no CPU.
TEST_P(Refusals, NameTheHostAndTheReason)
{
    const TRefusalCase& c = GetParam();
    TSimPty sim(TSimOptions{});
    QString path, error;
    ASSERT_TRUE(sim.Open(&path, &error));
    TDeviceServer server(c.serverKind, path);
    if (!server.Missing().isEmpty())
        GTEST_SKIP() << server.Missing().toStdString();
    if (c.listening) {
        ASSERT_EQ(server.Start(), "");
    }
    RecordingPrompts prompts;
    TInstrumentLink link(prompts);
    TPortChoice choice;
    choice.portName = QStringLiteral("%1://127.0.0.1:%2").arg(c.scheme).arg(server.Port());
    choice.cable = TPortChoice::RS232;
    const double cpu = CpuSeconds();
    const QString failure = link.Open(choice);
    EXPECT_TRUE(failure.startsWith(
        QStringLiteral("Cannot connect to 127.0.0.1 port %1: ").arg(server.Port())))
        << failure.toStdString();
    EXPECT_TRUE(failure.contains(QLatin1String(c.reason))) << failure.toStdString();
    EXPECT_FALSE(link.IsOpen());
    EXPECT_LT(CpuSeconds() - cpu, 0.5);
}

INSTANTIATE_TEST_SUITE_P(
    NetworkPorts, Refusals,
    ::testing::Values(
        TRefusalCase{"NothingListens", TDeviceServer::Socat, false, "tcp", "Connection refused"},
        TRefusalCase{"Rfc2217AskedOfARawPort", TDeviceServer::Socat, true, "rfc2217",
                     "did not take up the COM port control of RFC 2217 within 5 s; for a raw "
                     "TCP port use tcp://127.0.0.1:"}),
    [](const auto& info) { return std::string(info.param.name); });
