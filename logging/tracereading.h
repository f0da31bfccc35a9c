#pragma once

#include "traces.h"

#include <optional>

// What a trace shows at a given time, read from its points (kept in time order) as the chart
// draws them: the cursor read-out under the log chart and the cursor keys use it.
namespace tracereading {

enum class TShape
{
    Line, // straight lines between the points: the weight
    Steps // each value holds until the next point: the digital channels
};

// The trace's value at `time`: none before its first point or after its last, where the
// chart draws nothing. A time at most `tolerance` outside the trace (a pixel's width, for a
// click at its very end) reads the end point.
std::optional<double> ValueAt(const ITraceSource& source, int trace, double time, TShape shape,
                              double tolerance = 0.0);

// The time of the point `steps` points after (negative: before) the point nearest `time`,
// stopping at the first and the last point; none for a trace without points.
std::optional<double> StepTime(const ITraceSource& source, int trace, double time, int steps);

} // namespace tracereading
