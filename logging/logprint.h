#pragma once

#include <QString>
#include <QStringList>

class QPainter;
class QRect;
class TLogChart;

// The printed Log page, and the heading a printed or exported log chart carries.
namespace logprint {

// What the chart shows is told above it: where the data came from (the instrument that
// recorded it and when, or the file it was read from) and the log comment; blank lines are
// left out.
QStringList Heading(const QString& source, const QString& comment);

// Draws the chart, with its heading and legend, into the middle of `page` (the printable area
// in device pixels, top left at 0, 0); false when the chart could not be drawn.
[[nodiscard]] bool PaintLogPage(QPainter& painter, const QRect& page, TLogChart& chart);

} // namespace logprint
