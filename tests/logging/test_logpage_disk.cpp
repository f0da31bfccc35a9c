// The Log page's files when things go wrong: a Save, a print or an export that fails on a full
// disk keeps the earlier file and the run's recovery file and says why; a recovery file whose
// disk fills never holds a run up; a file that is refused is told with no progress window over
// the message.
#include "logpagefixture.h"

#include "smalldisk.h"

#include <QProgressDialog>
#include <QSignalSpy>

namespace {

const QByteArray kEarlier = "an earlier run\r\nTime,Weight(kg)\r\n0.00,1.0\r\n";

class LogSaveOnSmallDisk : public LogPageOnSimulator,
                           public ::testing::WithParamInterface<TDiskState>
{
};

// The unsaved data of a run that did not end normally, kept in its recovery file.
QByteArray LeftOverRun(int rows)
{
    QByteArray bytes = "left over\r\nTime,Weight(kg),CofZ\r\n";
    for (int i = 0; i < rows; ++i)
        bytes += QByteArray::number(i * 0.1, 'f', 2) + ",12.5,1.00\r\n";
    return bytes;
}

TEST_P(LogSaveOnSmallDisk, EarlierFileAndTheRecoveryFileStay)
{
    TSmallDisk disk;
    REQUIRE_SMALL_DISK(disk);
    ASSERT_TRUE(disk.Put("run.CSV", kEarlier));
    Start();
    WriteFile(RecoveryPath(), LeftOverRun(400)); // 8 kB of rows
    rig->prompts.answers = {0};                  // Open
    ASSERT_TRUE(Page().OfferLeftOverRun({}));
    ASSERT_TRUE(disk.Bring(GetParam()));
    rig->prompts.messages.clear();
    rig->prompts.fileNames = {disk.Path("run.CSV")};
    Page().Save1Click();
    ASSERT_EQ(rig->prompts.messages.size(), 2) << rig->prompts.messages.join('|').toStdString();
    disk.ExpectEarlierKept("run.CSV", kEarlier, rig->prompts.messages[1], GetParam());
    EXPECT_EQ(Lines(RecoveryPath()).size(), 402) << "the run is still kept";
    rig->prompts.answers = {2}; // Cancel
    EXPECT_FALSE(Page().CanClose()) << "still unsaved";
}

INSTANTIATE_TEST_SUITE_P(Disks, LogSaveOnSmallDisk,
                         ::testing::Values(TDiskState::Full, TDiskState::Room4k,
                                           TDiskState::ReadOnly));

class LogPrintOnSmallDisk : public LogPageOnSimulator,
                            public ::testing::WithParamInterface<TDiskState>
{
};

// Printed to a file, the page is made in memory and the file written whole or not at all.
TEST_P(LogPrintOnSmallDisk, EarlierFileStaysWhole)
{
    TSmallDisk disk;
    REQUIRE_SMALL_DISK(disk);
    ASSERT_TRUE(disk.Put("printed.pdf", "earlier document"));
    printPath = disk.Path("printed.pdf");
    Start();
    ASSERT_TRUE(disk.Bring(GetParam()));
    Page().Print1Click(false);
    ASSERT_EQ(rig->prompts.messages.size(), 1) << rig->prompts.messages.join('|').toStdString();
    disk.ExpectEarlierKept("printed.pdf", "earlier document", rig->prompts.messages[0], GetParam());
}

INSTANTIATE_TEST_SUITE_P(Disks, LogPrintOnSmallDisk,
                         ::testing::Values(TDiskState::Full, TDiskState::Room4k,
                                           TDiskState::ReadOnly));

double LongestGap(const TLogChart& chart)
{
    double gap = 0.0;
    for (qsizetype i = 1; i < chart.PointCount(traces::Weight); ++i)
        gap = std::max(gap, chart.Point(traces::Weight, i).time -
                                chart.Point(traces::Weight, i - 1).time);
    return gap;
}

} // namespace

// The disk fills while a 10 Hz run records: no box opens, sampling goes on without a gap, the
// Log tab and the status bar say why, and once there is room the file catches up.
TEST_F(LogPageOnSimulator, RecoveryDiskFillingDuringATenHertzRunHoldsNothingUp)
{
    TSmallDisk disk;
    REQUIRE_SMALL_DISK(disk);
    dataFolder = disk.Path({});
    Start();
    // The head fills most of the file's first page, so that the rows soon need another.
    Child<QLabel>(&Page(), "LblLogComment")->setText(QString(4000, u'c'));
    QSignalSpy told(&Page(), &TLogPage::RecoveryTroubleChanged);
    auto* shown = Child<QLabel>(&Page(), "LblRecovery");
    AnswerLogDialog(0, {1, 0, 0, 0});
    bool full = false;
    bool roomMade = false;
    qsizetype pointsWhenTold = -1;
    rig->Run([&] {
        if (!full && Points() > 0)
            full = disk.Bring(TDiskState::Full);
        if (pointsWhenTold < 0 && shown->isVisible())
            pointsWhenTold = Points();
        if (pointsWhenTold >= 0 && !roomMade && Points() >= pointsWhenTold + 30)
            roomMade = disk.MakeRoom();
        return roomMade && !shown->isVisible();
    });
    EXPECT_TRUE(rig->prompts.messages.isEmpty()) << rig->prompts.messages.join('|').toStdString();
    ASSERT_GE(pointsWhenTold, 0) << "the trouble was shown on the Log tab";
    ASSERT_GE(told.size(), 2);
    EXPECT_TRUE(told.first().first().toString().contains("No space left on device"));
    EXPECT_TRUE(told.last().first().toString().isEmpty()) << "caught up";
    EXPECT_LE(LongestGap(Chart()), 1.0) << "sampling never waited";
    ASSERT_TRUE(RunUntil([&] { return Lines(RecoveryPath()).size() == Points() + 2; }, 3000))
        << Lines(RecoveryPath()).size() << " lines for " << Points() << " samples";
}

TEST_F(LogPageOnSimulator, RefusedFileIsToldOnceTheProgressWindowIsGone)
{
    Start();
    const QString path = dir.filePath("bad.csv");
    WriteFile(path, LeftOverRun(3) + "0.30,NaN,1.00\r\n");
    int progressWindows = -1;
    rig->prompts.whileShown = [&](const QString&) {
        progressWindows = int(Page().findChildren<QProgressDialog*>().size());
    };
    rig->prompts.fileNames = {path};
    Page().Open1Click();
    ASSERT_EQ(rig->prompts.messages.size(), 2) << rig->prompts.messages.join('|').toStdString();
    EXPECT_TRUE(rig->prompts.messages[1].contains("line 6 holds NaN"));
    EXPECT_EQ(progressWindows, 0) << "none over the message box, taking its clicks";
}
