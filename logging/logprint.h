#pragma once

#include "logsampler.h"

#include <QColor>
#include <QRect>
#include <QString>

#include <array>

class QPainter;
class TLogChart;

// The printed Log page: the chart in the middle of the page with the log comment and the
// digital channel labels, each in its trace's colour, along the bottom edge.
namespace logprint {

struct TLabel
{
    QString text;
    QColor colour;
};

struct TPageTexts
{
    QString comment;
    std::array<TLabel, logchannels::DigitalCount> labels;
};

// Draws the page into `page` (the printable area in device pixels, top left at 0, 0); false
// when the chart could not be drawn.
[[nodiscard]] bool PaintLogPage(QPainter& painter, const QRect& page, TLogChart& chart,
                                const TPageTexts& texts);

} // namespace logprint
