// File > Recent Files: what is listed, in which order, what choosing an entry opens, and what
// the next start still lists.
#include "dmviewer.h"
#include "page.h"
#include "recentfiles.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// File commands that show what the test says and remember what they were asked to open.
class FakeFiles : public IFileCommands
{
public:
    QStringList opened;

    void Open1Click() override {}
    void Save1Click() override {}
    void Print1Click(bool) override {}
    void OpenFile(const QString& path) override { opened << path; }
    void Show(const QString& path) { TellFileShown(path); }
};

struct RecentFiles : ::testing::Test
{
    QTemporaryDir dir;
    std::unique_ptr<TdatViewer> config;
    FakeFiles settings;
    FakeFiles log;
    QMenu menu;
    std::unique_ptr<TRecentFiles> recent;
    QStringList current;
    int logShown = 0;

    void SetUp() override
    {
        QFile ini(dir.filePath("config.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[Images]\nInstrument=panel.png\n");
        ini.close();
        Start();
    }
    // A start of the program: the configuration read, the list made from it.
    void Start()
    {
        recent.reset();
        config.reset();
        config = std::make_unique<TdatViewer>(dir.path());
        recent = std::make_unique<TRecentFiles>(*config, menu);
        recent->Track("Settings", settings);
        recent->Track("Log", log, [this] { ++logShown; });
        QObject::connect(recent.get(), &TRecentFiles::Current,
                         [this](const QString& path) { current << path; });
    }
    QString Path(const char* name) const { return dir.filePath(name); }
    QStringList MenuTexts() const
    {
        QStringList texts;
        for (const QAction* item : menu.actions())
            texts << (item->isSeparator() ? "-" : item->text());
        return texts;
    }
};

struct ShownCase
{
    const char* what;
    std::vector<std::pair<bool, const char*>> shown; // log or settings, file name (empty: none)
    QStringList listed;
};

} // namespace

TEST_F(RecentFiles, NewestFirstOnceEachAtMostEight)
{
    const ShownCase cases[] = {
        {"newest first", {{false, "a.VSF"}, {true, "b.CSV"}}, {"b.CSV", "a.VSF"}},
        {"used again: to the top, once",
         {{false, "a.VSF"}, {true, "b.CSV"}, {false, "a.VSF"}},
         {"a.VSF", "b.CSV"}},
        {"a new run shows no file and lists none", {{true, "b.CSV"}, {true, ""}}, {"b.CSV"}},
        {"the oldest goes after eight",
         {{true, "1.CSV"},
          {true, "2.CSV"},
          {true, "3.CSV"},
          {true, "4.CSV"},
          {true, "5.CSV"},
          {true, "6.CSV"},
          {true, "7.CSV"},
          {true, "8.CSV"},
          {true, "9.CSV"}},
         {"9.CSV", "8.CSV", "7.CSV", "6.CSV", "5.CSV", "4.CSV", "3.CSV", "2.CSV"}},
    };
    for (const ShownCase& c : cases) {
        QTemporaryDir empty; // no configuration on disk: the list lives in memory
        TdatViewer fresh(empty.path());
        TRecentFiles list(fresh, menu);
        list.Track("Settings", settings);
        list.Track("Log", log);
        for (const auto& [isLog, name] : c.shown)
            (isLog ? log : settings).Show(*name ? Path(name) : QString());
        QStringList expected;
        for (const QString& name : c.listed)
            expected << Path(name.toLatin1().constData());
        EXPECT_EQ(list.Files(), expected) << c.what;
    }
}

TEST_F(RecentFiles, ChosenEntryOpensWithItsOwnCommandsAndOutlivesARestart)
{
    settings.Show(Path("backup & co.VSF"));
    log.Show(Path("run.CSV"));
    EXPECT_EQ(current, (QStringList{Path("backup & co.VSF"), Path("run.CSV")}));
    Start();
    EXPECT_EQ(recent->Files(), (QStringList{Path("run.CSV"), Path("backup & co.VSF")}));
    EXPECT_EQ(MenuTexts(),
              (QStringList{"&1 run.CSV", "&2 backup && co.VSF", "-", "&Clear Recent Files"}));
    EXPECT_EQ(menu.actions()[0]->statusTip(), Path("run.CSV")) << "the whole path";

    menu.actions()[1]->trigger();
    EXPECT_EQ(settings.opened, QStringList{Path("backup & co.VSF")});
    EXPECT_TRUE(log.opened.isEmpty());
    EXPECT_EQ(logShown, 0);
    menu.actions()[0]->trigger();
    EXPECT_EQ(log.opened, QStringList{Path("run.CSV")});
    EXPECT_EQ(logShown, 1) << "the Log tab comes to the front first";

    menu.actions()[3]->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(MenuTexts(), QStringList{"No recent files"});
    EXPECT_FALSE(menu.actions()[0]->isEnabled());
    Start();
    EXPECT_TRUE(recent->Files().isEmpty()) << "cleared for good";
}
