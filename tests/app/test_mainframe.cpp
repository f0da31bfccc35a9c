#include "about.h"
#include "dmviewer.h"
#include "identitypanel.h"
#include "main.h"
#include "scriptedline.h"
#include "ui_about.h"
#include "ui_main.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QLocale>
#include <QMenu>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

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

QString Shortcut(QAction* a)
{
    return a->shortcut().toString();
}

} // namespace

// A main window started from a program folder with a config.ini and its picture.
struct MainFrame : ::testing::Test
{
    ProgramDir dir{kIni};
    TdatViewer config{dir.path()};
    TFrmMain w{config};
    RecordingPrompts prompts_w;

    void SetUp() override
    {
        w.SetPrompts(&prompts_w);
        ASSERT_EQ(w.FormCreate(), "");
    }
};

TEST(StartUp, FailuresNameTheCause)
{
    ProgramDir noIni(QByteArray(), true);
    TdatViewer c1(noIni.path());
    TFrmMain w1(c1);
    RecordingPrompts prompts_w1;
    w1.SetPrompts(&prompts_w1);
    EXPECT_EQ(w1.FormCreate(), "The Ini file for this Viewer is corrupt.");

    ProgramDir noImages("[About]\nViewerName=X\n", true);
    TdatViewer c2(noImages.path());
    TFrmMain w2(c2);
    RecordingPrompts prompts_w2;
    w2.SetPrompts(&prompts_w2);
    EXPECT_EQ(w2.FormCreate(), "The Instrument image file for this Viewer is missing.");

    ProgramDir noPicture(kIni, false);
    TdatViewer c3(noPicture.path());
    TFrmMain w3(c3);
    RecordingPrompts prompts_w3;
    w3.SetPrompts(&prompts_w3);
    EXPECT_EQ(w3.FormCreate(), "The Instrument image file for this Viewer is missing.");

    EXPECT_EQ(TFrmMain::StartupFailureText("X."), "X.\r\nThe Application will terminate now");
}

TEST_F(MainFrame, InitialStateTabsMenusAndCaption)
{
    Ui::TFrmMain& ui = w.Form();
    EXPECT_EQ(w.windowTitle(), "ViewQ900");

    QTabWidget* tabs = ui.PgCMain;
    const QStringList titles = {"Display", "Calibration", "Settings", "Log", "Test"};
    for (int i = 0; i < tabs->count(); ++i)
        EXPECT_EQ(tabs->tabText(i), titles[i]);
    EXPECT_TRUE(tabs->isTabVisible(tabs->indexOf(ui.TSDisplay)));
    EXPECT_TRUE(tabs->isTabVisible(tabs->indexOf(ui.TSLog)));
    EXPECT_FALSE(tabs->isTabVisible(tabs->indexOf(ui.TSCal)));
    EXPECT_FALSE(tabs->isTabVisible(tabs->indexOf(ui.TSSettings)));
    EXPECT_FALSE(tabs->isTabVisible(tabs->indexOf(ui.TSTest)));
    EXPECT_EQ(tabs->currentWidget(), ui.TSDisplay);

    for (QAction* item : ui.MenuInstrument->actions())
        EXPECT_FALSE(item->isEnabled()) << item->text().toStdString();
    EXPECT_FALSE(ui.tbStartSession->isEnabled());
    EXPECT_FALSE(ui.tbEndSession->isEnabled());
    EXPECT_TRUE(ui.ToolButton4->isEnabled());
}

TEST_F(MainFrame, CaptionsHintsAndShortcuts)
{
    Ui::TFrmMain& ui = w.Form();
    EXPECT_EQ(ui.ToolButton1->text(), "&Open");
    EXPECT_EQ(ui.ToolButton1->toolTip(), "Load settings from file");
    EXPECT_EQ(ui.ToolButton2->toolTip(), "Save Settings to File");
    EXPECT_EQ(ui.ToolButton4->text(), "&Connect");
    EXPECT_EQ(ui.ToolButton4->toolTip(), "Connect to instrument");
    EXPECT_EQ(ui.tbStartSession->text(), "S&tart Session");
    EXPECT_EQ(ui.tbEndSession->toolTip(), "End Setup of Instrument");
    EXPECT_EQ(Shortcut(ui.Open1), "F3");
    EXPECT_EQ(Shortcut(ui.Save1), "Ctrl+S");
    EXPECT_EQ(Shortcut(ui.Exit1), "Alt+X");
    EXPECT_EQ(Shortcut(ui.muHelp), "F1");
    EXPECT_EQ(ui.FactoryTestResults1->text(), "Factory Test &Results");
    EXPECT_EQ(ui.MenuInstrument->title(), "&Instrument");
}

TEST_F(MainFrame, TabChangesSetActivity)
{
    Ui::TFrmMain& ui = w.Form();
    EXPECT_EQ(w.Activity(), 0);
    ui.PgCMain->setCurrentWidget(ui.TSLog);
    EXPECT_EQ(w.Activity(), 2);
    ui.PgCMain->setCurrentWidget(ui.TSDisplay);
    EXPECT_EQ(w.Activity(), 1);
}

TEST_F(MainFrame, IdentityPanelWarnsOnlyWithText)
{
    w.SetTerminalDirty(true);
    EXPECT_FALSE(w.IdentityPanel().ShowsWarning()) << "an empty panel stays plain";
    w.IdentityPanel().SetText("Adr:1, SN:1234, 910 Version:1.00");
    EXPECT_TRUE(w.IdentityPanel().ShowsWarning());
    const QImage shot = w.IdentityPanel().grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(2, 2)), QColor(Qt::red));
    w.SetTerminalDirty(false);
    EXPECT_FALSE(w.IdentityPanel().ShowsWarning());
}

TEST_F(MainFrame, WindowKeepsMinimumAndPictureProportions)
{
    w.show();
    w.resize(500, 300);
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
    EXPECT_GE(w.width(), 580);
    EXPECT_GE(w.height(), 450);
    EXPECT_GE(w.Form().TSDisplay->height(), w.width() * 491 / 1000 - 1);
    EXPECT_NEAR(w.Form().PnlFront->height(), w.width() * 491 / 1000, 2);
}

TEST_F(MainFrame, HelpFileIsProgramPathWithChm)
{
    EXPECT_TRUE(w.HelpFile().endsWith(QCoreApplication::applicationName() + ".chm") ||
                w.HelpFile().endsWith("test_mainframe.chm"))
        << w.HelpFile().toStdString();
}

TEST_F(MainFrame, MissingHelpFileIsNamedInAMessage)
{
    w.Form().muHelp->trigger();
    ASSERT_EQ(prompts_w.messages.size(), 1);
    EXPECT_TRUE(prompts_w.messages[0].contains(w.HelpFile())) << prompts_w.messages[0].toStdString();
}

TEST(About, EmptySectionGivesDefaultsAndBuiltInLogo)
{
    ProgramDir dir(kIni);
    TdatViewer config(dir.path());
    TfrmAbout about;
    ASSERT_EQ(about.FormCreate(config), "");
    EXPECT_EQ(about.windowTitle(), "About ViewQ900");
    EXPECT_EQ(about.Form().lblViewerName->text(), "ViewQ900");
    EXPECT_EQ(about.Form().lblcomment1->text(), "");
    EXPECT_EQ(about.Form().lblcomment2->text(), "two");
    EXPECT_EQ(about.Form().lblCopyright->text(), "");
    EXPECT_FALSE(about.Form().imgLogo->pixmap().isNull()) << "built-in logo";
    EXPECT_TRUE(QRegularExpression("^\\d+\\.\\d+\\.\\d+\\.\\d+$")
                    .match(about.Form().lblversion->text())
                    .hasMatch());
    EXPECT_TRUE(about.Form().lblViewerName->font().bold());
    EXPECT_TRUE(about.Form().lblCopyright->font().italic());
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
    EXPECT_EQ(a2.Form().imgLogo->pixmap().size(), QSize(40, 20));

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
    TFrmMain w(config);
    RecordingPrompts prompts;
    w.SetPrompts(&prompts);
    ASSERT_EQ(w.FormCreate(), "");
    EXPECT_EQ(QLocale().toString(1.5), "1.5");
    EXPECT_EQ(std::localeconv()->decimal_point[0], '.');
    std::setlocale(LC_ALL, "C");
}
