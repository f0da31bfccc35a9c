#include "resizerule.h"

#include <gtest/gtest.h>

using namespace resizerule;

// The panel keeps its 1000 : 491 proportions in any room, as large as fits, centred; the room
// never has to grow for it.
TEST(ResizeRule, PanelKeepsItsProportionsCentredInAnyRoom)
{
    const std::pair<QSize, QRect> cases[] = {
        {{1000, 491}, {0, 0, 1000, 491}}, // exactly the panel's room
        {{800, 700}, {0, 154, 800, 392}}, // tall: bands above and below
        {{1000, 400}, {93, 0, 814, 400}}, // low: bands left and right
        {{580, 300}, {0, 8, 580, 284}},   // the smallest window's tab
        {{-1, -1}, {0, 0, 0, 0}},         // not laid out yet
    };
    for (const auto& [room, panel] : cases)
        EXPECT_EQ(FitPanel(room), panel) << room.width() << "x" << room.height();
}
