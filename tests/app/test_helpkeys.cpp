// F1 in the whole window: the page of the tab in front, and the page of the modal dialog in
// front with the help usable beside it.
#include "windowfixture.h"

#include <QDialog>
#include <QLineEdit>
#include <QTabBar>
#include <QTest>
#include <QTextBrowser>

#include <ostream>

namespace {

QWidget* HelpWindow()
{
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->objectName() == QLatin1String("THelpWindow"))
            return top;
    }
    return nullptr;
}

// The page the help window shows, or empty while it is not shown.
QString HelpPage()
{
    QWidget* help = HelpWindow();
    return help && help->isVisible() ? Child<QTextBrowser>(help, "TxtPage")->source().fileName()
                                     : QString();
}

struct TTabCase
{
    const char* tab; // the tab's widget
    const char* page;
};

void PrintTo(const TTabCase& c, std::ostream* out)
{
    *out << c.tab;
}

class TabHelp : public WindowOnSimulator, public ::testing::WithParamInterface<TTabCase>
{
};

// F1 on a control of the tab and on the tab bar alike.
TEST_P(TabHelp, F1OpensThePageOfTheTabInFront)
{
    Connect();
    ASSERT_TRUE(StartFullSession());
    // Active, so that the menu's own F1 shortcut would fire if the key were not taken first.
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    auto* page = Find<QWidget>(GetParam().tab);
    Tabs()->setCurrentWidget(page);
    QTest::keyClick(page, Qt::Key_F1);
    EXPECT_EQ(HelpPage(), QLatin1String(GetParam().page));
    HelpWindow()->close();
    QTest::keyClick(Tabs()->tabBar(), Qt::Key_F1);
    EXPECT_EQ(HelpPage(), QLatin1String(GetParam().page));
}

INSTANTIATE_TEST_SUITE_P(Tabs, TabHelp,
                         ::testing::Values(TTabCase{"TSDisplay", "display-tab.md"},
                                           TTabCase{"TSCal", "calibration-tab.md"},
                                           TTabCase{"TSSettings", "settings-tab.md"},
                                           TTabCase{"TSLog", "log-tab.md"},
                                           TTabCase{"TSTest", "test-tab.md"}));

struct TDialogCase
{
    const char* action; // the menu item that opens it
    const char* dialog; // its object name
    const char* page;
    bool connected;
};

void PrintTo(const TDialogCase& c, std::ostream* out)
{
    *out << c.dialog;
}

class DialogHelp : public WindowOnSimulator, public ::testing::WithParamInterface<TDialogCase>
{
};

// The key goes through the window system, as a typed key does, so that the modal dialog's
// blocking of other windows applies to it and to what is typed into the help afterwards.
TEST_P(DialogHelp, F1OpensThePageOfTheDialogAndTheHelpTakesKeys)
{
    const TDialogCase& c = GetParam();
    if (c.connected)
        Connect();
    window->show();
    QString shown;
    QString typed;
    ModalAnswer answer(c.dialog, [&](QWidget* dialog) {
        QTest::keyClick(dialog->windowHandle(), Qt::Key_F1);
        shown = HelpPage();
        if (QWidget* help = HelpWindow()) {
            auto* search = Child<QLineEdit>(help, "EdtSearch");
            search->setFocus();
            QTest::keyClick(help->windowHandle(), Qt::Key_X);
            typed = search->text();
        }
        qobject_cast<QDialog*>(dialog)->reject();
    });
    Action(c.action)->trigger();
    ASSERT_TRUE(RunUntil([&] { return answer.Answered(); }));
    EXPECT_EQ(shown, QLatin1String(c.page));
    EXPECT_EQ(typed, "x") << "the help window is blocked by the dialog";
}

INSTANTIATE_TEST_SUITE_P(
    Dialogs, DialogHelp,
    ::testing::Values(
        TDialogCase{"Connect2", "TFrmComDialog", "port-dialog.md", false},
        TDialogCase{"FactoryTestResults1", "TFrmFactory", "factory-results-dialog.md", false},
        TDialogCase{"About1", "TfrmAbout", "about-dialog.md", false},
        TDialogCase{"SetDateTime1", "TFrmSetClock", "set-clock-dialog.md", true},
        TDialogCase{"CustomPrintFormat1", "TFrmPrintFormat", "print-format-dialog.md", true}));

} // namespace
