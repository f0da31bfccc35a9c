#include "buttonregion.h"

namespace buttonregion {

int HitTest(std::span<const TButtonRegion> regions, int x, int y, int width, int height)
{
    if (width <= 0 || height <= 0)
        return -1;
    const auto mx = qint64(x) * 1000 / width;
    const auto my = qint64(y) * 1000 / height;
    for (size_t i = 0; i < regions.size(); ++i) {
        const TButtonRegion& r = regions[i];
        if (r.Left <= mx && mx <= r.Right && r.Top <= my && my <= r.Bottom)
            return int(i);
    }
    return -1;
}

QRect ToPixels(const TButtonRegion& region, int width, int height)
{
    return QRect(
        QPoint(int(qint64(region.Left) * width / 1000), int(qint64(region.Top) * height / 1000)),
        QPoint(int(qint64(region.Right) * width / 1000),
               int(qint64(region.Bottom) * height / 1000)));
}

} // namespace buttonregion
