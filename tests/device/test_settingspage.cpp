// The Settings tab against the simulated instrument: every editor's round trip, the checks
// before a value is sent, the popup menu and the keyboard; and the session dialogs.
#include "passcode.h"
#include "readsettings.h"
#include "sessionfixture.h"
#include "settingsvalues.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTest>

using namespace protocol;

namespace {

class SettingsPage : public SessionOnSimulator
{
protected:
    void SetUp() override
    {
        Start();
        ASSERT_TRUE(StartSession(true));
        page->show();
    }
    QString Shown()
    {
        return Child<QStackedWidget>(page.get(), "pgcConfig")->currentWidget()->objectName();
    }
    template <class T> T* Field(const char* name) { return Child<T>(page.get(), name); }
    // Chooses an option of the open option editor as the user does.
    void ChooseOption(int index) { Field<QComboBox>("CbxOptions")->setCurrentIndex(index); }
    void TypeNumber(const QString& text)
    {
        Field<QLineEdit>("EdtNum")->setText(text);
        Field<QPushButton>("btnNumOK")->click();
    }
};

} // namespace

TEST(SettingsValues, RawTextsOfEveryEditor)
{
    using namespace settingsvalues;
    EXPECT_EQ(RegisterLabel("0110", 0x8A), "0110 8A");
    EXPECT_EQ(OptionRaw(3), "0003");
    EXPECT_EQ(NumberRaw(1230), "04CE");
    EXPECT_EQ(NumberRaw(-5), "FFFFFFFB");
    EXPECT_EQ(NumberRaw(0x12345), "12345");

    const TNumberEntry ok = CheckNumber("12.3", 2, 0, 9999);
    EXPECT_EQ(ok.normalised, "12.30");
    EXPECT_EQ(ok.raw.value_or(""), "04CE");
    const TNumberEntry high = CheckNumber("100", 2, 0, 9999);
    EXPECT_EQ(high.normalised, "100.00");
    EXPECT_FALSE(high.raw);
    EXPECT_EQ(high.error, "Out of Range: (0.00 to 99.99)");
    EXPECT_EQ(CheckNumber("-5", 0, -999999, 999999).raw.value_or(""), "FFFFFFFB");

    // Fields of 2, 3 and 5 choices at bits 0, 1-2 and 3-5.
    EXPECT_EQ(PackBitFields({{2, 1}, {3, 2}, {5, 4}}, 0), "25");
    EXPECT_EQ(PackBitFields({{2, 1}, {3, -1}, {5, 4}}, 0x04), "25")
        << "a field without a selection keeps its bits as read";
    EXPECT_EQ(BitFieldSelection("-TG", "ZGP", 1), 2);
    EXPECT_EQ(BitFieldSelection("-TG", "Z?P", 1), -1);
    EXPECT_EQ(BitFieldSelection("-TG", "Z", 1), -1);
}

TEST_F(SettingsPage, PlaceholderAndMenuShowTheEmptyPageLocalFunctionsSaySo)
{
    ReadAllMenus();
    Select({"BUILD"});
    EXPECT_EQ(Shown(), "pgNone");
    Select({"CAL", "ED.LIN"});
    EXPECT_EQ(Shown(), "pgAccessDenied");
    EXPECT_EQ(Field<QLabel>("lblAccessDenied")->text(), "Local Function only");
    Select({"SERIAL", "ADDR"}); // write level 'f'
    EXPECT_EQ(Field<QLabel>("lblAccessDenied")->text(), "Local Function only");
}

// Decimals follow the display: with the point set to two places a hysteresis of 0..9999
// counts reads 0.00 to 99.99; 12.3 is sent as 04CE and shown as 12.30, 100 is refused.
TEST_F(SettingsPage, NumbersRoundTripAndOutOfRangeIsRefused)
{
    ReadAllMenus();
    Select({"BUILD", "DP"});
    ASSERT_EQ(Shown(), "pgOptions");
    EXPECT_EQ(Field<QLabel>("lblOptRegID")->text(), "(Register: 0201 89)");
    ClearLog();
    ChooseOption(2);
    EXPECT_EQ(CountWrites(0x0201, "0002"), 1);
    EXPECT_EQ(Count(cmd::Execute, reg::StoreSettings), 1) << "each write is stored";
    EXPECT_GT(Count(cmd::ReadValue, 0x0234), 0) << "the reference changed: numbers re-read";

    Select({"SETPNT", "SP1", "HYS"});
    ASSERT_EQ(Shown(), "pgNum");
    EXPECT_EQ(Field<QLabel>("lblNumRange")->text(), "( 0.00 to 99.99 )");
    ClearLog();
    TypeNumber("12.3");
    EXPECT_EQ(CountWrites(0x0234, "04CE"), 1);
    EXPECT_TRUE(Item({"SETPNT", "SP1", "HYS"})->text(0).contains(": 12.30"))
        << Item({"SETPNT", "SP1", "HYS"})->text(0).toStdString();

    ClearLog();
    TypeNumber("100");
    EXPECT_EQ(prompts.messages, QStringList{"error: Out of Range: (0.00 to 99.99)"});
    EXPECT_EQ(Field<QLineEdit>("EdtNum")->text(), "100.00") << "the edit keeps its text";
    EXPECT_EQ(Count(cmd::WriteValue), 0) << "nothing is sent";
}

TEST_F(SettingsPage, NegativeNumberGoesAsTwosComplement)
{
    ReadAllMenus();
    Select({"BUILD", "DP"});
    ChooseOption(0); // no decimals
    Select({"SETPNT", "SP1", "TARGET"});
    ASSERT_EQ(Shown(), "pgNum");
    ClearLog();
    TypeNumber("-5");
    EXPECT_EQ(CountWrites(0x0233, "FFFFFFFB"), 1);
    EXPECT_EQ(sim->Instrument(1).Menu().Number(0x0233), -5);
    // Changed in this session: marked, beside the items that were not.
    EXPECT_TRUE(Item({"SETPNT", "SP1", "TARGET"})->font(0).bold());
    EXPECT_EQ(Item({"SETPNT", "SP1", "TARGET"})->toolTip(0), "Changed in this session");
    EXPECT_FALSE(Item({"SETPNT", "SP1", "HYS"})->font(0).bold());
}

TEST_F(SettingsPage, NumberEditTakesOnlyDigitsSignsAndPoint)
{
    ReadAllMenus();
    Select({"SETPNT", "SP1", "HYS"});
    auto* edit = Field<QLineEdit>("EdtNum");
    edit->clear();
    edit->setFocus();
    QTest::keyClicks(edit, "1a,2.5x");
    EXPECT_EQ(edit->text(), "12.5");
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->text(), "12.");
    ClearLog();
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(Count(cmd::WriteValue, 0x0234), 1) << "Enter confirms as OK does";
}

TEST_F(SettingsPage, StringsOptionsAndBitFieldsRoundTrip)
{
    ReadAllMenus();
    Select({"SERIAL", "P.HEAD"});
    ASSERT_EQ(Shown(), "pgString");
    EXPECT_EQ(Field<QLineEdit>("EdtString")->maxLength(), 16);
    ClearLog();
    Field<QLineEdit>("EdtString")->setText("LINE 2");
    QTest::keyClick(Field<QLineEdit>("EdtString"), Qt::Key_Enter);
    EXPECT_EQ(CountWrites(0x0225, "LINE 2"), 1);
    EXPECT_EQ(sim->Instrument(1).Menu().TextValue(0x0225), "LINE 2");

    // Preselecting the current option is no choice of the user's.
    ClearLog();
    Select({"BUILD", "UNITS"});
    EXPECT_EQ(Field<QComboBox>("CbxOptions")->currentText(), "kg");
    EXPECT_EQ(Count(cmd::WriteValue), 0);
    ChooseOption(2);
    EXPECT_EQ(CountWrites(0x0204, "0002"), 1);

    Select({"OPTION", "KEYS"});
    ASSERT_EQ(Shown(), "PgBitField");
    QComboBox* bits[] = {Field<QComboBox>("CBxBit0"), Field<QComboBox>("CBxBit1"),
                         Field<QComboBox>("CBxBit2"), Field<QComboBox>("CBxBit3")};
    EXPECT_EQ(bits[0]->count(), 2);
    EXPECT_EQ(bits[1]->count(), 3);
    EXPECT_EQ(bits[2]->count(), 5);
    EXPECT_FALSE(bits[3]->isVisible()) << "only as many combos as fields";
    // Fields of 2, 3 and 5 choices, selections 1, 2 and 4: 0x25.
    bits[0]->setCurrentIndex(1);
    bits[1]->setCurrentIndex(2);
    bits[2]->setCurrentIndex(4);
    ClearLog();
    Field<QPushButton>("BtnBitFieldOK")->click();
    EXPECT_EQ(CountWrites(0x0217, "25"), 1);
    EXPECT_EQ(sim->Instrument(1).Menu().Number(0x0217), 0x25);
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messages.join('|').toStdString();
}

TEST_F(SettingsPage, PopupSelectsUnderTheMouseReadsOnRefreshAndOpensFromTheKeyboard)
{
    QTreeWidget* tree = Tree();
    QTreeWidgetItem* serial = Item({"SERIAL"});
    const QPoint at = tree->visualItemRect(serial).center();
    QTimer::singleShot(0, [] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget()))
            menu->close();
    });
    QContextMenuEvent click(QContextMenuEvent::Mouse, at, tree->viewport()->mapToGlobal(at));
    QApplication::sendEvent(tree->viewport(), &click);
    EXPECT_EQ(tree->currentItem(), serial) << "a right click selects first";

    ClearLog();
    Child<QAction>(page.get(), "tvMenupopupExpand")->trigger();
    ASSERT_TRUE(WaitForJob());
    EXPECT_EQ(ChildNames({"SERIAL"}).size(), 6);
    ClearLog();
    Child<QAction>(page.get(), "tvMenupopupExpand")->trigger();
    ASSERT_TRUE(WaitForJob());
    EXPECT_EQ(Count(cmd::ReadName), 0) << "expanding again sends nothing";
    Child<QAction>(page.get(), "tvMenuPopupRefresh")->trigger();
    ASSERT_TRUE(WaitForJob());
    EXPECT_GT(Count(cmd::ReadName, 0x0221), 0) << "Refresh reads the names again";
    EXPECT_EQ(Count(cmd::ReadType), 0) << "but not the cached attributes";
    tree->setCurrentItem(Item({"SERIAL", "BAUD"}));
    ClearLog();
    Child<QAction>(page.get(), "tvMenuPopupRefresh")->trigger();
    EXPECT_EQ(Requests().size(), 0u) << "Refresh on a leaf does nothing";

    bool opened = false;
    QTimer::singleShot(0, [&] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            opened = menu->objectName() == "PopuptvMenu";
            menu->close();
        }
    });
    QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(), QPoint());
    QApplication::sendEvent(tree, &key);
    RunUntil([&] { return opened; }, 500);
    EXPECT_TRUE(opened) << "the Menu key or Shift+F10 opens it at the current node";
}

TEST_F(SettingsPage, KeyboardOpensMenusAndReachesTheEditor)
{
    QTreeWidget* tree = Tree();
    tree->setFocus();
    QTreeWidgetItem* build = Item({"BUILD"});
    tree->setCurrentItem(build);
    QTest::keyClick(tree, Qt::Key_Return);
    EXPECT_TRUE(build->isExpanded());
    EXPECT_EQ(ChildNames({"BUILD"}).first(), "DP") << "opening it read the menu";
    QTest::keyClick(tree, Qt::Key_Down);
    EXPECT_EQ(NameOf(tree->currentItem()), "DP");
    EXPECT_EQ(Shown(), "pgOptions");
    QTest::keyClick(tree, Qt::Key_Return);
    EXPECT_TRUE(Field<QComboBox>("CbxOptions")->hasFocus());
}

// The dialog says what it wants, and after a refusal that the last passcode was wrong.
TEST(SessionDialogs, PasscodeNamesItsLevelAndSaysWhenTheLastWasWrong)
{
    for (const int n : {0, 1, 2, 3}) {
        const bool full = n & 1;
        const bool again = n & 2;
        TFrmPasscode passcode(TPasscodeQuestion{full, again});
        passcode.show();
        const auto* label = Child<QLabel>(&passcode, "LblPasscode");
        const auto* wrong = Child<QLabel>(&passcode, "LblWrong");
        const QString level = full ? "Full" : "Safe";
        EXPECT_EQ(passcode.windowTitle(), "Enter " + level + " Passcode");
        EXPECT_EQ(label->text(), level + " Setup passcode of the instrument");
        EXPECT_EQ(wrong->isVisible(), again);
        EXPECT_EQ(wrong->text(), again ? "Wrong passcode" : "");
        EXPECT_EQ(passcode.focusWidget(), label->buddy()) << "typed at once";
    }
}

TEST(SessionDialogs, PasscodeTakesSixDigitsAsStarsLevelDefaultsToSafe)
{
    TFrmPasscode passcode(TPasscodeQuestion{true});
    EXPECT_EQ(passcode.windowTitle(), "Enter Full Passcode");
    auto* edit = Child<QLineEdit>(&passcode, "EdtPasscode");
    passcode.show();
    QTest::keyClicks(edit, "12a3-45678");
    EXPECT_EQ(passcode.Passcode(), "123456");
    EXPECT_EQ(edit->echoMode(), QLineEdit::Password);
    EXPECT_EQ(edit->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, edit), u'*');
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(passcode.result(), QDialog::Accepted);

    TFrmReadSettings level;
    EXPECT_EQ(level.windowTitle(), "Read Instrument Settings");
    EXPECT_EQ(level.SelectedIndex(), 0);
    level.show();
    Child<QRadioButton>(&level, "rgSetup_1")->click();
    EXPECT_EQ(level.SelectedIndex(), 1);
    QTest::keyClick(&level, Qt::Key_Escape);
    EXPECT_EQ(level.result(), QDialog::Rejected);
}
