#include "serialclient.h"
#include "simpty.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

TSimOptions QuietOptions()
{
    TSimOptions options;
    options.instrument.cell.noiseDivisions = 0;
    return options;
}

} // namespace

TEST(SimPty, AnswersOverAQSerialPortInRawMode)
{
    TSimPty sim(QuietOptions());
    QString path, error;
    ASSERT_TRUE(sim.Open(&path, &error)) << error.toStdString();
    EXPECT_EQ(path, sim.SlavePath());
    struct stat info
    {
    };
    ASSERT_EQ(::stat(path.toLocal8Bit().constData(), &info), 0);
    EXPECT_TRUE(S_ISCHR(info.st_mode));
    SerialClient client;
    ASSERT_TRUE(client.Open(path)) << client.port.errorString().toStdString();
    // Cooked input would have turned the CR into a second LF.
    EXPECT_EQ(client.Exchange("20110005:\r\n"), "A0110005:058CF349\r\n");
    EXPECT_EQ(sim.Line().RequestCount(0x0005), 1);
}

TEST(SimPty, ClientMayCloseAndOpenTheLineAgain)
{
    TSimPty sim(QuietOptions());
    QString path;
    ASSERT_TRUE(sim.Open(&path, nullptr));
    for (int round = 0; round < 3; ++round) {
        SerialClient client;
        ASSERT_TRUE(client.Open(path));
        EXPECT_EQ(client.Exchange("20110001:\r\n"), "A0110001:V2.10\r\n") << round;
    }
    EXPECT_TRUE(sim.IsOpen());
    sim.Close();
    EXPECT_FALSE(sim.IsOpen());
}

TEST(SimPty, InstrumentsOnTheRingAreReachableInProcess)
{
    TSimOptions options = QuietOptions();
    options.addresses = {1, 5, 7};
    options.line.ring = true;
    options.instrument.initialLoadKg = 42;
    TSimPty sim(options);
    QString path;
    ASSERT_TRUE(sim.Open(&path, nullptr));
    sim.Instrument(7).PlaceLoad(100);
    EXPECT_EQ(sim.Instrument(5).Address(), 5);
    EXPECT_EQ(&sim.Instrument(0), &sim.Instrument(1));
    SerialClient client;
    ASSERT_TRUE(client.Open(path));
    EXPECT_EQ(client.Exchange("\x12"
                              "25050025:\r\n\x14",
                              "\x14"),
              "\x12"
              "25050025:\r\nA5050025:42.0 kg G\r\n\x14");
}

TEST(SimPty, StateFileIsLoadedAndSavedOnStore)
{
    QTemporaryDir dir;
    TSimOptions options = QuietOptions();
    options.stateFile = dir.filePath("state.json");
    {
        TSimPty sim(options);
        QString path;
        ASSERT_TRUE(sim.Open(&path, nullptr));
        SerialClient client;
        ASSERT_TRUE(client.Open(path));
        EXPECT_EQ(client.Exchange("2012001A:457\r\n"), "A012001A:457\r\n");
        EXPECT_EQ(client.Exchange("20120225:KEPT\r\n"), "A0120225:KEPT\r\n");
        EXPECT_FALSE(QFile::exists(options.stateFile)) << "only a store writes the file";
        EXPECT_EQ(client.Exchange("20100010:\r\n"), "A0100010:00\r\n");
        EXPECT_TRUE(QFile::exists(options.stateFile));
    }
    TSimPty again(options);
    ASSERT_TRUE(again.Open(nullptr, nullptr));
    EXPECT_EQ(again.Instrument().Menu().TextValue(0x0225), "KEPT");

    QFile broken(options.stateFile);
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a state");
    broken.close();
    TSimPty refused(options);
    QString error;
    EXPECT_FALSE(refused.Open(nullptr, &error));
    EXPECT_TRUE(error.contains("state.json"));
    EXPECT_FALSE(refused.IsOpen());
}
