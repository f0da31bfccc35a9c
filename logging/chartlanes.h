#pragma once

#include <QString>

#include <vector>

class QColor;
class QCPAxis;
class QCPAxisRect;
class QCPMarginGroup;
class QCustomPlot;
class TSpanAxisRect;

// The strip of 0/1 lanes above the log chart's plot area for the digital channels: a lane
// per channel from its baseline (off) to one above (on), named on the left and marked 0 and 1
// on the right, on an axis of its own that never moves with the weight axis. Its time axis
// follows the plot's. The strip shows while any lane has a name, and spans the named lanes
// at a height their labels need.
class TChartLanes
{
public:
    struct TLane
    {
        double baseline = 0.0;
        QString name;
    };

    // `plotRect` is the plot area the strip stands above and shares its time axis with.
    TChartLanes(QCustomPlot* plot, QCPAxisRect* plotRect);
    ~TChartLanes();
    TChartLanes(const TChartLanes&) = delete;
    TChartLanes& operator=(const TChartLanes&) = delete;

    // The lanes' traces are drawn against these.
    QCPAxis* ValueAxis() const;
    QCPAxis* TimeAxis() const;
    void SetLanes(const std::vector<TLane>& lanes);
    bool Shown() const { return m_shown; }
    QCPAxisRect* Rect() const;
    // Part of the chart's width the time axis covers, in percent, as the plot area's.
    void SetHorizontalSpan(double startPercent, double endPercent);
    void SetColours(const QColor& background, const QColor& text, const QColor& grid);

private:
    void Show(bool shown);

    QCustomPlot* m_plot;
    QCPAxisRect* m_plotRect;
    TSpanAxisRect* m_rect;
    QCPMarginGroup* m_group;
    bool m_shown = false;
};
