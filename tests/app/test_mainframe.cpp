#include "about.h"
#include "commsengine.h"
#include "dmviewer.h"
#include "eventwait.h"
#include "findchild.h"
#include "identitypanel.h"
#include "logpage.h"
#include "main.h"
#include "recordingprompts.h"
#include "smalldisk.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

#include <clocale>
#include <gtest/gtest.h>

namespace {

// A program folder with a config.ini and, unless told otherwise, its front-panel picture.
class ProgramDir
{
public:
    explicit ProgramDir(const QByteArray& ini, bool withPicture = true)
    {
        if (!ini.isNull())
            Write("config.ini", ini);
        if (withPicture) {
            QImage panel(100, 49, QImage::Format_RGB32);
            panel.fill(Qt::darkGray);
            panel.save(m_dir.filePath("panel.png"));
        }
    }
    void Write(const QString& name, const QByteArray& text)
    {
        QFile f(m_dir.filePath(name));
        f.open(QIODevice::WriteOnly);
        f.write(text);
    }
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
};

const QByteArray kIni = "[Images]\nInstrument=panel.png\n[About]\nComment2=two\n";

} // namespace

// A main window started from a program folder with a config.ini and its picture.
struct MainFrame : ::testing::Test
{
    ProgramDir dir{kIni};
    TdatViewer config{dir.path()};
    RecordingPrompts prompts_w;
    TFrmMain w{config, {&prompts_w}};

    void SetUp() override { ASSERT_EQ(w.FormCreate(), ""); }
    QAction* Action(const char* name) { return Child<QAction>(&w, name); }
    QWidget* Page(const char* name) { return Child<QWidget>(&w, name); }
    QTabWidget* Tabs() { return Child<QTabWidget>(&w, "PgCMain"); }
    int Activity() { return Child<TCommsEngine>(&w)->Activity(); }
};

TEST(StartUp, FailuresNameTheCause)
{
    ProgramDir noIni(QByteArray(), true);
    TdatViewer c1(noIni.path());
    RecordingPrompts prompts_w1;
    TFrmMain w1(c1, {&prompts_w1});
    EXPECT_EQ(w1.FormCreate(), "The Ini file for this Viewer is corrupt.");

    ProgramDir noImages("[About]\nViewerName=X\n", true);
    TdatViewer c2(noImages.path());
    RecordingPrompts prompts_w2;
    TFrmMain w2(c2, {&prompts_w2});
    EXPECT_EQ(w2.FormCreate(), "The Instrument image file for this Viewer is missing.");

    ProgramDir noPicture(kIni, false);
    TdatViewer c3(noPicture.path());
    RecordingPrompts prompts_w3;
    TFrmMain w3(c3, {&prompts_w3});
    EXPECT_EQ(w3.FormCreate(), "The Instrument image file for this Viewer is missing.");

    EXPECT_EQ(TFrmMain::StartupFailureText("X."), "X.\r\nThe Application will terminate now");
}

TEST_F(MainFrame, InitialStateTabsMenusAndCaption)
{
    EXPECT_EQ(w.windowTitle(), "ViewQ900");
    QTabWidget* tabs = Tabs();
    const QStringList titles = {"Display", "Log"}; // the session's and the Test tab's go
    ASSERT_EQ(tabs->count(), titles.size());
    for (int i = 0; i < tabs->count(); ++i)
        EXPECT_EQ(tabs->tabText(i), titles[i]);
    const auto shown = [&](const char* page) { return tabs->indexOf(Page(page)) >= 0; };
    EXPECT_TRUE(shown("TSDisplay"));
    EXPECT_TRUE(shown("TSLog"));
    EXPECT_FALSE(shown("TSCal"));
    EXPECT_FALSE(shown("TSSettings"));
    EXPECT_FALSE(shown("TSTest"));
    EXPECT_EQ(tabs->currentWidget(), Page("TSDisplay"));

    for (QAction* item : Child<QMenu>(&w, "MenuInstrument")->actions())
        EXPECT_EQ(item->isEnabled(), item == Action("FactoryTestResults1"))
            << item->text().toStdString() << ": only what needs no instrument";
    EXPECT_FALSE(Action("tbStartSession")->isEnabled());
    EXPECT_FALSE(Action("tbEndSession")->isEnabled());
    EXPECT_TRUE(Action("ToolButton4")->isEnabled());
}

TEST_F(MainFrame, CaptionsHintsAndShortcuts)
{
    EXPECT_EQ(Action("ToolButton1")->text(), "&Open");
    EXPECT_EQ(Action("ToolButton1")->toolTip(), "Load settings from file");
    EXPECT_EQ(Action("ToolButton2")->toolTip(), "Save Settings to File");
    EXPECT_EQ(Action("ToolButton4")->text(), "&Connect");
    EXPECT_EQ(Action("ToolButton4")->toolTip(), "Connect to instrument");
    EXPECT_EQ(Action("tbStartSession")->text(), "S&tart Session");
    EXPECT_EQ(Action("tbEndSession")->toolTip(), "End Setup of Instrument");
    EXPECT_EQ(Child<QMenu>(&w, "MenuInstrument")->title(), "&Instrument");
}

// The menus show the desktop's usual keys (the older ones still work), and "..." on each
// command that opens a dialog before it does anything.
TEST_F(MainFrame, MenuItemsShowStandardKeysAndDialogs)
{
    const auto items = [&](const char* menu) {
        QStringList texts;
        for (const QAction* item : Child<QMenu>(&w, menu)->actions()) {
            QStringList keys{item->text()};
            for (const QKeySequence& key : item->shortcuts())
                keys << key.toString();
            texts << keys.join(u' ');
        }
        return texts.join(u'|');
    };
    EXPECT_EQ(items("MenuFile"), "&Open... Ctrl+O F3|Recent &Files|&Save... Ctrl+S|Co&mpare with "
                                 "File...||&Connect...|"
                                 "|&Print... Ctrl+P|Print Pre&view...|E&xport Chart...||&Exit "
                                 "Ctrl+Q Alt+X");
    EXPECT_EQ(items("MenuEdit"), "&Setup Chart...");
    EXPECT_EQ(items("MenuInstrument"),
              "Set &Date/Time...|Custom &Print Format...||S&tart Session...|&End Session||&Safe "
              "Passcode...|&Full Passcode...|&Lock||Factory Test &Results...");
    EXPECT_EQ(items("MenuHelp"), "Help F1|&About...");
}

TEST_F(MainFrame, TabChangesSetActivity)
{
    EXPECT_EQ(Activity(), 1) << "the Display tab is in front";
    Tabs()->setCurrentWidget(Page("TSLog"));
    EXPECT_EQ(Activity(), 2);
    Tabs()->setCurrentWidget(Page("TSDisplay"));
    EXPECT_EQ(Activity(), 1);
}

TEST(IdentityPanel, WarnsOnlyWithText)
{
    TIdentityPanel panel;
    panel.resize(300, 20);
    panel.SetWarning(true);
    EXPECT_FALSE(panel.ShowsWarning()) << "an empty panel stays plain";
    panel.SetText("Adr:1, SN:1234, 910 Version:1.00");
    EXPECT_TRUE(panel.ShowsWarning());
    const QImage shot = panel.grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(2, 2)), QColor(Qt::red));
    panel.SetWarning(false);
    EXPECT_FALSE(panel.ShowsWarning());
}

// The window keeps its minimum but its height is the user's: the panel keeps its proportions
// inside whatever room the tab has.
TEST_F(MainFrame, WindowKeepsMinimumAndPictureProportions)
{
    w.show();
    QWidget* display = Page("TSDisplay");
    QWidget* front = Child<QWidget>(display, "PnlFront");
    QWidget* mimic = Child<QWidget>(display, "DisplayMimic");
    for (const QSize size : {QSize(500, 300), QSize(1200, 500), QSize(700, 900)}) {
        w.resize(size);
        const QSize expected = size.expandedTo({580, 450});
        EXPECT_TRUE(RunUntil([&] { return w.size() == expected; })) << size.width();
        EXPECT_TRUE(RunUntil([&] {
            const QRect panel = mimic->geometry();
            return std::abs(panel.height() - panel.width() * 491 / 1000) <= 1 &&
                   front->rect().contains(panel) &&
                   (panel.width() == front->width() || panel.height() == front->height());
        })) << size.width()
            << "x" << size.height();
    }
}

namespace {

// One run of the program from a folder: its configuration and its main window.
struct ProgramRun
{
    explicit ProgramRun(const QString& folder) : config(folder), w(config, {&prompts})
    {
        EXPECT_EQ(w.FormCreate(), "");
    }
    QWidget* Front() { return Child<QTabWidget>(&w, "PgCMain")->currentWidget(); }
    void Show(const char* page)
    {
        Child<QTabWidget>(&w, "PgCMain")->setCurrentWidget(Child<QWidget>(&w, page));
    }

    TdatViewer config;
    RecordingPrompts prompts;
    TFrmMain w;
};

} // namespace

// What the user made of the window is there again at the next start: its size and the tab in
// front. A session's tab is not there at a start: the Display tab is, and a run without a
// session keeps the settings splitter as it was.
TEST(WindowLayout, KeptAcrossARestart)
{
    const std::tuple<QSize, const char*, const char*> cases[] = {
        {{900, 600}, "TSLog", "TSLog"},
        {{640, 480}, "TSDisplay", "TSDisplay"},
        {{700, 500}, nullptr, "TSDisplay"}, // the Settings tab was in front
    };
    for (const auto& [size, page, front] : cases) {
        ProgramDir dir(kIni + "[Window]\nPage=TSSettings\nSplSettings=200,400\n");
        {
            ProgramRun run(dir.path());
            run.w.show();
            run.w.resize(size);
            ASSERT_TRUE(RunUntil([&] { return run.w.size() == size; }));
            if (page)
                run.Show(page);
            run.w.close();
        }
        ProgramRun run(dir.path());
        run.w.show();
        EXPECT_TRUE(RunUntil([&] { return run.w.size() == size; })) << size.width();
        EXPECT_EQ(run.Front(), Child<QWidget>(&run.w, front));
        EXPECT_EQ(run.config.UserText("Window", "SplSettings"), "200,400");
    }
}

// The title names the file open, and File > Recent Files opens it again after a restart, on
// the tab it belongs to.
TEST(RecentFilesMenu, TitleNamesTheFileAndTheNextStartOpensItAgain)
{
    ProgramDir dir(kIni);
    const QString run = dir.path() + "/run.CSV";
    {
        ProgramRun first(dir.path());
        first.Show("TSLog");
        // Newest first, each file once.
        for (const QString& name : {run, dir.path() + "/other.CSV", run}) {
            first.prompts.fileNames = {name};
            Child<QAction>(&first.w, "Save1")->trigger();
        }
        EXPECT_EQ(first.w.windowTitle(), "run.CSV - ViewQ900");
        first.Show("TSDisplay");
    }
    ProgramRun next(dir.path());
    EXPECT_EQ(next.w.windowTitle(), "ViewQ900") << "nothing open at start";
    auto* recent = Child<QMenu>(&next.w, "MenuRecent");
    EXPECT_EQ(recent->actions()[1]->text(), "&2 other.CSV");
    // From the keyboard: Alt+F, F for Recent Files, 1 for the newest.
    next.w.show();
    QApplication::setActiveWindow(&next.w);
    QTest::keyClick(&next.w, Qt::Key_F, Qt::AltModifier);
    ASSERT_TRUE(RunUntil([] { return QApplication::activePopupWidget() != nullptr; }));
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_F);
    ASSERT_TRUE(RunUntil([&] { return QApplication::activePopupWidget() == recent; }));
    QTest::keyClick(recent, Qt::Key_1);
    EXPECT_EQ(next.Front(), Child<QWidget>(&next.w, "TSLog"));
    EXPECT_EQ(next.w.windowTitle(), "run.CSV - ViewQ900");
}

// The manual is built in: no file to look for, no message, the help window at its contents.
TEST_F(MainFrame, HelpMenuOpensTheBuiltInManualAtItsContents)
{
    Action("muHelp")->trigger();
    EXPECT_TRUE(prompts_w.messages.isEmpty());
    QWidget* help = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->objectName() == QLatin1String("THelpWindow"))
            help = top;
    }
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(Child<QTextBrowser>(help, "TxtPage")->source().fileName(), "index.md");
}

TEST(About, EmptySectionGivesDefaultsAndBuiltInLogo)
{
    ProgramDir dir(kIni);
    TdatViewer config(dir.path());
    TfrmAbout about;
    ASSERT_EQ(about.FormCreate(config), "");
    EXPECT_EQ(about.windowTitle(), "About ViewQ900");
    EXPECT_EQ(Child<QLabel>(&about, "lblViewerName")->text(), "ViewQ900");
    EXPECT_EQ(Child<QLabel>(&about, "lblcomment1")->text(), "");
    EXPECT_EQ(Child<QLabel>(&about, "lblcomment2")->text(), "two");
    EXPECT_EQ(Child<QLabel>(&about, "lblCopyright")->text(), "");
    EXPECT_FALSE(Child<QLabel>(&about, "imgLogo")->pixmap().isNull()) << "built-in logo";
    EXPECT_TRUE(QRegularExpression("^\\d+\\.\\d+\\.\\d+\\.\\d+$")
                    .match(Child<QLabel>(&about, "lblversion")->text())
                    .hasMatch());
    EXPECT_TRUE(Child<QLabel>(&about, "lblViewerName")->font().bold());
    EXPECT_TRUE(Child<QLabel>(&about, "lblCopyright")->font().italic());
}

TEST(About, LogoFileReplacesOrFailsClearly)
{
    ProgramDir dir(kIni + "Logo=mylogo.png\n");
    TdatViewer missing(dir.path());
    TfrmAbout a1;
    EXPECT_EQ(a1.FormCreate(missing), "") << "a missing logo keeps the built-in one";

    QImage logo(40, 20, QImage::Format_RGB32);
    logo.fill(Qt::green);
    logo.save(dir.path() + "/mylogo.png");
    TfrmAbout a2;
    ASSERT_EQ(a2.FormCreate(missing), "");
    EXPECT_EQ(Child<QLabel>(&a2, "imgLogo")->pixmap().size(), QSize(40, 20));

    ProgramDir bad(kIni + "Logo=broken.jpg\n");
    bad.Write("broken.jpg", "this is not a picture");
    TdatViewer badConfig(bad.path());
    TfrmAbout a3;
    const QString error = a3.FormCreate(badConfig);
    EXPECT_TRUE(error.contains("broken.jpg")) << error.toStdString();
}

TEST(About, ClickOnBackgroundCloses)
{
    ProgramDir dir(kIni);
    TdatViewer config(dir.path());
    TfrmAbout about;
    ASSERT_EQ(about.FormCreate(config), "");
    about.show();
    QTest::mouseClick(&about, Qt::LeftButton, {}, QPoint(5, 200));
    EXPECT_EQ(about.result(), QDialog::Accepted);
}

TEST(StartUp, DecimalSeparatorIsAPointWhateverTheLocale)
{
    std::setlocale(LC_ALL, "de_DE.UTF-8");
    QLocale::setDefault(QLocale(QLocale::German));
    ProgramDir dir(kIni);
    TdatViewer config(dir.path());
    RecordingPrompts prompts;
    TFrmMain w(config, {&prompts});
    ASSERT_EQ(w.FormCreate(), "");
    EXPECT_EQ(QLocale().toString(1.5), "1.5");
    EXPECT_EQ(std::localeconv()->decimal_point[0], '.');
    std::setlocale(LC_ALL, "C");
}

TEST_F(MainFrame, RecoveryFileTroubleShowsInTheStatusBarWhileItLasts)
{
    auto* panel = Child<QLabel>(w.statusBar(), "FileTroublePanel");
    emit Child<TLogPage>(&w, "TSLog")->RecoveryTroubleChanged("No space left on device");
    EXPECT_TRUE(panel->isVisibleTo(&w) && panel->text() == "No space left on device");
    emit Child<TLogPage>(&w, "TSLog")->RecoveryTroubleChanged({});
    EXPECT_FALSE(panel->isVisibleTo(&w));
}

// Changed settings that cannot be written at exit: the user is told why, config.ini stays whole.
TEST(Exit, UnsavableSettingsAreToldWithTheSystemsReason)
{
    ProgramDir dir(kIni);
    SKIP_UNLESS_RUN(OnSmallDisks("config.ini", "[Comms]\nPort=5\n", [&](TSmallDisk& disk) {
        TdatViewer config(dir.path(), disk.Path({}));
        RecordingPrompts prompts;
        TFrmMain w(config, {&prompts});
        EXPECT_EQ(w.FormCreate(), "");
        config.SetPortName(QString(5000, u'p'));
        w.close();
        return prompts.messages.join('|');
    }));
}
