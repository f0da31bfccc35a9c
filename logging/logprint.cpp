#include "logprint.h"

#include "logchart.h"

#include <QRect>

namespace logprint {

QStringList Heading(const QString& source, const QString& comment)
{
    QStringList lines;
    for (const QString& line : {source, comment})
        if (!line.trimmed().isEmpty())
            lines.append(line.trimmed());
    return lines;
}

bool PaintLogPage(QPainter& painter, const QRect& page, TLogChart& chart)
{
    const int w = page.width();
    const int h = page.height();
    return chart.Render(painter, QRect(QPoint(w / 20, h / 10), QPoint(w - w / 20, h - h / 10)));
}

} // namespace logprint
