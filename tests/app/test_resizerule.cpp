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

TEST(ResizeRule, CalibrationMimicIsCentredAtPictureProportions)
{
    const QRect r = FitCalibrationMimic(800, 500, 150, 8);
    EXPECT_EQ(r.height(), 500 - 150 - 16);
    EXPECT_EQ(r.width(), 334 * 1000 / 491);
    EXPECT_EQ(r.x(), (800 - r.width()) / 2);
    EXPECT_EQ(r.y(), 8);
    EXPECT_EQ(FitCalibrationMimic(800, 100, 150, 8).height(), 0);
}
