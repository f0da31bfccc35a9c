// The main window's resize rule for the two mimics.
#include "mimiclayout.h"

#include <gtest/gtest.h>

namespace {

using mimiclayout::FormResize;

// A window whose tab pages are 20 narrower and 90 lower than the window itself.
mimiclayout::TWindowState Window(int width, int height)
{
    return {QSize(width, height), QSize(width - 20, height - 90), 120, 8};
}

TEST(MimicLayoutTest, NeverNarrowerThan580OrLowerThan450)
{
    EXPECT_EQ(FormResize(Window(300, 200)).window.width(), 580);
    EXPECT_EQ(FormResize(Window(700, 300)).window.height(), 450);
    EXPECT_EQ(FormResize(Window(700, 900)).window, QSize(700, 900));
}

TEST(MimicLayoutTest, WindowGrowsUntilTheDisplayTabHoldsThePanelsAspect)
{
    // 1000 wide needs a 491 high mimic: the page of 510 - 90 = 420 is 71 short.
    const auto layout = FormResize(Window(1000, 510));
    EXPECT_EQ(layout.window, QSize(1000, 581));
    EXPECT_EQ(layout.pnlFrontFillHeight, 0);
    EXPECT_EQ(FormResize(Window(1000, 700)).pnlFrontFillHeight, 700 - 90 - 491);
}

TEST(MimicLayoutTest, CalibrationMimicIsCentredAtThePanelsAspect)
{
    const auto layout = FormResize(Window(1000, 700));
    // Page 980 x 610: 610 - 120 - 16 = 474 high, 474 * 1000 / 491 = 965 wide.
    EXPECT_EQ(layout.pnlMimicCal, QRect((980 - 965) / 2, 8, 965, 474));
    const auto narrow = FormResize(Window(580, 900));
    EXPECT_LT(narrow.pnlMimicCal.left(), 0); // wider than its page: centred all the same
    EXPECT_EQ(narrow.pnlMimicCal.center().x(), (560 - 1) / 2);
}

} // namespace
