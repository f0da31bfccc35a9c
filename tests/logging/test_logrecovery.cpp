// The recovery file of a live run: what is appended survives without a clean end, is found
// again by a later start, and goes once the run's data was saved or discarded. The log file
// written as a run goes, which the recovery file and q900ctl's log are.
#include "logrecovery.h"
#include "logsampler.h"
#include "logstream.h"
#include "smalldisk.h"
#include "tracestore.h"

#include <QFile>
#include <QTemporaryDir>

#include "printqstring.h"

#include <gtest/gtest.h>

namespace {

TLogHeader Header()
{
    TLogHeader header;
    header.units = QStringLiteral("kg");
    header.selection = {1, 0, 0, 4};
    return header;
}

TLogPoint Point(double time, double weight)
{
    TLogPoint point;
    point.time = time;
    point.weight = weight;
    point.digital[0] = 1.0;
    point.digital[3] = 4.5;
    return point;
}

class LogRecoveryTest : public ::testing::Test
{
protected:
    QString Folder() const { return m_dir.path(); }

    QTemporaryDir m_dir;
};

TEST_F(LogRecoveryTest, FlushedRowsAreAReadableLogFileWhileTheRunGoesOn)
{
    TLogRecovery recovery(Folder());
    ASSERT_TRUE(recovery.Begin(QStringLiteral("run 1"), Header(), 2).ok);
    recovery.Append(Point(0.0, 1.5));
    recovery.Append(Point(0.1, -2.25));
    ASSERT_TRUE(recovery.Flush().ok);

    QFile file(recovery.FilePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "run 1\r\n"
                              "Time,Weight(kg),CofZ,Net\r\n"
                              "0.00,1.50,1.00,0.00\r\n"
                              "0.10,-2.25,1.00,0.00\r\n");
    EXPECT_TRUE(TLogRecovery::FindLeftOver(Folder()).isEmpty()) << "its run is still going";
}

TEST_F(LogRecoveryTest, LargeBuffersAreWrittenWithoutWaitingForFlush)
{
    TLogRecovery recovery(Folder());
    ASSERT_TRUE(recovery.Begin({}, Header(), 0).ok);
    for (int i = 0; i < 10000; ++i)
        recovery.Append(Point(i * 0.1, i));
    EXPECT_GT(QFile(recovery.FilePath()).size(), 64 * 1024);
}

TEST_F(LogRecoveryTest, RunThatDidNotEndNormallyIsFoundAndReadBack)
{
    {
        TLogRecovery recovery(Folder());
        ASSERT_TRUE(recovery.Begin(QStringLiteral("lost"), Header(), 1).ok);
        for (int i = 0; i < 5; ++i)
            recovery.Append(Point(i, i * 10.0));
        // No Close() and no Discard(): the program went away.
    }
    const QString path = TLogRecovery::FindLeftOver(Folder());
    ASSERT_FALSE(path.isEmpty());
    TTraceStore store;
    const auto result = logfile::Read(path, store);
    ASSERT_TRUE(result.ok && result.headerRead);
    EXPECT_EQ(result.comment, "lost");
    EXPECT_EQ(store.PointCount(traces::Weight), 5);
    EXPECT_EQ(store.Point(traces::Weight, 4).value, 40.0);
    EXPECT_EQ(store.PointCount(2), 5) << "channel 4's column reads onto trace 2";

    EXPECT_TRUE(TLogRecovery::RemoveLeftOver(Folder()));
    EXPECT_TRUE(TLogRecovery::FindLeftOver(Folder()).isEmpty());
}

TEST_F(LogRecoveryTest, StoppedRunStaysUntilItsDataIsSavedOrDiscarded)
{
    TLogRecovery recovery(Folder());
    ASSERT_TRUE(recovery.Begin({}, Header(), 0).ok);
    recovery.Append(Point(0, 1));
    ASSERT_TRUE(recovery.Close().ok);
    EXPECT_FALSE(recovery.IsOpen());
    EXPECT_TRUE(QFile::exists(recovery.FilePath()));
    EXPECT_TRUE(TLogRecovery::FindLeftOver(Folder()).isEmpty()) << "still this program's";
    recovery.Discard();
    EXPECT_FALSE(QFile::exists(recovery.FilePath()));
    EXPECT_TRUE(TLogRecovery::FindLeftOver(Folder()).isEmpty());
}

TEST_F(LogRecoveryTest, NewRunReplacesTheOldFile)
{
    TLogRecovery recovery(Folder());
    ASSERT_TRUE(recovery.Begin(QStringLiteral("first"), Header(), 0).ok);
    for (int i = 0; i < 100; ++i)
        recovery.Append(Point(i, i));
    ASSERT_TRUE(recovery.Close().ok);
    ASSERT_TRUE(recovery.Begin(QStringLiteral("second"), Header(), 0).ok);
    QFile file(recovery.FilePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "second\r\nTime,Weight(kg),CofZ,Net\r\n");
}

TEST_F(LogRecoveryTest, FolderThatCannotBeWrittenIsReported)
{
    TLogRecovery recovery(m_dir.filePath("missing/folder"));
    const auto result = recovery.Begin({}, Header(), 0);
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.message.isEmpty());
    recovery.Append(Point(0, 1)); // harmless without a file
    EXPECT_TRUE(recovery.Flush().ok);
}

// A new run's file replaces the old one only once it is whole.
TEST(LogRecoveryOnSmallDisk, OldFileStaysWhenTheNewOneCannotBeStarted)
{
    SKIP_UNLESS_RUN(OnSmallDisks(TLogRecovery::FileName(), "earlier run\r\n", [](TSmallDisk& disk) {
        TLogRecovery recovery(disk.Path({})); // its lock file goes with it
        return recovery.Begin(QString(5000, u'c'), Header(), 1).message;
    }));
}

// Rows a full disk never took are lost at Close(), but the file ends at a whole row.
TEST(LogStreamOnSmallDisk, FileLeftFullEndsAtAWholeRow)
{
    TSmallDisk disk;
    if (!disk.whyNot.empty())
        GTEST_SKIP() << disk.whyNot;
    TLogStream stream;
    ASSERT_TRUE(stream.Begin(disk.Path("run.csv"), QString(4000, u'c'), Header(), 2).ok);
    ASSERT_TRUE(disk.Bring(TDiskState::Full));
    for (int i = 0; i < 300; ++i)
        stream.Append(Point(i * 0.1, i));
    EXPECT_EQ(stream.Close().message, "No space left on device");
    QFile file(disk.Path("run.csv"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().endsWith(".00,0.00\r\n"));
}

TEST_F(LogRecoveryTest, NoFileNoLeftOver)
{
    EXPECT_TRUE(TLogRecovery::FindLeftOver(Folder()).isEmpty());
    EXPECT_FALSE(TLogRecovery::RemoveLeftOver(Folder()));
}

} // namespace

// Row by row as the run goes, the file is the one the viewer's Save writes from the chart.
TEST(LogStream, FlushedRowsMakeTheViewersLogFile)
{
    QTemporaryDir dir;
    TLogHeader header;
    header.units = "kg";
    header.selection = {1, 0, 5, 0};
    TLogStream stream;
    ASSERT_TRUE(stream.Begin(dir.filePath("run"), "Line 1\nLine 2", header, 1).ok);
    EXPECT_EQ(stream.Path(), dir.filePath("run.CSV"));
    TTraceStore chart;
    for (int i = 0; i < 5; ++i) {
        TLogPoint point;
        point.time = 0.1 * i;
        point.weight = 12.3 + i;
        point.digital[0] = logchannels::Baseline(1) + (i % 2);
        point.digital[2] = logchannels::Baseline(3);
        stream.Append(point);
        chart.AddPoint(traces::Weight, point.time, point.weight);
        chart.AddPoint(1, point.time, *point.digital[0]);
        chart.AddPoint(3, point.time, *point.digital[2]);
        if (i == 2) {
            ASSERT_TRUE(stream.Flush().ok);
        }
    }
    QFile partial(stream.Path());
    ASSERT_TRUE(partial.open(QIODevice::ReadOnly));
    EXPECT_EQ(partial.readAll().count('\n'), 5) << "comment, header and three rows flushed";
    ASSERT_TRUE(stream.Close().ok);
    EXPECT_EQ(stream.Rows(), 5);

    header.live = true;
    ASSERT_TRUE(logfile::Write(dir.filePath("viewer.csv"), "Line 1\nLine 2", header, 1, chart).ok);
    QFile mine(stream.Path());
    QFile viewer(dir.filePath("viewer.csv"));
    ASSERT_TRUE(mine.open(QIODevice::ReadOnly) && viewer.open(QIODevice::ReadOnly));
    EXPECT_EQ(mine.readAll(), viewer.readAll());
}

TEST(LogStream, AnUnwritableFileSaysWhy)
{
    TLogStream stream;
    const TLogFileResult begun = stream.Begin("/nonexistent-folder/run.csv", {}, {}, 0);
    EXPECT_FALSE(begun.ok);
    EXPECT_TRUE(begun.message.contains("Cannot write")) << begun.message.toStdString();
}
