#include "calibrationpage.h"

#include <gtest/gtest.h>

TEST(CalibrationPage, MimicIsCentredAtPictureProportions)
{
    const QRect r = TCalibrationPage::FitMimic(800, 500, 150, 8);
    EXPECT_EQ(r.height(), 500 - 150 - 16);
    EXPECT_EQ(r.width(), 334 * 1000 / 491);
    EXPECT_EQ(r.x(), (800 - r.width()) / 2);
    EXPECT_EQ(r.y(), 8);
    EXPECT_EQ(TCalibrationPage::FitMimic(800, 100, 150, 8).height(), 0);
}
