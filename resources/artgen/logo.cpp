#include "artgen.h"
#include "panelstyle.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace artgen {

QImage DrawLogo()
{
    QImage image(360, 80, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    // A weighing pan on a pillar, in the panel's blue.
    QLinearGradient blue(0, 10, 0, 70);
    blue.setColorAt(0, panelstyle::AccentLight);
    blue.setColorAt(1, panelstyle::Accent);
    p.setPen(Qt::NoPen);
    p.setBrush(blue);
    p.drawRoundedRect(QRectF(14, 10, 60, 60), 12, 12);
    p.setBrush(Qt::white);
    QPainterPath pan;
    pan.moveTo(24, 30);
    pan.lineTo(64, 30);
    pan.quadTo(44, 46, 24, 30);
    p.drawPath(pan);
    p.drawRect(QRectF(41, 34, 6, 20));
    p.drawRoundedRect(QRectF(28, 54, 32, 6), 3, 3);

    QFont title(QStringLiteral("DejaVu Sans"), 26, QFont::Bold);
    p.setFont(title);
    p.setPen(panelstyle::Accent);
    p.drawText(QRectF(88, 6, 270, 44), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Q900"));
    QFont sub(QStringLiteral("DejaVu Sans"), 11);
    p.setFont(sub);
    p.setPen(QColor(0x55, 0x5B, 0x66));
    p.drawText(QRectF(90, 48, 270, 24), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Weighing indicator viewer"));
    return image;
}

} // namespace artgen
