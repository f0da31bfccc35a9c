// Key hit-testing and key rectangles in per mille of the control.
#include "buttonregion.h"
#include "q910panel.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using buttonregion::HitTest;
using buttonregion::ToPixels;

TEST(HitTestTest, BoundsAreInclusive)
{
    const std::vector<TButtonRegion> regions{{100, 200, 300, 400, 0}};
    // A 1000 x 1000 control: pixels are per mille.
    EXPECT_EQ(HitTest(regions, 100, 300, 1000, 1000), 0);
    EXPECT_EQ(HitTest(regions, 200, 400, 1000, 1000), 0);
    EXPECT_EQ(HitTest(regions, 99, 350, 1000, 1000), -1);
    EXPECT_EQ(HitTest(regions, 201, 350, 1000, 1000), -1);
    EXPECT_EQ(HitTest(regions, 150, 299, 1000, 1000), -1);
    EXPECT_EQ(HitTest(regions, 150, 401, 1000, 1000), -1);
}

TEST(HitTestTest, PerMilleIsTruncated)
{
    const std::vector<TButtonRegion> regions{{500, 600, 500, 600, 0}};
    // 2 * 1000 / 3 = 666.7 -> 666: outside; x = 299 of 500 -> 598: inside.
    EXPECT_EQ(HitTest(regions, 2, 2, 3, 3), -1);
    EXPECT_EQ(HitTest(regions, 299, 299, 500, 500), 0);
    // 300 of 500 is 600 exactly, 301 is 602.
    EXPECT_EQ(HitTest(regions, 300, 300, 500, 500), 0);
    EXPECT_EQ(HitTest(regions, 301, 300, 500, 500), -1);
}

TEST(HitTestTest, LowerIndexWinsWhereRegionsOverlap)
{
    const std::vector<TButtonRegion> regions{{0, 10, 0, 10, 0}, {5, 50, 5, 50, 1}};
    EXPECT_EQ(HitTest(regions, 7, 7, 1000, 1000), 0);
    EXPECT_EQ(HitTest(regions, 20, 20, 1000, 1000), 1);
}

TEST(HitTestTest, EmptyControlOrRegionListHitsNothing)
{
    const std::vector<TButtonRegion> regions{{0, 1000, 0, 1000, 0}};
    EXPECT_EQ(HitTest(regions, 0, 0, 0, 10), -1);
    EXPECT_EQ(HitTest({}, 5, 5, 10, 10), -1);
}

TEST(HitTestTest, Q910KeysAreFoundAtTheirCentresOnAnySize)
{
    const auto& keys = q910panel::KeyRegions();
    for (const QSize size :
         {QSize(1000, 491), QSize(580, 285), QSize(177, 57), QSize(2400, 1178)}) {
        for (int i = 0; i < q910panel::kKeyCount; ++i) {
            const QPoint centre = ToPixels(keys[size_t(i)], size.width(), size.height()).center();
            EXPECT_EQ(HitTest(keys, centre.x(), centre.y(), size.width(), size.height()), i)
                << size.width() << " key " << i;
        }
        EXPECT_EQ(HitTest(keys, size.width() / 2, size.height() / 2, size.width(), size.height()),
                  -1); // the display window is no key
    }
}

TEST(ToPixelsTest, ScalesEachEdgeByTruncation)
{
    const TButtonRegion key{139, 216, 700, 813, 1};
    const QRect r = ToPixels(key, 1000, 491);
    EXPECT_EQ(r.left(), 139);
    EXPECT_EQ(r.right(), 216);
    EXPECT_EQ(r.top(), 343);    // 700 * 491 / 1000 = 343.7
    EXPECT_EQ(r.bottom(), 399); // 813 * 491 / 1000 = 399.2
}

} // namespace
