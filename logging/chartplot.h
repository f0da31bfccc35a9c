#pragma once

#include <qcustomplot.h>

// The plotting widget inside the chart: its layout pass reachable, so that the chart can lay
// itself out again for the screen after drawing at another size (printing, export), and a
// frame in the highlight colour while the chart holds the keyboard focus.
class TPlot : public QCustomPlot
{
public:
    using QCustomPlot::QCustomPlot;

    void Relayout() { updateLayout(); }
    void SetFocusFrame(bool shown);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_focusFrame = false;
};
