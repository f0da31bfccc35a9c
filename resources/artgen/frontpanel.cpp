#include "artgen.h"
#include "panelstyle.h"

#include <QPainter>

namespace artgen {

// First front panel: the case with its display window at the mimic's LCD rectangle.
QImage DrawFrontPanel()
{
    QImage image(1000, 491, QImage::Format_RGB32);
    image.fill(panelstyle::Bezel);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(panelstyle::LcdGlass);
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(154, 491 * 0.223, 540, 491 * 0.350));
    return image;
}

} // namespace artgen
