#pragma once

// Counting a colour's pixels in a picture of a chart, by hue: smoothed lines come out at part
// of their colour's strength, so exact colours would miss them.
#include <QImage>
#include <QRect>

#include <algorithm>

enum class THue
{
    None,
    Red,
    Green,
    Blue
};

// The channel that stands out of a pixel by a clear margin, if any.
inline THue HueOf(QRgb pixel)
{
    constexpr int kMargin = 40;
    const int r = qRed(pixel);
    const int g = qGreen(pixel);
    const int b = qBlue(pixel);
    if (r > g + kMargin && r > b + kMargin)
        return THue::Red;
    if (g > r + kMargin && g > b + kMargin)
        return THue::Green;
    if (b > r + kMargin && b > g + kMargin)
        return THue::Blue;
    return THue::None;
}

inline int CountHue(const QImage& image, const QRect& area, THue hue)
{
    const QRect inside = area.intersected(image.rect());
    int n = 0;
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            n += HueOf(image.pixel(x, y)) == hue;
    return n;
}
