// The record of everything that crossed the link: lines, directions, times and its bound.
#include "trafficrecord.h"

#include "smalldisk.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(TrafficRecord, LinesDirectionsAndTheSavedText)
{
    TTrafficRecord record;
    record.Restart();
    record.AddSent("21110009:\r\n");
    record.AddReceived("A1110009:0000");
    EXPECT_EQ(record.Lines().size(), 1u) << "a received line waits for its end";
    record.AddReceived("00\r\nA11");
    record.AddReceived("10005:1;\x02");
    ASSERT_EQ(record.Lines().size(), 3u);
    EXPECT_TRUE(record.Lines()[0].sent);
    EXPECT_EQ(record.Lines()[1].text, "A1110009:000000\r\n");
    EXPECT_FALSE(record.Lines()[1].sent);
    EXPECT_EQ(record.Lines()[2].text, "A1110005:1;") << "a ';' ends a line as on the screen";
    EXPECT_LE(record.Lines()[0].ms, record.Lines()[2].ms);

    const QStringList saved = record.Text().split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(saved.size(), 4) << "the unfinished line is saved too";
    EXPECT_TRUE(saved[0].endsWith(" ms >>> 21110009:[CR][LF]")) << saved[0].toStdString();
    EXPECT_TRUE(saved[1].endsWith(" ms <<< A1110009:000000[CR][LF]"));
    EXPECT_TRUE(saved[3].endsWith(" ms <<< [STX]"));

    record.Restart();
    EXPECT_TRUE(record.Lines().empty()) << "a new connection starts a new record";
    EXPECT_TRUE(record.Text().isEmpty());
}

// A day of polling must not eat the memory: the oldest lines go first.
TEST(TrafficRecord, KeepsTheLastHundredThousandLines)
{
    TTrafficRecord record;
    record.Restart();
    for (int i = 0; i < 100010; ++i)
        record.AddReceived(QStringLiteral("A1110009:%1\n").arg(i));
    ASSERT_EQ(record.Lines().size(), TTrafficRecord::kMaxLines);
    EXPECT_EQ(record.Lines().front().text, "A1110009:10\n");
    EXPECT_EQ(record.Lines().back().text, "A1110009:100009\n");
    record.AddReceived(QString(2500, u'x'));
    EXPECT_EQ(record.Lines().back().text.size(), 1000) << "an endless line is cut";
}

TEST(TrafficRecord, SavesThroughATemporaryFile)
{
    QTemporaryDir dir;
    TTrafficRecord record;
    record.Restart();
    record.AddSent("abc;");
    const QString path = dir.filePath("traffic.txt");
    ASSERT_EQ(record.Save(path), "");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().endsWith(" ms >>> abc;\n"));
    EXPECT_TRUE(record.Save(dir.filePath("no/such/folder/t.txt")).startsWith("Cannot write "));
}

TEST(TrafficRecord, FullOrReadOnlyDiskKeepsTheEarlierFile)
{
    TTrafficRecord record;
    record.Restart();
    for (int i = 0; i < 500; ++i)
        record.AddSent("21110009:\r\n");
    SKIP_UNLESS_RUN(OnSmallDisks("traffic.txt", "earlier traffic\n", [&](TSmallDisk& disk) {
        return record.Save(disk.Path("traffic.txt"));
    }));
}
