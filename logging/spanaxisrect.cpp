#include "spanaxisrect.h"

#include <algorithm>
#include <cmath>

namespace {

int Share(int length, double percent)
{
    return int(std::lround(length * std::clamp(percent, 0.0, 100.0) / 100.0));
}

} // namespace

TSpanAxisRect::TSpanAxisRect(QCustomPlot* plot) : QCPAxisRect(plot, true) {}

void TSpanAxisRect::SetHorizontalSpan(double startPercent, double endPercent)
{
    m_left = startPercent;
    m_right = 100.0 - endPercent;
}

void TSpanAxisRect::SetVerticalSpan(double startPercent, double endPercent)
{
    m_top = startPercent;
    m_bottom = 100.0 - endPercent;
}

int TSpanAxisRect::calculateAutoMargin(QCP::MarginSide side)
{
    const int labels = QCPAxisRect::calculateAutoMargin(side);
    const QRect chart = parentPlot()->viewport();
    switch (side) {
    case QCP::msLeft:
        return labels + Share(chart.width(), m_left);
    case QCP::msRight:
        return labels + Share(chart.width(), m_right);
    case QCP::msTop:
        return labels + Share(chart.height(), m_top);
    case QCP::msBottom:
        return labels + Share(chart.height(), m_bottom);
    default:
        return labels;
    }
}
