#pragma once

#include <qcustomplot.h>

class TPackedTraces;

// A chart trace drawn from the chart's packed points: each time it is drawn, on the screen,
// on paper or into a picture, it takes only what its view needs (a few points per pixel
// column, from the trace's summary at wide zoom, every point when zoomed in), so a week of
// samples draws as quickly as a minute of them.
class TTraceGraph : public QCPGraph
{
public:
    TTraceGraph(QCPAxis* time, QCPAxis* value, const TPackedTraces& traces, int trace);

    // Every point in view, for marks.
    void SetEveryPoint(bool on) { m_everyPoint = on; }

protected:
    void draw(QCPPainter* painter) override;

private:
    const TPackedTraces& m_traces;
    int m_trace;
    bool m_everyPoint = false;
};
