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

QString Shortcut(const QObject* window, const char* name)
{
    return Child<QAction>(window, name)->shortcut().toString();
}

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
    EXPECT_EQ(Shortcut(&w, "Open1"), "F3");
    EXPECT_EQ(Shortcut(&w, "Save1"), "Ctrl+S");
    EXPECT_EQ(Shortcut(&w, "Exit1"), "Alt+X");
    EXPECT_EQ(Shortcut(&w, "muHelp"), "F1");
    EXPECT_EQ(Action("FactoryTestResults1")->text(), "Factory Test &Results");
    EXPECT_EQ(Child<QMenu>(&w, "MenuInstrument")->title(), "&Instrument");
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

TEST_F(MainFrame, WindowKeepsMinimumAndPictureProportions)
{
    w.show();
    w.resize(500, 300);
    QWidget* display = Page("TSDisplay");
    QWidget* front = Child<QWidget>(display, "PnlFront");
    EXPECT_TRUE(RunUntil([&] {
        return w.width() >= 580 && w.height() >= 450 &&
               std::abs(front->height() - w.width() * 491 / 1000) <= 2;
    }));
    EXPECT_GE(display->height(), w.width() * 491 / 1000 - 1);
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
