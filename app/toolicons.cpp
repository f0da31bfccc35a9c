#include "toolicons.h"

#include <QGuiApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPalette>

namespace toolicons {

namespace {

// Shapes are drawn in a 24 x 24 box; `ink` is the outline colour.
using Draw = void (*)(QPainter& p, const QColor& ink);

constexpr qreal kBox = 24.0;
constexpr qreal kDisabledOpacity = 0.35;

class TPaintedIcon : public QIconEngine
{
public:
    explicit TPaintedIcon(Draw draw) : m_draw(draw) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override
    {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->translate(rect.topLeft());
        painter->scale(rect.width() / kBox, rect.height() / kBox);
        if (mode == QIcon::Disabled)
            painter->setOpacity(kDisabledOpacity);
        m_draw(*painter, QGuiApplication::palette().color(QPalette::WindowText));
        painter->restore();
    }
    // Asked for in device pixels: a high-resolution screen gets a larger drawing, not a
    // stretched one.
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(), size), mode, state);
        return pixmap;
    }
    QIconEngine* clone() const override { return new TPaintedIcon(m_draw); }

private:
    Draw m_draw;
};

QPen Outline(const QColor& ink)
{
    return QPen(ink, 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void DrawOpen(QPainter& p, const QColor& ink)
{
    p.setPen(Outline(ink));
    p.setBrush(QColor(0xC8, 0x8A, 0x1E));
    const QPointF back[] = {{2.5, 19.5}, {2.5, 5.5},  {8.5, 5.5},
                            {10.5, 7.5}, {18.5, 7.5}, {18.5, 10.5}};
    p.drawPolygon(back, 6);
    p.setBrush(QColor(0xF2, 0xB8, 0x4B));
    const QPointF flap[] = {{2.5, 19.5}, {6.0, 10.5}, {21.5, 10.5}, {18.0, 19.5}};
    p.drawPolygon(flap, 4);
}

void DrawSave(QPainter& p, const QColor& ink)
{
    p.setPen(Outline(ink));
    p.setBrush(QColor(0x3D, 0x6F, 0xB6));
    const QPointF body[] = {{3.5, 3.5}, {17.5, 3.5}, {20.5, 6.5}, {20.5, 20.5}, {3.5, 20.5}};
    p.drawPolygon(body, 5);
    p.setBrush(QColor(0xF4, 0xF4, 0xF4));
    p.drawRect(QRectF(6.5, 12.5, 11.0, 8.0));
    p.setBrush(QColor(0xB8, 0xC4, 0xD6));
    p.drawRect(QRectF(7.5, 3.5, 8.0, 5.0));
}

void DrawConnect(QPainter& p, const QColor& ink)
{
    p.setPen(Outline(ink));
    p.setBrush(QColor(0x3E, 0x9B, 0x4F));
    // The plug, its two pins and its cable.
    p.drawRoundedRect(QRectF(6.5, 9.5, 11.0, 8.0), 2.0, 2.0);
    p.setBrush(ink);
    p.drawRect(QRectF(8.5, 4.5, 2.0, 5.0));
    p.drawRect(QRectF(13.5, 4.5, 2.0, 5.0));
    p.setBrush(Qt::NoBrush);
    QPen cable = Outline(ink);
    cable.setWidthF(2.0);
    p.setPen(cable);
    p.drawLine(QPointF(12.0, 17.5), QPointF(12.0, 22.0));
}

void DrawStart(QPainter& p, const QColor& ink)
{
    p.setPen(Outline(ink));
    p.setBrush(QColor(0x2E, 0x9E, 0x44));
    const QPointF play[] = {{6.5, 4.0}, {19.5, 12.0}, {6.5, 20.0}};
    p.drawPolygon(play, 3);
}

void DrawEnd(QPainter& p, const QColor& ink)
{
    p.setPen(Outline(ink));
    p.setBrush(QColor(0xC6, 0x3B, 0x3B));
    p.drawRoundedRect(QRectF(5.5, 5.5, 13.0, 13.0), 1.5, 1.5);
}

QIcon Painted(Draw draw)
{
    return QIcon(new TPaintedIcon(draw));
}

} // namespace

QIcon Open()
{
    return Painted(DrawOpen);
}

QIcon Save()
{
    return Painted(DrawSave);
}

QIcon Connect()
{
    return Painted(DrawConnect);
}

QIcon StartSession()
{
    return Painted(DrawStart);
}

QIcon EndSession()
{
    return Painted(DrawEnd);
}

} // namespace toolicons
