// The main window on a serial device server's port: the display polled as on a cable, and a
// killed server waited for and reconnected to by itself when it is started again.
#include "deviceserver.h"
#include "windowfixture.h"

namespace {

class WindowOverNetwork : public WindowOnSimulator,
                          public ::testing::WithParamInterface<TDeviceServer::TKind>
{
protected:
    int Polls() { return sim->Line().RequestCount(protocol::reg::Display); }
    // Polls sent in two seconds.
    int PollsInTwoSeconds()
    {
        const int before = Polls();
        RunFor(2000);
        return Polls() - before;
    }
};

} // namespace

TEST_P(WindowOverNetwork, PollsTheDisplayAndReconnectsToARestartedServer)
{
    options.instrument.cell.noiseDivisions = 0;
    sim = std::make_unique<TSimPty>(options);
    QString error;
    ASSERT_TRUE(sim->Open(&portPath, &error)) << error.toStdString();
    TDeviceServer server(GetParam(), portPath);
    if (!server.Missing().isEmpty())
        GTEST_SKIP() << server.Missing().toStdString();
    ASSERT_EQ(server.Start(), "");
    TPortChoice choice;
    choice.portName = server.Url();
    choice.cable = TPortChoice::RS232;
    choice.address = 1;
    ASSERT_TRUE(window->ConnectWith(choice)) << Messages().toStdString();
    EXPECT_EQ(window->windowTitle(), "ViewQ900 - Address:1");
    EXPECT_TRUE(RunUntil([&] { return Identity().startsWith("Adr:1, SN:93123401"); }));
    EXPECT_GE(PollsInTwoSeconds(), 19) << "ten a second, as on a cable";

    server.Kill();
    ASSERT_TRUE(RunUntil([&] { return !window->Connected(); }, 5000));
    EXPECT_TRUE(RunUntil([&] { return Identity().contains("waiting for it to return"); }))
        << Identity().toStdString();
    EXPECT_TRUE(Identity().startsWith("The connection to " + server.Url() + " was lost: "))
        << Identity().toStdString();
    RunFor(1000); // a few tries against the dead server

    ASSERT_EQ(server.Start(), "");
    ASSERT_TRUE(RunUntil([&] { return window->Connected(); }, 5000)) << "no click needed";
    EXPECT_TRUE(RunUntil([&] { return Identity().startsWith("Adr:1, SN:93123401"); }));
    EXPECT_GE(PollsInTwoSeconds(), 19) << "polling resumed";
    EXPECT_EQ(Messages(), "") << "no session was open: nothing to tell";
}

INSTANTIATE_TEST_SUITE_P(Servers, WindowOverNetwork,
                         ::testing::Values(TDeviceServer::Socat, TDeviceServer::Ser2net),
                         [](const auto& info) {
                             return info.param == TDeviceServer::Socat ? "RawTcp" : "Rfc2217";
                         });
