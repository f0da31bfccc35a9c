// File > Compare with File in the main window: the session's tree, read whole first, against
// a settings file; the differing setting marked in the tree and listed in a dialog that saves
// its list.
#include "windowfixture.h"

#include <QHeaderView>
#include <QPushButton>

namespace {

// The tree's item whose caption starts with `start`.
QTreeWidgetItem* ItemStarting(QTreeWidget* tree, const QString& start)
{
    return tree->findItems(start, Qt::MatchStartsWith | Qt::MatchRecursive).value(0);
}

} // namespace

TEST_F(WindowOnSimulator, CompareWithFileMarksTheChangedSettingAndListsIt)
{
    Connect();
    Action("CompareWithFile1")->trigger();
    EXPECT_EQ(Messages(), "A file is compared with the instrument's settings: start a setup "
                          "session first.");
    prompts.messages.clear();

    // A backup whose FILTER is 1.0 where the instrument's is 0.2.
    ASSERT_TRUE(StartFullSession());
    ExpandAll();
    const QString backup = dir.filePath("backup.VSF");
    prompts.fileNames = {backup};
    Action("Save1")->trigger();
    QFile file(backup);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    const QByteArray bytes = file.readAll();
    file.seek(0);
    file.write(QByteArray(bytes).replace("FILTER   : 0.2\r\n20120211:00000002",
                                         "FILTER   : 1.0\r\n20120211:00000004"));
    file.close();
    // A new session: its menus are unread until the comparison reads them.
    Action("EndSession")->trigger();
    ASSERT_TRUE(StartFullSession());

    const QString report = dir.filePath("report");
    QStringList listed;
    ModalAnswer answer("TFrmCompare", [&](QWidget* dialog) {
        auto* list = Child<QTreeWidget>(dialog, "TvDifferences");
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            for (int c = 0; c < 3; ++c)
                listed << list->topLevelItem(i)->text(c);
        prompts.fileNames = {report};
        Child<QPushButton>(dialog, "BtnSave")->click();
        Child<QPushButton>(dialog, "BtnClose")->click();
    });
    prompts.fileNames = {backup};
    Action("CompareWithFile1")->trigger();
    ASSERT_TRUE(RunUntil([&] { return answer.Answered(); }, 30000));
    EXPECT_EQ(listed, (QStringList{"OPTION > FILTER", "1.0", "0.2"}));
    QFile saved(report + ".txt");
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved.readAll().endsWith("OPTION > FILTER: 1.0 -> 0.2\r\n"));

    QTreeWidgetItem* filter = ItemStarting(Tree(), "FILTER");
    ASSERT_NE(filter, nullptr) << "every menu was read first";
    EXPECT_EQ(filter->text(1), "1.0") << "the file's value beside the instrument's";
    EXPECT_NE(filter->background(0).style(), Qt::NoBrush);
    QTreeWidgetItem* capacity = ItemStarting(Tree(), "CAP");
    ASSERT_NE(capacity, nullptr);
    EXPECT_EQ(capacity->text(1), "");
    EXPECT_EQ(capacity->background(0).style(), Qt::NoBrush);
    EXPECT_FALSE(Tree()->isHeaderHidden());

    // The marks go with the tree.
    Action("EndSession")->trigger();
    EXPECT_TRUE(Tree()->isHeaderHidden());
    EXPECT_EQ(Tree()->columnCount(), 1);
}
