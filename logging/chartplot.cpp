#include "chartplot.h"

#include <QPainter>

namespace {

constexpr int kFramePixels = 2;

} // namespace

void TPlot::SetFocusFrame(bool shown)
{
    if (shown == m_focusFrame)
        return;
    m_focusFrame = shown;
    update();
}

void TPlot::paintEvent(QPaintEvent* event)
{
    QCustomPlot::paintEvent(event);
    if (!m_focusFrame)
        return;
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::Highlight), kFramePixels));
    painter.drawRect(rect().adjusted(1, 1, -1, -1));
}
