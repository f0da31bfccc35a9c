// The window in front of the calibration status wait: it follows the readings, and Cancel,
// Escape or closing it end the wait while the window stays until the wait has ended.
#include "calwait.h"

#include "findchild.h"
#include "protocol.h"
#include "statuswait.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr uint32_t kBusy = protocol::status::CalibrationBusy;

} // namespace

TEST(CalWaitWindow, TextsForTheTimeAndTheInstrumentsState)
{
    EXPECT_EQ(TFrmCalWait::ElapsedText(0), "Elapsed: 0 s");
    EXPECT_EQ(TFrmCalWait::ElapsedText(12999), "Elapsed: 12 s");
    EXPECT_EQ(TFrmCalWait::StateText(true, 5), "Instrument busy");
    EXPECT_EQ(TFrmCalWait::StateText(false, 3), "Instrument not busy (2 of 5 readings)");
}

// The window is modal while the wait runs nested in the event loop; a click on Cancel in it
// ends the wait at the next tick.
TEST(CalWaitWindow, CancelEndsTheWaitItShows)
{
    QWidget owner;
    std::vector<QString> states;
    TFrmCalWait* shown = nullptr;
    int pauses = 0;
    TStatusWait wait([&]() -> std::optional<uint32_t> { return pauses < 12 ? 0u : kBusy; });
    TFrmCalWait window(wait, &owner);
    shown = &window;
    window.show();
    EXPECT_EQ(Child<QLabel>(&window, "LblCalibrating")->text(), "Calibrating...");
    // Tick by tick, as the link steps it, with the events of each tick handled first.
    do {
        QApplication::processEvents();
        ++pauses;
        if (pauses == 8) { // the first reading has been shown
            ASSERT_EQ(QApplication::activeModalWidget(), shown);
            states.push_back(Child<QLabel>(shown, "LblBusy")->text());
            QTest::mouseClick(Child<QPushButton>(shown, "BtnCancel"), Qt::LeftButton);
        }
    } while (wait.Step() == ILinkJob::TStep::More);
    EXPECT_EQ(wait.End(), TStatusWait::TEnd::Cancelled);
    EXPECT_EQ(pauses, 8);
    EXPECT_EQ(states, std::vector<QString>{"Instrument not busy (1 of 5 readings)"});
    EXPECT_EQ(Child<QLabel>(&window, "LblBusy")->text(), "Cancelling...");
    EXPECT_FALSE(Child<QPushButton>(&window, "BtnCancel")->isEnabled());
    EXPECT_TRUE(window.isVisible()) << "the window goes when its owner ends the wait";
}

TEST(CalWaitWindow, EscapeAndClosingCancelToo)
{
    for (const bool escape : {true, false}) {
        TStatusWait wait([]() -> std::optional<uint32_t> { return kBusy; });
        TFrmCalWait window(wait);
        window.show();
        if (escape)
            QTest::keyClick(&window, Qt::Key_Escape);
        else
            window.close();
        EXPECT_TRUE(wait.Cancelled()) << escape;
        EXPECT_TRUE(window.isVisible()) << escape;
    }
}
