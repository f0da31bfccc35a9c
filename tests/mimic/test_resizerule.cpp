#include "resizerule.h"

#include <gtest/gtest.h>

using namespace resizerule;

TEST(ResizeRule, SmallWindowGrowsToMinimumAndPicture)
{
    // Dragged to 500 x 300 with a 150 px tab: 580 wide, tall enough for 284 px of picture.
    const TWindowFit fit = FitDisplayTab(500, 300, 150);
    EXPECT_EQ(fit.width, 580);
    EXPECT_EQ(fit.height, 450);
    EXPECT_EQ(fit.fillerHeight, 150 + 150 - 284);
}

TEST(ResizeRule, TabTooLowForPictureMakesWindowTaller)
{
    const TWindowFit fit = FitDisplayTab(1000, 500, 400);
    EXPECT_EQ(fit.width, 1000);
    EXPECT_EQ(fit.height, 591);
    EXPECT_EQ(fit.fillerHeight, 0);
}

TEST(ResizeRule, TallWindowFillsBelowPicture)
{
    const TWindowFit fit = FitDisplayTab(800, 700, 560);
    EXPECT_EQ(fit.height, 700);
    EXPECT_EQ(fit.fillerHeight, 560 - 392);
}
