#pragma once

#include "traces.h"

#include <vector>

class TPackedTraces;

// What of a trace the chart hands its plotting library to draw a view: never more than a few
// points per pixel column, however many the trace holds. Where the view holds few enough
// they are the trace's own points (for steps: where the value changes); where it holds more,
// each pixel column gets its first point, its smallest and largest value (from the trace's
// summary of blocks) and its last point, which draws the same column of pixels. A point
// either side of the view lets the trace run on to the plot's edges.
namespace tracethinning {

// The points to draw of `trace` for the times of `view` across `columns` pixel columns, in
// time order; with `everyPoint` (marks, not lines) all the points in view.
std::vector<TTracePoint> PointsToDraw(const TPackedTraces& traces, int trace, TAxisRange view,
                                      int columns, bool everyPoint = false);

} // namespace tracethinning
