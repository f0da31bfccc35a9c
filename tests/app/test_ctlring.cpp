// q900ctl on a ring: the scan of every address, a backup of each instrument into a file
// named by its serial number, and the scan bar against q900sim at cable speed; and on several
// ports at once.
#include "ctlrunner.h"

#include "protocol.h"
#include "scriptedline.h"

#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>

namespace {

QList<int> Addresses(const QJsonArray& instruments)
{
    QList<int> addresses;
    for (const QJsonValue& instrument : instruments)
        addresses << instrument.toObject()["address"].toInt();
    return addresses;
}

} // namespace

class CtlOnRing : public CtlOnSimulator
{
protected:
    void SetUp() override
    {
        options.addresses = {1, 5, 7};
        options.line.ring = true;
        Start();
    }
    QStringList Ring() const { return {"--port", path, "--cable", "ring"}; }

    QTemporaryDir dir;
};

TEST_F(CtlOnRing, ScanListsEveryInstrumentWithItsIdentity)
{
    const CtlResult scan = RunCtl(Ring() + QStringList{"scan", "--json"});
    ASSERT_EQ(scan.exitCode, 0) << scan.err.toStdString();
    const QJsonArray instruments = scan.Json()["instruments"].toArray();
    EXPECT_EQ(Addresses(instruments), (QList<int>{1, 5, 7}));
    const QStringList serials = {"93123401", "93123402", "93123403"};
    for (qsizetype i = 0; i < instruments.size(); ++i) {
        const QJsonObject identity = instruments.at(i).toObject();
        EXPECT_EQ(identity["serialNumber"].toString(), serials.at(i));
        EXPECT_EQ(identity["model"].toString(), "Q900 Q910");
        EXPECT_EQ(identity["commsVersion"].toString(), "V2.10");
    }
    // Text: one line per instrument.
    const CtlResult text = RunCtl(Ring() + QStringList{"scan"});
    EXPECT_EQ(text.out.count('\n'), 3);
    EXPECT_TRUE(text.out.contains("Address 5: serial number 93123402")) << text.out.toStdString();
}

TEST_F(CtlOnRing, ScanOfASilentLineIsNoAnswer)
{
    ScriptedLine silent; // nothing on the line answers
    const CtlResult none = RunCtl({"--port", silent.SlavePath(), "--cable", "ring", "scan"});
    EXPECT_EQ(none.exitCode, 3);
    EXPECT_TRUE(none.err.contains("No instrument answered")) << none.err.toStdString();
    EXPECT_FALSE(none.err.contains("not responding")) << "empty addresses are no fault";
    EXPECT_EQ(silent.received.size(), 3 * protocol::flag::MaxAddress)
        << "a silent address is asked again, as any request is";

    const CtlResult optical = RunCtl({"--port", path, "--cable", "optical", "scan"});
    EXPECT_EQ(optical.exitCode, 2) << "the optical link reaches one instrument only";
}

TEST_F(CtlOnRing, BackupAllWritesOneFilePerSerialNumber)
{
    // Each file must come from its own instrument: the one at address 5 filters differently.
    ASSERT_EQ(RunCtl(Ring() + QStringList{"--address", "5", "write", "0211", "00000006", "--level",
                                          "full", "--passcode", "2222"})
                  .exitCode,
              0);
    const QString folder = dir.filePath("ring");
    const CtlResult backup =
        RunCtl(Ring() + QStringList{"backup", "--all", folder, "--json"}, {"Q900_PASSCODE=2222"});
    ASSERT_EQ(backup.exitCode, 0) << backup.err.toStdString();
    const QJsonArray files = backup.Json()["files"].toArray();
    ASSERT_EQ(files.size(), 3);
    const QStringList serials = {"93123401", "93123402", "93123403"};
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QJsonObject saved = files.at(i).toObject();
        EXPECT_EQ(saved["serialNumber"].toString(), serials.at(i));
        EXPECT_EQ(saved["exitCode"].toInt(), 0);
        QFile file(QDir(folder).filePath(serials.at(i) + ".VSF"));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
        const QByteArray bytes = file.readAll();
        EXPECT_TRUE(bytes.startsWith("1: FULL SETUP\r\n"));
        EXPECT_EQ(bytes.contains("20120211:00000006"), i == 1) << serials.at(i).toStdString();
    }
    // Backed up one by one, the instrument at address 7 gives the same file.
    const CtlResult single =
        RunCtl(Ring() + QStringList{"--address", "7", "backup", dir.filePath("seven.VSF"),
                                    "--passcode", "2222"});
    ASSERT_EQ(single.exitCode, 0) << single.err.toStdString();
    QFile seven(dir.filePath("seven.VSF"));
    QFile fromAll(QDir(folder).filePath("93123403.VSF"));
    ASSERT_TRUE(seven.open(QIODevice::ReadOnly) && fromAll.open(QIODevice::ReadOnly));
    EXPECT_EQ(seven.readAll(), fromAll.readAll());
}

TEST_F(CtlOnRing, RestoreOnARingReachesTheConnectedInstrumentOnly)
{
    const QString file = dir.filePath("one.VSF");
    ASSERT_EQ(RunCtl(Ring() + QStringList{"--address", "1", "backup", file, "--passcode", "2222"})
                  .exitCode,
              0);
    sim->Line().Log().Clear();
    const CtlResult restore =
        RunCtl(Ring() + QStringList{"--address", "7", "restore", file, "--passcode", "2222"});
    EXPECT_EQ(restore.exitCode, 0) << restore.err.toStdString();
    for (const Tcommsobj& request : Received())
        EXPECT_EQ(request.Address, 7) << request.Build().toStdString();
}

// A ring at cable speed with its short time-outs per address: every instrument is still found
// (bench/run holds the time of this scan to its bar).
TEST(CtlScan, RingOfThreeAt9600BaudIsFoundWhole)
{
    QProcess sim;
    sim.start(QDir(QStringLiteral(VIEWER_BIN_DIR)).filePath("q900sim"),
              {"--addresses", "1,5,7", "--baud", "9600", "--noise", "0"});
    ASSERT_TRUE(RunUntil([&] { return sim.canReadLine(); }, 5000));
    const QString device = QString::fromLocal8Bit(sim.readLine()).trimmed();
    const CtlResult scan =
        RunCtl({"--port", device, "--cable", "ring", "--baud", "9600", "scan", "--json"});
    sim.terminate();
    sim.waitForFinished(3000);
    ASSERT_EQ(scan.exitCode, 0) << scan.err.toStdString();
    const QJsonArray instruments = scan.Json()["instruments"].toArray();
    EXPECT_EQ(Addresses(instruments), (QList<int>{1, 5, 7}));
    EXPECT_EQ(instruments.at(2).toObject()["serialNumber"].toString(), "93123403");
}

// A fleet: three instruments on three pseudo-terminals backed up in one command, each port
// into its folder, with one summary; a port that fails stops none of the others and gives
// the exit code.
TEST(CtlFleet, BackupAllOfThreePortsGivesThreeFoldersAndOneSummary)
{
    std::vector<std::unique_ptr<TSimPty>> sims;
    QStringList ports;
    for (uint32_t serial : {93123501u, 93123502u, 93123503u}) {
        TSimOptions options;
        options.instrument.serialNumber = serial;
        sims.push_back(std::make_unique<TSimPty>(options));
        QString path, error;
        ASSERT_TRUE(sims.back()->Open(&path, &error)) << error.toStdString();
        ports << "--port" << path;
    }
    QTemporaryDir dir;
    const QString missing = dir.filePath("unplugged");
    const CtlResult backup =
        RunCtl(ports + QStringList{"--port", missing, "--cable", "rs232", "backup", "--all",
                                   dir.filePath("plant"), "--json"},
               {"Q900_PASSCODE=2222"});
    EXPECT_EQ(backup.exitCode, 3) << "the unplugged port's, the worst";
    const QJsonArray summary = backup.Json()["summary"].toArray();
    ASSERT_EQ(summary.size(), 4) << backup.out.toStdString();
    for (int i = 0; i < 3; ++i) {
        const QJsonObject row = summary.at(i).toObject();
        const QString serial = QString::number(93123501 + i);
        EXPECT_EQ(row["port"].toString(), ports.at(2 * i + 1));
        EXPECT_EQ(row["serialNumber"].toString(), serial);
        EXPECT_EQ(row["result"].toString(), "saved");
        EXPECT_TRUE(QFile::exists(row["file"].toString()));
        EXPECT_TRUE(row["file"].toString().endsWith(serial + ".VSF"));
    }
    EXPECT_EQ(QDir(dir.filePath("plant")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 3)
        << "one folder per port that answered";
    const QJsonObject unplugged = summary.at(3).toObject();
    EXPECT_EQ(unplugged["port"].toString(), missing);
    EXPECT_TRUE(unplugged["result"].toString().startsWith("Cannot open"))
        << backup.out.toStdString();
    EXPECT_TRUE(backup.err.contains(missing + ": Cannot open")) << backup.err.toStdString();
}
