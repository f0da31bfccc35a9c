#include "tracegraph.h"

#include "tracethinning.h"

#include <cmath>

TTraceGraph::TTraceGraph(QCPAxis* time, QCPAxis* value, const TPackedTraces& traces, int trace)
    : QCPGraph(time, value), m_traces(traces), m_trace(trace)
{
}

void TTraceGraph::draw(QCPPainter* painter)
{
    const QCPAxis* time = keyAxis();
    const QCPRange range = time->range();
    const double pixels =
        std::fabs(time->coordToPixel(range.upper) - time->coordToPixel(range.lower));
    const std::vector<TTracePoint> points = tracethinning::PointsToDraw(
        m_traces, m_trace, {range.lower, range.upper}, int(std::ceil(pixels)), m_everyPoint);
    QVector<QCPGraphData> shown;
    shown.reserve(qsizetype(points.size()));
    for (const TTracePoint& point : points)
        shown.append(QCPGraphData(point.time, point.value));
    data()->set(shown, true);
    QCPGraph::draw(painter);
}
