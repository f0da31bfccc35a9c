// The instrument link over serial device servers on this machine, socat (raw TCP) and ser2net
// (RFC 2217) in front of the simulated instrument's pseudo-terminal: the engine's retries
// without a busy wait, the line settings set on the server, and connections that cannot be
// made named with the host and the reason. (The display polls and the reconnection after a
// server restart are the main window's tests.)
#include "deviceserver.h"
#include "instrumentlink.h"
#include "recordingprompts.h"
#include "simpty.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <termios.h>

using namespace protocol;

namespace {

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The simulated instrument behind a device server, and a link to be opened to it.
struct TServedSimulator
{
    TSimOptions options;
    std::unique_ptr<TSimPty> sim;
    QString path;
    std::unique_ptr<TDeviceServer> server;
    RecordingPrompts prompts;
    TInstrumentLink link{prompts};

    // Why the server cannot run here, or empty once it listens.
    QString Start(TDeviceServer::TKind kind, bool listening = true)
    {
        sim = std::make_unique<TSimPty>(options);
        QString error;
        if (!sim->Open(&path, &error))
            return error;
        server = std::make_unique<TDeviceServer>(kind, path);
        const QString missing = server->Missing();
        return missing.isEmpty() && listening ? server->Start() : missing;
    }
    [[nodiscard]] TPortChoice Choice(const QString& url) const
    {
        TPortChoice choice;
        choice.portName = url;
        choice.cable = TPortChoice::RS232;
        choice.address = 1;
        return choice;
    }
};

class OverDeviceServer : public ::testing::TestWithParam<TDeviceServer::TKind>
{
};

} // namespace

TEST_P(OverDeviceServer, UnansweredRequestIsTriedThreeTimesWithoutSpinning)
{
    TServedSimulator s;
    s.options.line.dropShare = 1;
    if (const QString why = s.Start(GetParam()); !why.isEmpty())
        GTEST_SKIP() << why.toStdString();
    ASSERT_EQ(s.link.Open(s.Choice(s.server->Url())), "");
    const double cpu = CpuSeconds();
    EXPECT_EQ(s.link.SendCommand(TRequest::Read(reg::SerialNumber)).outcome, TOutcome::NoReply);
    EXPECT_EQ(s.sim->Line().RequestCount(reg::SerialNumber), 3);
    EXPECT_LT(CpuSeconds() - cpu, 0.5) << "three seconds of waiting cost no CPU";
}

INSTANTIATE_TEST_SUITE_P(Servers, OverDeviceServer,
                         ::testing::Values(TDeviceServer::Socat, TDeviceServer::Ser2net),
                         [](const auto& info) {
                             return info.param == TDeviceServer::Socat ? "RawTcp" : "Rfc2217";
                         });

// The port choice's settings reach the server's serial port: here the pseudo-terminal, whose
// settings the simulator's side sees.
TEST(Rfc2217, SetsTheLineOnTheServer)
{
    TServedSimulator s;
    if (const QString why = s.Start(TDeviceServer::Ser2net); !why.isEmpty())
        GTEST_SKIP() << why.toStdString();
    TPortChoice choice = s.Choice(s.server->Url());
    choice.baud = 3; // 19200
    choice.stop = 1; // 2 stop bits
    ASSERT_EQ(s.link.Open(choice), "");
    const int fd = ::open(s.path.toLocal8Bit().constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    termios line{};
    ASSERT_EQ(tcgetattr(fd, &line), 0);
    ::close(fd);
    EXPECT_EQ(cfgetospeed(&line), speed_t(B19200));
    EXPECT_TRUE(line.c_cflag & CSTOPB);
    EXPECT_TRUE(s.link.SendCommand(TRequest::Read(reg::SerialNumber)).Ok());
}

// Nothing listening, and an RFC 2217 port asked of a raw one: the message names the host, the
// port and the reason, and the wait for an answer costs no CPU.
TEST(NetworkPorts, RefusalsNameTheHostAndTheReason)
{
    const struct
    {
        bool listening;     // socat runs on the port
        const char* scheme; // what the link asks for
        const char* reason;
    } table[] = {{false, "tcp", "Connection refused."},
                 {true, "rfc2217",
                  "the server did not take up the COM port control of RFC 2217 within 5 s; for a "
                  "raw TCP port use tcp://127.0.0.1:"}};
    for (const auto& row : table) {
        TServedSimulator s;
        if (const QString why = s.Start(TDeviceServer::Socat, row.listening); !why.isEmpty())
            GTEST_SKIP() << why.toStdString();
        const quint16 port = s.server->Port();
        const double cpu = CpuSeconds();
        const QString failure =
            s.link.Open(s.Choice(QStringLiteral("%1://127.0.0.1:%2").arg(row.scheme).arg(port)));
        EXPECT_TRUE(failure.startsWith(
            QStringLiteral("Cannot connect to 127.0.0.1 port %1: %2").arg(port).arg(row.reason)))
            << failure.toStdString();
        EXPECT_FALSE(s.link.IsOpen());
        EXPECT_LT(CpuSeconds() - cpu, 0.5);
    }
}
