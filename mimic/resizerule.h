#pragma once

// The window's size rules, kept apart from the widgets so they can be checked directly:
// the front-panel picture keeps its 1000 : 491 proportions at the window's width.
namespace resizerule {

constexpr int kMinWidth = 580;
constexpr int kMinHeight = 450;

struct TWindowFit
{
    int width;        // window width to use
    int height;       // window height to use
    int fillerHeight; // height of the Display tab's filler below the picture
};

// `displayTabHeight` is measured at the current window size.
[[nodiscard]] TWindowFit FitDisplayTab(int windowWidth, int windowHeight, int displayTabHeight);

} // namespace resizerule
