#include "frontpanel.h"
#include "panelstyle.h"

#include "q910panel.h"

#include <QLinearGradient>
#include <QPainterPath>

namespace artgen::frontpanel {

namespace {

const QColor kKeyInk(0x23, 0x28, 0x2F);
const QColor kPowerRed(0xD2, 0x3F, 0x2A);

enum class Symbol
{
    Text,
    Printer,
    Power
};

struct KeyFace
{
    Symbol symbol;
    const char* mark; // the symbol as text, for Symbol::Text
    const char* word;
};

// What the simulated instrument's keys do, left to right: keys 2..6 of register 0x0008.
constexpr KeyFace kBottomKeys[] = {
    {Symbol::Text, "\u21920\u2190", "ZERO"}, {Symbol::Text, "\u2192T\u2190", "TARE"},
    {Symbol::Text, "G/N", "GROSS/NET"},      {Symbol::Printer, nullptr, "PRINT"},
    {Symbol::Text, "F", "FUNCTION"},
};

QRectF KeyRect(int index)
{
    const TButtonRegion& r = q910panel::KeyRegions()[size_t(index)];
    return PerMille(r.Left, r.Top, r.Right, r.Bottom);
}

// The raised membrane dome: its shadow, its light face and rim.
void DrawDome(QPainter& p, const QRectF& rect, qreal radius)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 90));
    p.drawRoundedRect(rect.adjusted(1, 3, 1, 4), radius, radius);
    p.setBrush(QColor(0x15, 0x18, 0x1C));
    p.drawRoundedRect(rect.adjusted(-2, -2, 2, 2), radius + 2, radius + 2);
    QLinearGradient face(0, rect.top(), 0, rect.bottom());
    face.setColorAt(0, QColor(0xF5, 0xF6, 0xF8));
    face.setColorAt(0.55, QColor(0xDC, 0xE0, 0xE5));
    face.setColorAt(1, QColor(0xB4, 0xBA, 0xC2));
    p.setBrush(face);
    p.setPen(QPen(QColor(0x7E, 0x86, 0x90), 1));
    p.drawRoundedRect(rect, radius, radius);
    p.setPen(QPen(QColor(255, 255, 255, 170), 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(rect.adjusted(2, 1.5, -2, -rect.height() * 0.45), radius - 2, radius - 2);
}

void DrawPrinter(QPainter& p, QPointF centre)
{
    p.save();
    p.translate(centre);
    p.setPen(Qt::NoPen);
    p.setBrush(panelstyle::Accent);
    p.drawRoundedRect(QRectF(-12, -5, 24, 11), 2.5, 2.5);
    p.setBrush(Qt::white);
    p.setPen(QPen(panelstyle::Accent, 1.6));
    p.drawRect(QRectF(-7, -10, 14, 6));
    p.drawRect(QRectF(-7, 2, 14, 9));
    p.setPen(QPen(panelstyle::Accent, 1));
    p.drawLine(QPointF(-4, 5.5), QPointF(4, 5.5));
    p.drawLine(QPointF(-4, 8), QPointF(2, 8));
    p.restore();
}

void DrawBottomKey(QPainter& p, const QRectF& region, const KeyFace& face)
{
    const QRectF rect = region.adjusted(3, 3, -3, -3);
    DrawDome(p, rect, rect.height() * 0.42);
    const QRectF markBox(rect.left(), rect.top() + 5, rect.width(), rect.height() * 0.5);
    if (face.symbol == Symbol::Printer) {
        DrawPrinter(p, markBox.center() + QPointF(0, 1));
    } else {
        p.setPen(panelstyle::Accent);
        p.setFont(PanelFont(17));
        p.drawText(markBox, Qt::AlignCenter, QString::fromUtf8(face.mark));
    }
    p.setPen(kKeyInk);
    p.setFont(PanelFont(9.5));
    const QRectF wordBox(rect.left(), markBox.bottom() - 1, rect.width(), rect.height() * 0.32);
    p.drawText(wordBox, Qt::AlignHCenter | Qt::AlignTop, QString::fromLatin1(face.word));
}

// The small key at the far left; the viewer sends nothing for it.
void DrawPowerKey(QPainter& p, const QRectF& region)
{
    const QRectF rect = region.adjusted(1.5, 3, -1.5, -3);
    const qreal side = std::min(rect.width(), rect.height());
    const QRectF round(rect.center() - QPointF(side / 2, side / 2), QSizeF(side, side));
    DrawDome(p, round, side / 2);
    p.setPen(QPen(kPowerRed, 2.4, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    const QRectF arc(round.center() - QPointF(7.5, 6.5), QSizeF(15, 15));
    p.drawArc(arc, 120 * 16, 300 * 16);
    p.drawLine(round.center() + QPointF(0, -9), round.center() + QPointF(0, -1.5));
}

} // namespace

void DrawKeys(QPainter& p)
{
    DrawPowerKey(p, KeyRect(0));
    for (int i = 1; i < q910panel::kKeyCount; ++i)
        DrawBottomKey(p, KeyRect(i), kBottomKeys[i - 1]);
}

} // namespace artgen::frontpanel
