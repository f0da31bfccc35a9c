// The calibration entry dialog: the parts each operation shows, the signal field's keys and
// its range check on the way out, and the entries as the instrument counts them.
#include "abscal.h"

#include "findchild.h"
#include "recordingprompts.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class AbsCalDialog : public ::testing::Test
{
protected:
    QLineEdit* Signal() { return Child<QLineEdit>(&dialog, "EdtAbsMV"); }
    QLineEdit* Weight() { return Child<QLineEdit>(&dialog, "EdtCalWeight"); }
    bool Shown(const char* name) { return !Child<QWidget>(&dialog, name)->isHidden(); }
    QString Text(const char* name) { return Child<QLabel>(&dialog, name)->text(); }
    void ShowAndFocusSignal()
    {
        dialog.show();
        dialog.activateWindow();
        Signal()->setFocus();
        QApplication::processEvents();
    }

    RecordingPrompts prompts;
    TFrmAbsCal dialog{prompts};
};

} // namespace

TEST_F(AbsCalDialog, EachOperationShowsOnlyWhatItNeeds)
{
    dialog.Prepare(TFrmAbsCal::TMode::DirectZero);
    EXPECT_EQ(dialog.windowTitle(), "Absolute mV/V Calibration");
    EXPECT_EQ(Text("lblAbsPrompt"), "Enter Zero Signal");
    EXPECT_TRUE(Shown("EdtAbsMV") && Shown("lblMVV") && Shown("lblAbsPrompt"));
    EXPECT_FALSE(Shown("LblCalWeight") || Shown("EdtCalWeight") || Shown("lblCalWeightUnits"));
    EXPECT_GE(dialog.width(), 228);
    EXPECT_GE(dialog.height(), 162);
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize()) << "a fixed border";
}

TEST_F(AbsCalDialog, SpanAndLinearisationAskForAWeightOnly)
{
    dialog.Prepare(TFrmAbsCal::TMode::Span);
    EXPECT_EQ(dialog.windowTitle(), "Span Calibration");
    EXPECT_EQ(Text("lblAbsPrompt"), "Enter Span Weight");
    EXPECT_FALSE(Shown("EdtAbsMV") || Shown("lblMVV") || Shown("lblAbsPrompt"));
    EXPECT_TRUE(Shown("EdtCalWeight") && Weight()->isEnabled());
    EXPECT_EQ(Text("lblCalWeightUnits"), "kg") << "until set";

    TFrmAbsCal other(prompts);
    other.SetWeight("12.5");
    other.Prepare(TFrmAbsCal::TMode::Linearisation);
    other.SetUnits("lb");
    EXPECT_EQ(other.windowTitle(), "Linearisation");
    EXPECT_EQ(Child<QLabel>(&other, "lblAbsPrompt")->text(), "Enter Test Weight");
    EXPECT_EQ(Child<QLineEdit>(&other, "EdtCalWeight")->text(), "") << "starts empty";
    EXPECT_EQ(Child<QLabel>(&other, "lblCalWeightUnits")->text(), "lb");
}

TEST_F(AbsCalDialog, EntriesAreReadAsTheInstrumentCountsThem)
{
    dialog.Prepare(TFrmAbsCal::TMode::DirectSpan);
    dialog.SetSignal(-5000);
    EXPECT_EQ(Signal()->text(), "-0.5000");
    EXPECT_EQ(dialog.Signal(), -5000);
    Signal()->setText("1.23456");
    EXPECT_EQ(dialog.Signal(), 12345) << "five decimals are cut to four";
    dialog.SetWeight("400.0");
    EXPECT_EQ(dialog.Weight(1), 4000);
    EXPECT_EQ(dialog.Weight(2), 40000);
}

TEST_F(AbsCalDialog, SignalFieldDiscardsKeysThatAreNotPartOfANumber)
{
    dialog.Prepare(TFrmAbsCal::TMode::DirectZero);
    ShowAndFocusSignal();
    Signal()->clear();
    QTest::keyClicks(Signal(), "x-0a.5e 1,+");
    EXPECT_EQ(Signal()->text(), "-0.5 1,+");
    QTest::keyClick(Signal(), Qt::Key_Backspace);
    EXPECT_EQ(Signal()->text(), "-0.5 1,");
}

TEST_F(AbsCalDialog, EnterNormalisesTheSignalAndDoesNotCloseTheDialog)
{
    dialog.Prepare(TFrmAbsCal::TMode::DirectZero);
    ShowAndFocusSignal();
    Signal()->setText("-.5");
    QSignalSpy accepted(&dialog, &QDialog::accepted);
    QTest::keyClick(Signal(), Qt::Key_Return);
    EXPECT_EQ(Signal()->text(), "-.5000");
    EXPECT_EQ(accepted.count(), 0);
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(AbsCalDialog, LeavingTheSignalOutOfRangeShowsTheLimitsAndReturnsToIt)
{
    dialog.Prepare(TFrmAbsCal::TMode::DirectZero);
    ShowAndFocusSignal();
    Signal()->setText("3.0001");
    QTest::keyClick(Signal(), Qt::Key_Tab);
    QApplication::processEvents();
    EXPECT_EQ(prompts.messages, QStringList{"error: Out of Range: (-3.0000 to 3.0000)"});
    EXPECT_EQ(Signal()->text(), "3.0001");
    EXPECT_TRUE(Signal()->hasFocus());

    prompts.messages.clear();
    Signal()->setText("3");
    QTest::keyClick(Signal(), Qt::Key_Tab);
    QApplication::processEvents();
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_EQ(Signal()->text(), "3.0000") << "written back with four decimals";
    EXPECT_TRUE(Child<QPushButton>(&dialog, "BtnOk")->hasFocus());
}

// A click on Ok leaves the field too: nothing out of range may get through that way.
TEST_F(AbsCalDialog, OkRefusesASignalOutOfRange)
{
    dialog.Prepare(TFrmAbsCal::TMode::DirectZero);
    ShowAndFocusSignal();
    Signal()->setText("-3.0001");
    QSignalSpy accepted(&dialog, &QDialog::accepted);
    QTest::mouseClick(Child<QPushButton>(&dialog, "BtnOk"), Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_EQ(accepted.count(), 0);
    EXPECT_EQ(prompts.messages, QStringList{"error: Out of Range: (-3.0000 to 3.0000)"});

    Signal()->setText("-3.00009");
    QTest::mouseClick(Child<QPushButton>(&dialog, "BtnOk"), Qt::LeftButton);
    EXPECT_EQ(accepted.count(), 1);
    EXPECT_EQ(dialog.Signal(), -30000);
}

TEST_F(AbsCalDialog, WeightOnlyDialogsAcceptAnyWeightWithEnter)
{
    dialog.Prepare(TFrmAbsCal::TMode::Span);
    dialog.show();
    dialog.activateWindow();
    Weight()->setFocus();
    QTest::keyClicks(Weight(), "400.0");
    QSignalSpy accepted(&dialog, &QDialog::accepted);
    QTest::keyClick(Weight(), Qt::Key_Return);
    EXPECT_EQ(accepted.count(), 1);
    EXPECT_EQ(dialog.Weight(1), 4000);
    EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST_F(AbsCalDialog, EscapeCancelsWithoutAComplaint)
{
    dialog.Prepare(TFrmAbsCal::TMode::DirectZero);
    ShowAndFocusSignal();
    Signal()->setText("9");
    QSignalSpy rejected(&dialog, &QDialog::rejected);
    QTest::keyClick(Signal(), Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_EQ(rejected.count(), 1);
    EXPECT_TRUE(prompts.messages.isEmpty());
}
