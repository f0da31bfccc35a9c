#pragma once

#include <QRect>

#include <span>

// One key of a mimic, in per mille of the control's width (Left, Right) and height (Top,
// Bottom), bounds inclusive, with the press overlay it dims with.
struct TButtonRegion
{
    qint32 Left = 0;
    qint32 Right = 0;
    qint32 Top = 0;
    qint32 Bottom = 0;
    qint32 ImageIndex = 0;

    friend bool operator==(const TButtonRegion&, const TButtonRegion&) = default;
};

namespace buttonregion {

// Index of the first region holding control pixel (x, y) of a width x height control,
// converted to per mille by truncation; -1 outside every region or for an empty control.
int HitTest(std::span<const TButtonRegion> regions, int x, int y, int width, int height);
// The region in control pixels: left/right scaled by width, top/bottom by height,
// truncating; the rectangle includes its right and bottom pixel.
QRect ToPixels(const TButtonRegion& region, int width, int height);

} // namespace buttonregion
