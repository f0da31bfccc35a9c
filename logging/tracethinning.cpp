#include "tracethinning.h"

#include "packedtraces.h"

#include <algorithm>

namespace tracethinning {

namespace {

// Up to this many points per pixel column are drawn as they are.
constexpr qsizetype kPointsPerColumn = 2;
// A column with no more changes than this is drawn point by point.
constexpr qsizetype kSmallColumn = 4;

// The points of [first, last) with a value of their own, and the last one, so that a step
// runs on to it.
void AppendChanges(std::vector<TTracePoint>& points, const TPackedTraces& traces, int trace,
                   qsizetype first, qsizetype last)
{
    qsizetype pushed = -1;
    for (qsizetype i = first; i < last; i = traces.NextChange(trace, i))
        points.push_back(traces.Point(trace, pushed = i));
    if (pushed != last - 1)
        points.push_back(traces.Point(trace, last - 1));
}

// One pixel column, points [first, last): the vertical span of its values drawn at its last
// point's time, between its first point and its last.
void AppendColumn(std::vector<TTracePoint>& points, const TPackedTraces& traces, int trace,
                  qsizetype first, qsizetype last)
{
    if (traces.Changes(trace, first, last) <= kSmallColumn) {
        AppendChanges(points, traces, trace, first, last);
        return;
    }
    const TTracePoint tail = traces.Point(trace, last - 1);
    const TAxisRange span = traces.ValueSpan(trace, first, last);
    points.push_back(traces.Point(trace, first));
    points.push_back({tail.time, span.min});
    points.push_back({tail.time, span.max});
    points.push_back(tail);
}

} // namespace

std::vector<TTracePoint> PointsToDraw(const TPackedTraces& traces, int trace, TAxisRange view,
                                      int columns, bool everyPoint)
{
    std::vector<TTracePoint> points;
    const qsizetype count = traces.PointCount(trace);
    if (count == 0)
        return points;
    const qsizetype from = traces.FirstFrom(trace, view.min);
    const qsizetype to = traces.FirstAfter(trace, view.max);
    const qsizetype first = std::max<qsizetype>(from - 1, 0);
    const qsizetype last = std::min(to + 1, count);
    columns = std::max(columns, 1);
    if (everyPoint || traces.Changes(trace, first, last) <= kPointsPerColumn * columns) {
        AppendChanges(points, traces, trace, first, last);
        return points;
    }
    points.reserve(size_t(4 * columns + 2));
    if (first < from)
        points.push_back(traces.Point(trace, first));
    const double width = (view.max - view.min) / columns;
    qsizetype begin = from;
    for (int column = 1; column <= columns && begin < to; ++column) {
        const qsizetype end =
            column == columns ? to : traces.FirstFrom(trace, view.min + column * width);
        if (end > begin)
            AppendColumn(points, traces, trace, begin, end);
        begin = std::max(begin, end);
    }
    if (to < last)
        points.push_back(traces.Point(trace, to));
    return points;
}

} // namespace tracethinning
