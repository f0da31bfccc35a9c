// q900ctl on several ports at once: three simulated instruments on three pseudo-terminals
// backed up in one command, each port into its folder, with one summary; a port that fails
// stops none of the others and gives the exit code.
#include "ctlrunner.h"

#include <QJsonArray>
#include <QTemporaryDir>

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
