// The Logging and Chart Setup dialogs: their lists, what a cancelled Logging dialog keeps,
// the key and range rules of the Chart Setup number fields, Auto, and Ok refusing a field
// out of range.
#include "chartsetup.h"
#include "findchild.h"
#include "logdialog.h"
#include "printqstring.h"
#include "recordingprompts.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QStringList Items(const QComboBox* list)
{
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items << list->itemText(i);
    return items;
}

bool WaitFor(const std::function<bool()>& done)
{
    for (int i = 0; i < 200 && !done(); ++i)
        QTest::qWait(5);
    return done();
}

} // namespace

TEST(LogDialog, ListsTheRatesAndChannelsWithNothingChosenAtFirst)
{
    TFrmLogDialog dialog;
    EXPECT_EQ(dialog.windowTitle(), "Logging");
    EXPECT_EQ(Items(Child<QComboBox>(&dialog, "CBLogRate")),
              (QStringList{"10 Hz", "1 Hz", "1/10 secs"}));
    for (const char* name : {"CBxDig1", "CBxDig2", "CBxDig3", "CBxDig4"})
        EXPECT_EQ(Items(Child<QComboBox>(&dialog, name)),
                  (QStringList{"None", "CofZ", "Zero", "Motion", "Net", "Output 1", "Output 2"}));
    EXPECT_EQ(dialog.Choice(), TLogChoice{}) << "no rate: the page logs at 0.05 s";
}

TEST(LogDialog, CancelGoesBackToWhatItShowedAndOkKeepsTheNewChoice)
{
    TFrmLogDialog dialog;
    const TLogChoice shown{1, {1, 0, 4, 0}};
    dialog.SetChoice(shown);
    dialog.show();
    Child<QComboBox>(&dialog, "CBLogRate")->setCurrentIndex(2);
    Child<QComboBox>(&dialog, "CBxDig4")->setCurrentIndex(6);
    Child<QPushButton>(&dialog, "BtnCancel")->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(dialog.Choice(), shown);

    dialog.show();
    Child<QComboBox>(&dialog, "CBxDig4")->setCurrentIndex(6);
    Child<QPushButton>(&dialog, "BtnOk")->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Choice(), (TLogChoice{1, {1, 0, 4, 6}}));
}

class ChartSetupDialog : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dialog.Fill({0, 30}, {-1.5, 20.25}, "comment");
        dialog.show();
        dialog.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }

    QLineEdit* Edit(const char* name) { return Child<QLineEdit>(&dialog, name); }
    // Types into a field and leaves it for the next one, as the Tab key does.
    void TypeAndLeave(const char* name, const QString& text)
    {
        QLineEdit* edit = Edit(name);
        edit->setFocus();
        edit->clear();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Tab);
    }

    RecordingPrompts prompts;
    std::optional<TTraceExtent> extent;
    TFrmChartSetup dialog{prompts, 2, "kg", [this] { return extent; }};
};

TEST_F(ChartSetupDialog, OpensWithTheRangesAtTheFieldsDecimalsAndTheUnits)
{
    EXPECT_EQ(dialog.windowTitle(), "Chart Setup");
    EXPECT_EQ(Edit("EdtTstart")->text(), "0");
    EXPECT_EQ(Edit("EdtTend")->text(), "30");
    EXPECT_EQ(Edit("Edtminwgt")->text(), "-1.50");
    EXPECT_EQ(Edit("EdtMaxWgt")->text(), "20.25");
    EXPECT_EQ(Child<QLabel>(&dialog, "LblMinUnits")->text(), "kg");
    EXPECT_EQ(Child<QLabel>(&dialog, "LblMaxUnits")->text(), "kg");
    EXPECT_EQ(Edit("EdtComment")->maxLength(), 50);
}

TEST_F(ChartSetupDialog, ALongerCommentFromAFileComesBackWhole)
{
    const QString fromFile = QString(30, u'a') + ", " + QString(40, u'b');
    dialog.Fill({0, 30}, {-1.5, 20.25}, fromFile);
    Child<QPushButton>(&dialog, "BtnOk")->click();
    EXPECT_EQ(dialog.Result().comment, fromFile);
}

TEST_F(ChartSetupDialog, NumberFieldsTakeOnlyWhatANumberUses)
{
    TypeAndLeave("EdtMaxWgt", "1a2b.3x4");
    EXPECT_EQ(Edit("EdtMaxWgt")->text(), "12.34");
    TypeAndLeave("EdtTend", "+1,0 5");
    EXPECT_EQ(Edit("EdtTend")->text(), "+1,0 5") << "in range: 105";
    TypeAndLeave("EdtComment", "any text: 1a");
    EXPECT_EQ(Edit("EdtComment")->text(), "any text: 1a");
    EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST_F(ChartSetupDialog, LeavingAFieldWritesItAtItsDecimals)
{
    const struct
    {
        const char* field;
        const char* typed;
        const char* shown;
    } cases[] = {
        {"EdtMaxWgt", "12.345", "12.34"}, // cut, not rounded
        {"Edtminwgt", "7", "7.00"},       {"Edtminwgt", ".5", "0.50"},
        {"EdtTstart", "12.9", "12"},      {"EdtTend", "", "0"},
    };
    for (const auto& c : cases) {
        TypeAndLeave(c.field, c.typed);
        EXPECT_EQ(Edit(c.field)->text(), c.shown) << c.field << " " << c.typed;
    }
    EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST_F(ChartSetupDialog, EnterWritesTheFieldAndDoesNotCloseTheDialog)
{
    QLineEdit* edit = Edit("Edtminwgt");
    edit->setFocus();
    edit->setText("3.1");
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(edit->text(), "3.10");
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), 0);
}

TEST_F(ChartSetupDialog, FieldOutOfRangeIsReportedWithItsBoundsAndKeepsTheFocus)
{
    const struct
    {
        const char* field;
        const char* typed;
        const char* message;
    } cases[] = {
        {"EdtTend", "1001", "error: Out of Range: (0 to 1000)"},
        {"EdtTstart", "-1", "error: Out of Range: (0 to 1000)"},
        {"Edtminwgt", "-10000", "error: Out of Range: (-9999.99 to 9999.99)"},
        {"EdtMaxWgt", "10000.00", "error: Out of Range: (-9999.99 to 9999.99)"},
    };
    for (const auto& c : cases) {
        prompts.messages.clear();
        TypeAndLeave(c.field, c.typed);
        EXPECT_EQ(prompts.messages, QStringList{c.message}) << c.field;
        EXPECT_TRUE(WaitFor([&] { return Edit(c.field)->hasFocus(); })) << c.field;
        Edit(c.field)->setText("1");
    }
    TypeAndLeave("EdtTend", "1000");
    EXPECT_EQ(prompts.messages.size(), 1) << "the upper bound itself is in range";
}

TEST_F(ChartSetupDialog, OkRefusesAFieldOutOfRangeAndAcceptsOnceItIsMended)
{
    Edit("EdtTend")->setText("2000");
    Child<QPushButton>(&dialog, "BtnOk")->click();
    EXPECT_EQ(prompts.messages, QStringList{"error: Out of Range: (0 to 1000)"});
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(Edit("EdtTend")->hasFocus());

    Edit("EdtTend")->setText("20");
    Edit("EdtMaxWgt")->setText("-3.456");
    Child<QPushButton>(&dialog, "BtnOk")->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    const TChartSetupResult result = dialog.Result();
    EXPECT_EQ(result.time.min, 0.0);
    EXPECT_EQ(result.time.max, 20.0);
    EXPECT_EQ(result.weight.min, -1.5);
    EXPECT_DOUBLE_EQ(result.weight.max, -3.45);
    EXPECT_EQ(result.comment, "comment");
}

TEST_F(ChartSetupDialog, AutoFillsTheFieldsFromTheWeightTraceWithoutApplyingThem)
{
    Child<QPushButton>(&dialog, "BtnAuto")->click();
    EXPECT_EQ(Edit("EdtTstart")->text(), "0");
    EXPECT_EQ(Edit("EdtTend")->text(), "0");
    EXPECT_EQ(Edit("Edtminwgt")->text(), "0.00");
    EXPECT_EQ(Edit("EdtMaxWgt")->text(), "0.00") << "an empty chart fills zeros";

    extent = TTraceExtent{0.0, 12.3, 10.0, 20.0}; // the traces grew meanwhile
    Child<QPushButton>(&dialog, "BtnAuto")->click();
    EXPECT_EQ(Edit("EdtTend")->text(), "13");
    EXPECT_EQ(Edit("Edtminwgt")->text(), "9.00");
    EXPECT_EQ(Edit("EdtMaxWgt")->text(), "21.00");
    EXPECT_TRUE(dialog.isVisible());
}
