#include "logprint.h"

#include "logchart.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

namespace logprint {

namespace {

constexpr int kFontPoints = 16;

// Text with its top left corner at `at`.
void PrintText(QPainter& painter, const QPoint& at, const QString& text)
{
    painter.drawText(at + QPoint(0, painter.fontMetrics().ascent()), text);
}

} // namespace

bool PaintLogPage(QPainter& painter, const QRect& page, TLogChart& chart, const TPageTexts& texts)
{
    const int w = page.width();
    const int h = page.height();
    painter.save();
    painter.setFont(QFont(QStringLiteral("Arial"), kFontPoints));
    const int lineHeight = QFontMetrics(painter.font(), painter.device()).height();
    const int y = h - h / 20;
    const int x = w * 10 / 12;
    PrintText(painter, {w / 6, y}, texts.comment);
    // Channels 1 and 2 side by side above 3 and 4.
    const std::array<QPoint, logchannels::DigitalCount> places = {
        QPoint(x, y - lineHeight), QPoint(x + w / 12, y - lineHeight), QPoint(x, y),
        QPoint(x + w / 12, y)};
    for (size_t k = 0; k < places.size(); ++k) {
        painter.setPen(texts.labels[k].colour);
        PrintText(painter, places[k], texts.labels[k].text);
    }
    painter.restore();
    return chart.Render(painter, QRect(QPoint(w / 20, h / 10), QPoint(w - w / 20, h - h / 10)));
}

} // namespace logprint
