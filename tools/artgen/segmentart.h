#pragma once

#include <QImage>
#include <QList>
#include <QPainterPath>
#include <QString>

// The Q910 LCD's segment pictures: one black-on-white picture per file of the panel's
// segment table, each drawn so that at its table offset its black pixels land on the right
// spot of the 1036 x 287 segment map. Shapes are designed in map coordinates.
namespace artgen {

struct SegmentPicture
{
    QString fileName; // as in the segment table, e.g. "segs\a.bmp"
    QImage image;     // 1 bit per pixel, black strokes on white
};

// The shape of a segment picture's black area in map coordinates, placed for the table
// entry (top, left) the file first appears at.
QPainterPath SegmentShape(const QString& baseName);
QList<SegmentPicture> DrawSegmentPictures(QString* error);
// Writes every segment picture into `dataDir` ("segs" below it).
bool WriteSegmentPictures(const QString& dataDir, QString* error);

} // namespace artgen
