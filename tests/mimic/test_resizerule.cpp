#include "resizerule.h"

#include <gtest/gtest.h>

using namespace resizerule;

namespace {

struct FitCase
{
    const char* what;
    QSize room;
    QRect panel;
};

} // namespace

// The panel keeps its 1000 : 491 proportions in any room, as large as fits, centred; the room
// never has to grow for it.
TEST(ResizeRule, PanelKeepsItsProportionsCentredInAnyRoom)
{
    const FitCase cases[] = {
        {"exact room", {1000, 491}, {0, 0, 1000, 491}},
        {"tall room: bands above and below", {800, 700}, {0, 154, 800, 392}},
        {"low room: bands left and right", {1000, 400}, {93, 0, 814, 400}},
        {"the smallest window's tab", {580, 300}, {0, 8, 580, 284}},
        {"empty room", {0, 0}, {0, 0, 0, 0}},
        {"a room not laid out yet", {-1, -1}, {0, 0, 0, 0}},
    };
    for (const FitCase& c : cases) {
        const QRect panel = FitPanel(c.room);
        EXPECT_EQ(panel, c.panel) << c.what;
        EXPECT_LE(panel.right() + 1, std::max(0, c.room.width())) << c.what;
        EXPECT_LE(panel.bottom() + 1, std::max(0, c.room.height())) << c.what;
    }
}
