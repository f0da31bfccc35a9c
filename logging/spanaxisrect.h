#pragma once

#include <qcustomplot.h>

// The plot area of the charts, placed so that the horizontal axis covers a given part of the
// chart's width and the vertical axes a given part of its height (start and end in percent),
// outside the room the axis labels need. It follows every size the chart is drawn at, on the
// screen, on paper or in an exported picture.
class TSpanAxisRect : public QCPAxisRect
{
public:
    explicit TSpanAxisRect(QCustomPlot* plot);

    void SetHorizontalSpan(double startPercent, double endPercent);
    void SetVerticalSpan(double startPercent, double endPercent);

protected:
    int calculateAutoMargin(QCP::MarginSide side) override;

private:
    double m_left = 0.0; // gaps in percent of the chart's width and height
    double m_right = 0.0;
    double m_top = 0.0;
    double m_bottom = 0.0;
};
