#include "artgen.h"
#include "panelstyle.h"

#include <QLinearGradient>
#include <QPainter>

namespace artgen {

// The optical head held to the left of the instrument's display, its cable leading away.
QImage DrawOpticalPrompt()
{
    QImage image(400, 200, QImage::Format_RGB32);
    image.fill(QColor(0xEE, 0xF0, 0xF3));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient body(0, 30, 0, 180);
    body.setColorAt(0, panelstyle::BezelLight);
    body.setColorAt(1, panelstyle::Bezel);
    p.setPen(Qt::NoPen);
    p.setBrush(body);
    p.drawRoundedRect(QRectF(60, 30, 320, 150), 14, 14);
    p.setBrush(panelstyle::LcdGlass);
    p.drawRoundedRect(QRectF(150, 55, 200, 70), 6, 6);
    p.setPen(QColor(0x20, 0x24, 0x20));
    p.setFont(QFont(QStringLiteral("DejaVu Sans Mono"), 30, QFont::Bold));
    p.drawText(QRectF(150, 55, 195, 70), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("0.00"));

    // The head: a round puck with its lens, held on the panel by its magnet.
    p.setPen(QPen(QColor(0x11, 0x11, 0x11), 10, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(105, 95), QPointF(30, 20));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x18, 0x18, 0x1A));
    p.drawEllipse(QPointF(105, 95), 30, 30);
    p.setBrush(QColor(0xD9, 0x3A, 0x2B));
    p.drawEllipse(QPointF(105, 95), 9, 9);
    p.setPen(QPen(panelstyle::AccentLight, 3));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(65, 55, 80, 80), 30 * 16, 120 * 16);
    return image;
}

} // namespace artgen
