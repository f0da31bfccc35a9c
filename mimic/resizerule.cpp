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

} // namespace resizerule
