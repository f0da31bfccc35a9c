#include "frontpanel.h"
#include "artgen.h"
#include "panelstyle.h"

#include "q910panel.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

#include <cstdint>

namespace artgen {

namespace frontpanel {

QRectF PerMille(int left, int top, int right, int bottom)
{
    return QRectF(QPointF(left * kWidth / 1000, top * kHeight / 1000),
                  QPointF(right * kWidth / 1000, bottom * kHeight / 1000));
}

QRectF LcdWindow()
{
    using namespace q910panel;
    return PerMille(kLcdLeft, kLcdTop, kLcdLeft + kLcdWidth, kLcdTop + kLcdHeight);
}

QFont PanelFont(qreal pixelSize, bool bold)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(qRound(pixelSize));
    font.setBold(bold);
    return font;
}

} // namespace frontpanel

namespace {

using namespace frontpanel;

const QColor kMembraneTop(0x34, 0x3A, 0x43);
const QColor kMembraneBottom(0x22, 0x26, 0x2C);
const QColor kLegend(0xC9, 0xD1, 0xDB);
const QColor kLegendDim(0x8E, 0x99, 0xA7);

constexpr qreal kScale = 2;
const QRectF kCase(3, 3, 994, 485);
const QRectF kMembrane(24, 22, 952, 447);

// Fine horizontal grain of the stainless case, from a fixed sequence so every run draws
// the same picture.
void DrawBrushing(QPainter& p, const QRectF& area)
{
    uint32_t seed = 0x9E3779B9u;
    for (qreal y = area.top(); y < area.bottom(); y += 0.5) {
        seed = seed * 1664525u + 1013904223u;
        const int shade = int(seed >> 24) % 40;
        p.setPen(QPen(QColor(255, 255, 255, shade), 0)); // one device pixel
        const qreal x0 = area.left() + (seed >> 8) % 200;
        p.drawLine(QPointF(x0, y + 0.25), QPointF(area.right() - (seed >> 16) % 160, y + 0.25));
    }
}

void DrawCase(QPainter& p)
{
    p.fillRect(QRectF(0, 0, kWidth, kHeight), QColor(0xE4, 0xE6, 0xE9));
    QPainterPath outline;
    outline.addRoundedRect(kCase, 26, 26);
    QLinearGradient steel(0, kCase.top(), 0, kCase.bottom());
    steel.setColorAt(0, QColor(0xE2, 0xE5, 0xE9));
    steel.setColorAt(0.5, QColor(0xB9, 0xBF, 0xC6));
    steel.setColorAt(1, QColor(0x8F, 0x96, 0x9F));
    p.setPen(QPen(QColor(0x6E, 0x75, 0x7E), 1.5));
    p.setBrush(steel);
    p.drawPath(outline);
    p.save();
    p.setClipPath(outline);
    DrawBrushing(p, kCase);
    p.restore();
    // The membrane sits in a shallow recess of the case.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x5A, 0x61, 0x6A));
    p.drawRoundedRect(kMembrane.adjusted(-3, -3, 3, 3), 18, 18);
    QLinearGradient face(0, kMembrane.top(), 0, kMembrane.bottom());
    face.setColorAt(0, kMembraneTop);
    face.setColorAt(1, kMembraneBottom);
    p.setBrush(face);
    p.drawRoundedRect(kMembrane, 16, 16);
    p.setPen(QPen(QColor(255, 255, 255, 28), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(kMembrane.adjusted(1.5, 1.5, -1.5, -1.5), 15, 15);
}

void DrawScrews(QPainter& p)
{
    const QPointF centres[] = {{14, 14}, {986, 14}, {14, 477}, {986, 477}};
    for (const QPointF& c : centres) {
        QRadialGradient head(c - QPointF(1.5, 1.5), 7);
        head.setColorAt(0, QColor(0xF4, 0xF5, 0xF7));
        head.setColorAt(1, QColor(0x84, 0x8B, 0x94));
        p.setPen(QPen(QColor(0x5F, 0x66, 0x6F), 1));
        p.setBrush(head);
        p.drawEllipse(c, 6, 6);
        p.setPen(QPen(QColor(0x4B, 0x51, 0x59), 1.6));
        p.drawLine(c + QPointF(-3.2, 2.2), c + QPointF(3.2, -2.2));
    }
}

void DrawDisplayWindow(QPainter& p)
{
    const QRectF glass = LcdWindow();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 22));
    p.drawRoundedRect(glass.adjusted(-15, -14, 15, 16), 11, 11);
    QLinearGradient frame(0, glass.top() - 14, 0, glass.bottom() + 14);
    frame.setColorAt(0, QColor(0x08, 0x09, 0x0B));
    frame.setColorAt(1, QColor(0x18, 0x1B, 0x20));
    p.setBrush(frame);
    p.drawRoundedRect(glass.adjusted(-14, -14, 14, 14), 10, 10);
    // What the window shows before the LCD is drawn into it: the unlit glass.
    p.setBrush(panelstyle::LcdGlass);
    p.fillRect(glass, QColor(0xC8, 0xC8, 0x00));
    p.setPen(QPen(QColor(0, 0, 0, 90), 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(glass.adjusted(-1, -1, 1, 1));
}

// Unit legends beside the window, each at the arrow the LCD lights for it.
void DrawUnitLegends(QPainter& p)
{
    const QRectF glass = LcdWindow();
    const qreal rowScale = glass.height() / q910panel::kMapHeight;
    p.setFont(PanelFont(17));
    p.setPen(kLegend);
    const struct
    {
        qreal mapRow;
        const char* text;
    } legends[] = {{18, "g"}, {141, "t"}};
    for (const auto& legend : legends) {
        const qreal y = glass.top() + legend.mapRow * rowScale;
        p.drawText(QRectF(glass.right() + 20, y - 12, 30, 24), Qt::AlignLeft | Qt::AlignVCenter,
                   QString::fromLatin1(legend.text));
    }
}

void DrawPanMark(QPainter& p, const QRectF& box)
{
    QLinearGradient blue(0, box.top(), 0, box.bottom());
    blue.setColorAt(0, panelstyle::AccentLight);
    blue.setColorAt(1, panelstyle::Accent);
    p.setPen(Qt::NoPen);
    p.setBrush(blue);
    p.drawRoundedRect(box, box.width() * 0.2, box.width() * 0.2);
    const qreal u = box.width() / 60;
    p.save();
    p.translate(box.topLeft());
    p.scale(u, u);
    p.setBrush(Qt::white);
    QPainterPath pan;
    pan.moveTo(10, 20);
    pan.lineTo(50, 20);
    pan.quadTo(30, 36, 10, 20);
    p.drawPath(pan);
    p.drawRect(QRectF(27, 24, 6, 20));
    p.drawRoundedRect(QRectF(14, 44, 32, 6), 3, 3);
    p.restore();
}

void DrawHeader(QPainter& p)
{
    p.setPen(Qt::white);
    p.setFont(PanelFont(30));
    p.drawText(QPointF(196, 74), QStringLiteral("Q910"));
    p.setPen(kLegendDim);
    p.setFont(PanelFont(11.5, false));
    p.drawText(QPointF(292, 73), QStringLiteral("DIGITAL WEIGHING INDICATOR"));
    // The accent rule runs out to the right over the model plate's column.
    QLinearGradient rule(500, 0, 946, 0);
    rule.setColorAt(0, QColor(panelstyle::AccentLight.red(), panelstyle::AccentLight.green(),
                              panelstyle::AccentLight.blue(), 0));
    rule.setColorAt(1, panelstyle::AccentLight);
    p.fillRect(QRectF(500, 67, 446, 3), rule);
}

void DrawBrand(QPainter& p)
{
    DrawPanMark(p, QRectF(760, 368, 46, 46));
    p.setPen(Qt::white);
    p.setFont(PanelFont(27));
    p.drawText(QPointF(816, 400), QStringLiteral("Q900"));
    p.setPen(kLegendDim);
    p.setFont(PanelFont(10, false));
    p.drawText(QPointF(818, 414), QStringLiteral("SERIES  \u00B7  IP65"));
}

// The capacity plate beside the display, left blank for the installer to fill in.
void DrawCapacityPlate(QPainter& p)
{
    const QRectF plate(752, 168, 190, 100);
    p.setPen(QPen(QColor(0x6A, 0x74, 0x80), 1.2));
    p.setBrush(QColor(255, 255, 255, 10));
    p.drawRoundedRect(plate, 6, 6);
    p.setFont(PanelFont(12, false));
    const char* rows[] = {"Max", "Min", "e ="};
    for (int i = 0; i < 3; ++i) {
        const qreal y = plate.top() + 28 + i * 27;
        p.setPen(kLegend);
        p.drawText(QPointF(plate.left() + 14, y), QString::fromLatin1(rows[i]));
        p.setPen(QPen(kLegendDim, 1, Qt::DotLine));
        p.drawLine(QPointF(plate.left() + 54, y + 2), QPointF(plate.right() - 16, y + 2));
    }
}

// The optical link's port, left of the display, where its head is held on by its magnet.
void DrawOpticalPort(QPainter& p)
{
    const QPointF c(86, 196);
    QRadialGradient ring(c - QPointF(4, 6), 32);
    ring.setColorAt(0, QColor(0xE9, 0xEC, 0xEF));
    ring.setColorAt(1, QColor(0x7B, 0x83, 0x8C));
    p.setPen(QPen(QColor(0x14, 0x16, 0x19), 1.5));
    p.setBrush(ring);
    p.drawEllipse(c, 27, 27);
    p.setBrush(QColor(0x12, 0x14, 0x17));
    p.drawEllipse(c, 19, 19);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x7A, 0x1E, 0x1A));
    p.drawEllipse(c + QPointF(-7, 0), 4.5, 4.5);
    p.setBrush(QColor(0x1F, 0x3A, 0x5C));
    p.drawEllipse(c + QPointF(7, 0), 4.5, 4.5);
    p.setPen(kLegendDim);
    p.setFont(PanelFont(10));
    const QRectF label(c.x() - 50, c.y() + 32, 100, 16);
    p.drawText(label, Qt::AlignCenter, QStringLiteral("OPTICAL"));
}

} // namespace

// The Q910's front, aspect 1000 : 491: a stainless case around a dark membrane with the display
// window at the mimic's LCD rectangle and six membrane keys at its key regions.
QImage DrawFrontPanel()
{
    // Drawn at twice the design size so the panel stays sharp on large and high-density
    // screens; the mimic places everything in per mille of the picture anyway.
    QImage image(int(kWidth * kScale), int(kHeight * kScale), QImage::Format_RGB32);
    QPainter p(&image);
    p.scale(kScale, kScale);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    DrawCase(p);
    DrawScrews(p);
    DrawPanMark(p, QRectF(154, 44, 34, 34));
    DrawHeader(p);
    DrawDisplayWindow(p);
    DrawUnitLegends(p);
    DrawCapacityPlate(p);
    DrawOpticalPort(p);
    DrawBrand(p);
    DrawKeys(p);
    return image;
}

} // namespace artgen
