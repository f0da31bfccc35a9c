#pragma once

#include <QRect>
#include <QSize>

// The main window's resize rule for its two mimics, as a pure function: it keeps the window
// at least 580 x 450, tall enough for the Display tab's mimic at the panel's 1000 : 491
// aspect, and centres the Calibration tab's mimic at that aspect.
namespace mimiclayout {

constexpr int kMinWidth = 580;
constexpr int kMinHeight = 450;

struct TWindowState
{
    QSize window;           // the window's outer size
    QSize tab;              // a page of the tab control (Display and Calibration pages are alike)
    int pnlCalHeight = 0;   // the calibration controls above or below the small mimic
    int pnlMimicCalTop = 0; // the top of PnlMimicCal in its page
};

struct TMimicLayout
{
    QSize window;               // resize the window to this when it differs
    int pnlFrontFillHeight = 0; // the filler under the Display tab's mimic
    QRect pnlMimicCal;          // the small mimic's panel on the Calibration tab
};

// FormResize: the tab pages grow and shrink with the window by the same amount.
[[nodiscard]] TMimicLayout FormResize(const TWindowState& state);

} // namespace mimiclayout
