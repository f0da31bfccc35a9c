#include "mimiclayout.h"

#include "q910panel.h"

namespace mimiclayout {

namespace {

int PanelHeightFor(int width)
{
    return width * q910panel::kAspectHeight / q910panel::kAspectWidth;
}

} // namespace

TMimicLayout FormResize(const TWindowState& state)
{
    QSize window = state.window;
    QSize tab = state.tab;
    if (window.width() < kMinWidth) {
        tab.rwidth() += kMinWidth - window.width();
        window.setWidth(kMinWidth);
    }
    // Tall enough that the Display tab's mimic keeps its aspect.
    const int spare = tab.height() - PanelHeightFor(window.width());
    if (spare < 0) {
        window.rheight() -= spare;
        tab.rheight() -= spare;
    }
    if (window.height() < kMinHeight) {
        tab.rheight() += kMinHeight - window.height();
        window.setHeight(kMinHeight);
    }
    const int calHeight = tab.height() - state.pnlCalHeight - 2 * state.pnlMimicCalTop;
    const int calWidth = calHeight * q910panel::kAspectWidth / q910panel::kAspectHeight;
    return {window, tab.height() - PanelHeightFor(window.width()),
            QRect((tab.width() - calWidth) / 2, state.pnlMimicCalTop, calWidth, calHeight)};
}

} // namespace mimiclayout
