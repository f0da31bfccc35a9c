#include "resizerule.h"

#include <algorithm>

namespace resizerule {

TWindowFit FitDisplayTab(int windowWidth, int windowHeight, int displayTabHeight)
{
    TWindowFit fit{std::max(windowWidth, kMinWidth), windowHeight, 0};
    const int picture = fit.width * 491 / 1000;
    int tab = displayTabHeight;
    if (tab < picture) {
        fit.height += picture - tab;
        tab = picture;
    }
    if (fit.height < kMinHeight) {
        tab += kMinHeight - fit.height;
        fit.height = kMinHeight;
    }
    fit.fillerHeight = tab - picture;
    return fit;
}

QRect FitCalibrationMimic(int tabWidth, int tabHeight, int controlsHeight, int mimicTop)
{
    const int height = std::max(0, tabHeight - controlsHeight - 2 * mimicTop);
    const int width = height * 1000 / 491;
    return {(tabWidth - width) / 2, mimicTop, width, height};
}

} // namespace resizerule
