// Key hit-testing and key rectangles in per mille of the control.
#include "buttonregion.h"
#include "q910panel.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using buttonregion::HitTest;
using buttonregion::ToPixels;

TEST(HitTestTest, InclusiveBoundsTruncatedPerMilleLowerIndexFirst)
{
    const std::vector<TButtonRegion> regions{{100, 200, 300, 400, 0}, {150, 600, 350, 600, 1}};
    // On a 1000 x 1000 control pixels are per mille.
    EXPECT_EQ(HitTest(regions, 100, 300, 1000, 1000), 0);
    EXPECT_EQ(HitTest(regions, 200, 400, 1000, 1000), 0);
    EXPECT_EQ(HitTest(regions, 99, 350, 1000, 1000), -1);
    EXPECT_EQ(HitTest(regions, 150, 299, 1000, 1000), -1);
    EXPECT_EQ(HitTest(regions, 201, 400, 1000, 1000), 1);
    // 300 of 500 is 600 exactly; 301 is 602.
    EXPECT_EQ(HitTest(regions, 300, 300, 500, 500), 1);
    EXPECT_EQ(HitTest(regions, 301, 300, 500, 500), -1);
    // 2 of 3 is 666.7, truncated to 666: outside.
    EXPECT_EQ(HitTest(regions, 2, 2, 3, 3), -1);
    EXPECT_EQ(HitTest(regions, 0, 0, 0, 10), -1);
}

TEST(HitTestTest, Q910KeysAreFoundAtTheirCentresOnAnySize)
{
    const auto& keys = q910panel::KeyRegions();
    for (const auto& [w, h] : {std::pair(1000, 491), std::pair(580, 285), std::pair(177, 57)}) {
        for (int i = 0; i < q910panel::kKeyCount; ++i) {
            const QPoint centre = ToPixels(keys[size_t(i)], w, h).center();
            EXPECT_EQ(HitTest(keys, centre.x(), centre.y(), w, h), i) << w << " key " << i;
        }
        EXPECT_EQ(HitTest(keys, w / 2, h / 2, w, h), -1); // the display window is no key
    }
    const QRect second = ToPixels(keys[1], 1000, 491);
    EXPECT_EQ(second, QRect(QPoint(139, 343), QPoint(216, 399))); // 343.7 and 399.2 truncated
}

} // namespace
