// The Log page's files when things go wrong: a Save or a print that fails on a full disk keeps
// the earlier file and the run's recovery file and says why; a recovery file whose disk fills
// never holds a run up; a refused file is told with no progress window over the message.
#include "logpagefixture.h"

#include "smalldisk.h"

#include <QProgressDialog>
#include <QSignalSpy>

namespace {

// The unsaved data of a run that did not end normally, kept in its recovery file.
QByteArray LeftOverRun(int rows)
{
    QByteArray bytes = "left over\r\nTime,Weight(kg),CofZ\r\n";
    for (int i = 0; i < rows; ++i)
        bytes += QByteArray::number(i * 0.1, 'f', 2) + ",12.5,1.00\r\n";
    return bytes;
}

} // namespace

TEST_F(LogPageOnSimulator, SaveToAFullOrReadOnlyDiskKeepsTheEarlierAndTheRecoveryFile)
{
    SKIP_UNLESS_RUN(OnSmallDisks("run.CSV", "an earlier run\r\n", [&](TSmallDisk& disk) {
        Start();
        WriteFile(RecoveryPath(), LeftOverRun(400)); // 8 kB of rows
        rig->prompts.answers = {0, 2};               // Open it; later Cancel
        EXPECT_TRUE(Page().OfferLeftOverRun({}));
        rig->prompts.fileNames = {disk.Path("run.CSV")};
        Page().Save1Click();
        EXPECT_EQ(Lines(RecoveryPath()).size(), 402) << "the run is still kept";
        const QString told = rig->prompts.messages.last();
        EXPECT_FALSE(Page().CanClose()) << "still unsaved";
        return told;
    }));
}

// Printed to a file, the page is made in memory and the file written whole or not at all.
TEST_F(LogPageOnSimulator, PrintToAFullOrReadOnlyDiskKeepsTheEarlierFile)
{
    SKIP_UNLESS_RUN(OnSmallDisks("printed.pdf", "earlier document", [&](TSmallDisk& disk) {
        printPath = disk.Path("printed.pdf");
        Start();
        Page().Print1Click(false);
        return rig->prompts.messages.join('|');
    }));
}

// The disk fills while a 10 Hz run records: no box opens, sampling goes on without a gap, the
// Log tab and the status bar say why, and once there is room the file catches up.
TEST_F(LogPageOnSimulator, RecoveryDiskFillingDuringATenHertzRunHoldsNothingUp)
{
    TSmallDisk disk;
    if (!disk.whyNot.empty())
        GTEST_SKIP() << disk.whyNot;
    dataFolder = disk.Path({});
    Start();
    // The head fills most of the file's first page, so that the rows soon need another.
    Child<QLabel>(&Page(), "LblLogComment")->setText(QString(4000, u'c'));
    // A page as wide as that would redraw a chart of 30,000 pixels at every change of layout.
    EXPECT_LT(Page().minimumSizeHint().width(), 1000) << "a long comment never widens the page";
    QSignalSpy told(&Page(), &TLogPage::RecoveryTroubleChanged); // for the status bar
    auto* shown = Child<QLabel>(&Page(), "LblRecovery");
    AnswerLogDialog(0, {1, 0, 0, 0});
    bool full = false, roomMade = false;
    qsizetype pointsWhenTold = 0;
    rig->Run([&] {
        if (!full && Points() > 0)
            full = disk.Bring(TDiskState::Full);
        if (!pointsWhenTold && shown->isVisible())
            pointsWhenTold = Points();
        if (pointsWhenTold && !roomMade && Points() >= pointsWhenTold + 30)
            roomMade = disk.MakeRoom();
        return roomMade && shown->isHidden(); // caught up while running
    });
    ASSERT_TRUE(RunUntil([&] { return Lines(RecoveryPath()).size() == Points() + 2; }, 3000))
        << Lines(RecoveryPath()).size() << " lines for " << Points() << " samples: caught up";
    EXPECT_TRUE(rig->prompts.messages.isEmpty()) << rig->prompts.messages.join('|').toStdString();
    ASSERT_GE(told.size(), 2);
    EXPECT_TRUE(told.first().first().toString().contains("No space left on device"));
    EXPECT_TRUE(told.last().first().toString().isEmpty());
    for (qsizetype i = 1; i < Points(); ++i)
        ASSERT_LE(Chart().Point(0, i).time - Chart().Point(0, i - 1).time, 1.0) << "no gap";
    rig.reset(); // its lock file goes before the disk
}

TEST_F(LogPageOnSimulator, RefusedFileIsToldOnceTheProgressWindowIsGone)
{
    Start();
    WriteFile(dir.filePath("bad.csv"), LeftOverRun(3) + "0.30,NaN,1.00\r\n");
    qsizetype progressWindows = -1;
    rig->prompts.whileShown = [&](const QString&) {
        progressWindows = Page().findChildren<QProgressDialog*>().size();
    };
    rig->prompts.fileNames = {dir.filePath("bad.csv")};
    Page().Open1Click();
    EXPECT_TRUE(rig->prompts.messages.last().contains("line 6 holds NaN"));
    EXPECT_EQ(progressWindows, 0) << "none over the message box, taking its clicks";
}
