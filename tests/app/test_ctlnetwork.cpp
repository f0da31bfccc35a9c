// q900ctl over serial device servers on this machine, in front of a ring of three simulated
// instruments: socat for a raw TCP port, ser2net for an RFC 2217 one. Whatever works on the
// pseudo-terminal works the same over them, to the byte.
#include "ctlrunner.h"
#include "deviceserver.h"

#include "protocol.h"

#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>

namespace {

constexpr int kFilter = 0x0211;
constexpr int kPrintHeader = 0x0225;

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class CtlOverNetwork : public CtlOnSimulator,
                       public ::testing::WithParamInterface<TDeviceServer::TKind>
{
protected:
    void SetUp() override
    {
        options.addresses = {1, 5, 7};
        options.line.ring = true;
        Start();
        server = std::make_unique<TDeviceServer>(GetParam(), path);
        if (!server->Missing().isEmpty())
            GTEST_SKIP() << server->Missing().toStdString();
        ASSERT_EQ(server->Start(), "");
    }
    [[nodiscard]] QStringList Over(const QString& port, int address) const
    {
        return {"--port", port, "--cable", "ring", "--address", QString::number(address)};
    }
    [[nodiscard]] QStringList Net(int address = 5) const { return Over(server->Url(), address); }

    std::unique_ptr<TDeviceServer> server;
    QTemporaryDir dir;
};

} // namespace

TEST_P(CtlOverNetwork, IdentityAndTheScanOfARingOfThree)
{
    const CtlResult identity = RunCtl(Net(5) + QStringList{"identity", "--json"});
    ASSERT_EQ(identity.exitCode, 0) << identity.err.toStdString();
    EXPECT_EQ(identity.Json()["serialNumber"].toString(), "93123402");

    const CtlResult scan = RunCtl({"--port", server->Url(), "--cable", "ring", "scan", "--json"});
    ASSERT_EQ(scan.exitCode, 0) << scan.err.toStdString();
    QList<int> addresses;
    for (const QJsonValue& found : scan.Json()["instruments"].toArray())
        addresses << found.toObject()["address"].toInt();
    EXPECT_EQ(addresses, (QList<int>{1, 5, 7}));
}

TEST_P(CtlOverNetwork, BackupIsTheSameFileAsOverThePtyAndRestoreWritesItBack)
{
    const QString overPty = dir.filePath("pty.VSF");
    const QString overNet = dir.filePath("net.VSF");
    ASSERT_EQ(RunCtl(Over(path, 5) + QStringList{"backup", overPty, "--passcode", "2222"}).exitCode,
              0);
    const CtlResult backup = RunCtl(Net() + QStringList{"backup", overNet, "--passcode", "2222"});
    ASSERT_EQ(backup.exitCode, 0) << backup.err.toStdString();
    EXPECT_FALSE(ReadAll(overNet).isEmpty());
    EXPECT_EQ(ReadAll(overNet), ReadAll(overPty));

    const QString filter = sim->Instrument(5).Menu().RawValue(kFilter);
    ASSERT_EQ(RunCtl(Net() + QStringList{"write", "0211", "00000005", "--level", "full",
                                         "--passcode", "2222"})
                  .exitCode,
              0);
    ASSERT_NE(sim->Instrument(5).Menu().RawValue(kFilter), filter);
    const CtlResult restore = RunCtl(Net() + QStringList{"restore", overNet, "--passcode", "2222"});
    EXPECT_EQ(restore.exitCode, 0) << restore.err.toStdString();
    EXPECT_EQ(sim->Instrument(5).Menu().RawValue(kFilter), filter);
}

INSTANTIATE_TEST_SUITE_P(Servers, CtlOverNetwork,
                         ::testing::Values(TDeviceServer::Socat, TDeviceServer::Ser2net),
                         [](const auto& info) {
                             return info.param == TDeviceServer::Socat ? "RawTcp" : "Rfc2217";
                         });

// The byte 255 is Telnet's IAC: written into a text setting and read back through ser2net it
// must cross escaped both ways and arrive once.
TEST_F(CtlOnSimulator, Rfc2217CarriesTheByte255BothWays)
{
    Start();
    TDeviceServer server(TDeviceServer::Ser2net, path);
    if (!server.Missing().isEmpty())
        GTEST_SKIP() << server.Missing().toStdString();
    ASSERT_EQ(server.Start(), "");
    const QStringList net = {"--port", server.Url(), "--cable", "rs232", "--address", "1"};
    const QString header = QStringLiteral("SCALE \u00ff 1");
    const CtlResult write =
        RunCtl(net + QStringList{"write", "0225", header, "--level", "safe", "--passcode", "1111"});
    ASSERT_EQ(write.exitCode, 0) << write.err.toStdString();
    EXPECT_EQ(sim->Instrument(1).Menu().RawValue(kPrintHeader), header);
    const CtlResult read =
        RunCtl(net + QStringList{"read", "0225", "--level", "safe", "--passcode", "1111"});
    ASSERT_EQ(read.exitCode, 0) << read.err.toStdString();
    EXPECT_EQ(read.out.trimmed(), header);
}
