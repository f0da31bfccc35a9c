// The q900sim program as the viewer and a technician start it.
#include "serialclient.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// The program folder of the build the tests belong to.
QString Program()
{
    return QDir(QStringLiteral(VIEWER_BIN_DIR)).filePath("q900sim");
}

class SimProcess
{
public:
    ~SimProcess() { Stop(); }
    // Starts the program and reads the device from its first line.
    QString Start(const QStringList& arguments)
    {
        process.start(Program(), QStringList{"--noise", "0"} + arguments);
        RunUntil([&] { return process.canReadLine() || process.state() == QProcess::NotRunning; });
        return QString::fromLocal8Bit(process.readLine()).trimmed();
    }
    void Stop()
    {
        if (process.state() == QProcess::NotRunning)
            return;
        process.terminate();
        process.waitForFinished(3000);
    }

    QProcess process;
};

} // namespace

TEST(Q900Sim, HelpListsEveryOption)
{
    QProcess help;
    help.start(Program(), {"--help"});
    ASSERT_TRUE(help.waitForFinished(5000));
    EXPECT_EQ(help.exitCode(), 0);
    const QString text = QString::fromLocal8Bit(help.readAllStandardOutput());
    for (const char* option : {"--link",          "--duration",       "--addresses",
                               "--ring",          "--baud",           "--crc",
                               "--require-crc",   "--drop",           "--garble",
                               "--delay",         "--wrong-register", "--cal-time",
                               "--cal-stuck",     "--cal-result",     "--seed",
                               "--log",           "--state",          "--session-timeout",
                               "--safe-passcode", "--full-passcode",  "--serial",
                               "--load",          "--noise",          "--nonlinearity"})
        EXPECT_TRUE(text.contains(option)) << option;
}

TEST(Q900Sim, LinkAnswersTheSerialNumberAndGoesAtExit)
{
    QTemporaryDir dir;
    const QString link = dir.filePath("q900");
    SimProcess sim;
    const QString device = sim.Start({"--link", link});
    ASSERT_TRUE(device.startsWith("/dev/")) << device.toStdString();
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), device);
    {
        SerialClient client;
        ASSERT_TRUE(client.Open(link));
        EXPECT_EQ(client.Exchange("20110005:\r\n"), "A0110005:058CF349\r\n");
    }
    sim.process.terminate();
    ASSERT_TRUE(sim.process.waitForFinished(3000));
    EXPECT_EQ(sim.process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(sim.process.exitCode(), 0);
    EXPECT_FALSE(QFileInfo(link).isSymLink()) << "the link is removed on exit";
}

TEST(Q900Sim, RingOfThreeAnswersOnlyTheAddressedOne)
{
    SimProcess sim;
    const QString device = sim.Start({"--addresses", "1,5,7", "--serial", "1000"});
    SerialClient client;
    ASSERT_TRUE(client.Open(device));
    EXPECT_EQ(client.Exchange("\x12"
                              "27110005:\r\n\x14",
                              "\x14"),
              "\x12"
              "27110005:\r\nA7110005:000003EA\r\n\x14");
}

TEST(Q900Sim, DurationEndsTheRunByItself)
{
    SimProcess sim;
    EXPECT_FALSE(sim.Start({"--duration", "0.2"}).isEmpty());
    ASSERT_TRUE(sim.process.waitForFinished(5000));
    EXPECT_EQ(sim.process.exitCode(), 0);
}

TEST(Q900Sim, BadOptionsAreRefused)
{
    for (const QStringList& arguments : {QStringList{"--drop", "2"},
                                         {"--addresses", "1,1"},
                                         {"--addresses", "32"},
                                         {"--baud", "fast"},
                                         {"--unknown"},
                                         {"stray"}}) {
        QProcess sim;
        sim.start(Program(), arguments);
        ASSERT_TRUE(sim.waitForFinished(5000));
        EXPECT_NE(sim.exitCode(), 0) << arguments.join(' ').toStdString();
        EXPECT_TRUE(sim.readAllStandardOutput().isEmpty()) << "no device line";
        EXPECT_FALSE(sim.readAllStandardError().isEmpty());
    }
}

TEST(Q900Sim, LogAndStateFilesSurviveTheRun)
{
    QTemporaryDir dir;
    const QStringList files{"--log", dir.filePath("traffic.log"), "--state",
                            dir.filePath("state.json")};
    {
        SimProcess sim;
        SerialClient client;
        ASSERT_TRUE(client.Open(sim.Start(files)));
        client.Exchange("20120019:8AE\r\n");
        EXPECT_EQ(client.Exchange("20120201:2\r\n"), "A0120201:00000002\r\n");
        client.Exchange("20100010:\r\n");
    }
    QFile log(dir.filePath("traffic.log"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QByteArray text = log.readAll();
    EXPECT_TRUE(text.contains("<< 20120201:2\n"));
    EXPECT_TRUE(text.contains(">> A0120201:00000002[CR][LF]\n"));

    SimProcess again;
    SerialClient client;
    ASSERT_TRUE(client.Open(again.Start(files)));
    client.Exchange("2012001A:457\r\n");
    EXPECT_EQ(client.Exchange("20050025:\r\n"), "A0050025:0.00 kg G\r\n")
        << "two decimals, as stored";
}

TEST(Q900Sim, ConsoleCommandsMoveTheLoad)
{
    SimProcess sim;
    SerialClient client;
    ASSERT_TRUE(client.Open(sim.Start({})));
    sim.process.write("load 250\n");
    RunUntil([&] { return sim.process.readAllStandardError().contains("load 250 kg"); });
    RunFor(300);
    const QByteArray sample = client.Exchange("20110040:\r\n");
    ASSERT_EQ(sample.size(), 9 + 24 + 2);
    EXPECT_GT(sample.mid(17, 8).toInt(nullptr, 16), 1000) << "the load is on its way";
}
