#include "artgen.h"
#include "panelstyle.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace artgen {

namespace {

// The weighing pan on a pillar, in a rounded blue tile filling `tile`.
void DrawPanTile(QPainter& p, const QRectF& tile)
{
    const qreal u = tile.width() / 60.0;
    QLinearGradient blue(0, tile.top(), 0, tile.bottom());
    blue.setColorAt(0, panelstyle::AccentLight);
    blue.setColorAt(1, panelstyle::Accent);
    p.setPen(Qt::NoPen);
    p.setBrush(blue);
    p.drawRoundedRect(tile, 12 * u, 12 * u);
    p.setBrush(Qt::white);
    const QPointF o = tile.topLeft();
    QPainterPath pan;
    pan.moveTo(o + QPointF(10 * u, 20 * u));
    pan.lineTo(o + QPointF(50 * u, 20 * u));
    pan.quadTo(o + QPointF(30 * u, 36 * u), o + QPointF(10 * u, 20 * u));
    p.drawPath(pan);
    p.drawRect(QRectF(o + QPointF(27 * u, 24 * u), QSizeF(6 * u, 20 * u)));
    p.drawRoundedRect(QRectF(o + QPointF(14 * u, 44 * u), QSizeF(32 * u, 6 * u)), 3 * u, 3 * u);
}

} // namespace

QImage DrawAppIcon()
{
    QImage image(128, 128, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    DrawPanTile(p, QRectF(4, 4, 120, 120));
    return image;
}

QImage DrawLogo()
{
    QImage image(360, 80, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    DrawPanTile(p, QRectF(14, 10, 60, 60));

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
