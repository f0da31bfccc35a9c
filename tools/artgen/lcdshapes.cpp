#include "lcdshapes.h"

#include <QFont>
#include <QPolygonF>
#include <QTransform>

namespace artgen::lcdshapes {

namespace {

QFont LcdFont(qreal pixelSize)
{
    QFont font(QStringLiteral("DejaVu Sans Condensed"));
    font.setBold(true);
    font.setPixelSize(qRound(pixelSize));
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

// Unslanted (u, y) in digit coordinates to map coordinates.
QPointF Slanted(const DigitGeometry& d, qreal u, qreal y)
{
    return {d.baseX + u + d.slant * (d.slantRow - y), y};
}

QPainterPath Polygon(const DigitGeometry& d, std::initializer_list<QPointF> points)
{
    QPolygonF polygon;
    for (const QPointF& p : points)
        polygon << Slanted(d, p.x(), p.y());
    QPainterPath path;
    path.addPolygon(polygon);
    path.closeSubpath();
    return path;
}

// A horizontal stroke with pointed ends at u0 and u1 on centre row c.
QPainterPath Horizontal(const DigitGeometry& d, qreal u0, qreal u1, qreal c)
{
    const qreal h = d.strokeH / 2;
    return Polygon(
        d, {{u0, c}, {u0 + h, c - h}, {u1 - h, c - h}, {u1, c}, {u1 - h, c + h}, {u0 + h, c + h}});
}

// A vertical stroke with pointed ends at rows y0 and y1 on centre column cu.
QPainterPath Vertical(const DigitGeometry& d, qreal cu, qreal y0, qreal y1)
{
    const qreal h = d.strokeV / 2;
    return Polygon(d, {{cu, y0},
                       {cu + h, y0 + h},
                       {cu + h, y1 - h},
                       {cu, y1},
                       {cu - h, y1 - h},
                       {cu - h, y0 + h}});
}

QPainterPath Point(const DigitGeometry& d, qreal top, qreal bottom)
{
    const qreal size = bottom - top;
    const qreal u0 = d.width + d.strokeV * 0.65;
    return Polygon(d, {{u0, top}, {u0 + size, top}, {u0 + size, bottom}, {u0, bottom}});
}

} // namespace

QPainterPath Stroke(const DigitGeometry& d, char stroke)
{
    const qreal hv = d.strokeV / 2;
    const qreal topRow = d.top + d.strokeH / 2;
    const qreal bottomRow = d.bottom - d.strokeH / 2;
    const qreal left = hv + d.gap;
    const qreal right = d.width - hv - d.gap;
    switch (stroke) {
    case 'a':
        return Horizontal(d, left, right, topRow);
    case 'g':
        return Horizontal(d, left, right, d.mid);
    case 'd':
        return Horizontal(d, left, right, bottomRow);
    case 'f':
        return Vertical(d, hv, topRow + d.gap, d.mid - d.gap);
    case 'e':
        return Vertical(d, hv, d.mid + d.gap, bottomRow - d.gap);
    case 'b':
        return Vertical(d, d.width - hv, topRow + d.gap, d.mid - d.gap);
    case 'c':
        return Vertical(d, d.width - hv, d.mid + d.gap, bottomRow - d.gap);
    case 'h':
        return Point(d, d.bottom - d.strokeH, d.bottom);
    default:
        return {};
    }
}

QPainterPath LowPoint(const DigitGeometry& digit, qreal top, qreal bottom)
{
    return Point(digit, top, bottom);
}

QPainterPath LetteringAt(const QString& text, qreal pixelSize, QPointF baseline, qreal stretch)
{
    QPainterPath path;
    path.addText(QPointF(0, 0), LcdFont(pixelSize), text);
    QTransform t;
    t.translate(baseline.x(), baseline.y());
    t.scale(stretch, 1);
    t.translate(-path.boundingRect().left(), 0);
    return t.map(path);
}

QPainterPath Lettering(const QString& text, const QRectF& box, qreal stretch)
{
    QPainterPath path;
    path.addText(QPointF(0, 0), LcdFont(100), text);
    const QRectF bounds = path.boundingRect();
    const qreal scaleY = box.height() / bounds.height();
    const qreal scaleX = std::min(scaleY * stretch, box.width() / bounds.width());
    QTransform t;
    t.translate(box.center().x(), box.center().y());
    t.scale(scaleX, scaleY);
    t.translate(-bounds.center().x(), -bounds.center().y());
    return t.map(path);
}

QPainterPath BoxedNumeral(const QString& numeral, const QRectF& box, qreal stretch)
{
    QPainterPath outline;
    outline.addRoundedRect(box, 3, 3);
    QPainterPath inner;
    const qreal line = 2.5;
    inner.addRoundedRect(box.adjusted(line, line, -line, -line), 1.5, 1.5);
    const QRectF text = box.adjusted(line + 2.5, line + 2.5, -line - 2.5, -line - 2.5);
    return outline.subtracted(inner).united(Lettering(numeral, text, stretch));
}

QPainterPath Triangle(QPointF a, QPointF b, QPointF c)
{
    QPainterPath path;
    path.addPolygon(QPolygonF({a, b, c}));
    path.closeSubpath();
    return path;
}

QPainterPath Bar(const QRectF& rect)
{
    QPainterPath path;
    path.addRect(rect);
    return path;
}

} // namespace artgen::lcdshapes
