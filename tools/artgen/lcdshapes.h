#pragma once

#include <QPainterPath>
#include <QRectF>
#include <QString>

// Drawing primitives of the LCD's glass: slanted seven-segment strokes and the fitted
// lettering of the annunciators, all in segment-map coordinates.
namespace artgen::lcdshapes {

// A seven-segment digit: unslanted stroke geometry around (baseX, 0) with the slant
// applied about row slantRow, where x shifts by `slant` per row upwards.
struct DigitGeometry
{
    qreal baseX = 0;
    qreal top = 0;     // first row of stroke a
    qreal bottom = 0;  // last row of stroke d
    qreal width = 0;   // outer width, unslanted
    qreal strokeH = 0; // thickness of a, g, d (rows)
    qreal strokeV = 0; // thickness of b, c, e, f (columns)
    qreal gap = 0;
    qreal slant = 0;
    qreal slantRow = 0;
    qreal mid = 0; // centre row of stroke g
};

// Stroke 'a'..'g' or point 'h' of `digit`.
QPainterPath Stroke(const DigitGeometry& digit, char stroke);
// The rightmost digit's point, set lower than the others (the table puts it there).
QPainterPath LowPoint(const DigitGeometry& digit, qreal top, qreal bottom);

// Bold condensed lettering filling `box`'s height, widened by `stretch` (the map is drawn
// wider than tall) and narrowed if needed to fit its width; centred.
QPainterPath Lettering(const QString& text, const QRectF& box, qreal stretch);
// Lettering of a given pixel size on a baseline, left-aligned.
QPainterPath LetteringAt(const QString& text, qreal pixelSize, QPointF baseline, qreal stretch);
// A numeral in a rounded outline box.
QPainterPath BoxedNumeral(const QString& numeral, const QRectF& box, qreal stretch);
QPainterPath Triangle(QPointF a, QPointF b, QPointF c);
QPainterPath Bar(const QRectF& rect);

} // namespace artgen::lcdshapes
