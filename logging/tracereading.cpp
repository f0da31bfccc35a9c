#include "tracereading.h"

#include <algorithm>

namespace tracereading {

namespace {

// The first point later than `time`: binary search, as a run can hold millions of points.
qsizetype FirstAfter(const ITraceSource& source, int trace, double time)
{
    qsizetype low = 0;
    qsizetype high = source.PointCount(trace);
    while (low < high) {
        const qsizetype middle = low + (high - low) / 2;
        if (source.Point(trace, middle).time <= time)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

} // namespace

std::optional<double> ValueAt(const ITraceSource& source, int trace, double time, TShape shape,
                              double tolerance)
{
    const qsizetype count = source.PointCount(trace);
    if (count == 0)
        return std::nullopt;
    const TTracePoint first = source.Point(trace, 0);
    const TTracePoint last = source.Point(trace, count - 1);
    if (time < first.time)
        return first.time - time <= tolerance ? std::optional(first.value) : std::nullopt;
    if (time > last.time)
        return time - last.time <= tolerance ? std::optional(last.value) : std::nullopt;
    const qsizetype next = FirstAfter(source, trace, time);
    const TTracePoint before = source.Point(trace, next - 1);
    if (next == count || shape == TShape::Steps)
        return before.value;
    const TTracePoint after = source.Point(trace, next);
    return before.value +
           (after.value - before.value) * (time - before.time) / (after.time - before.time);
}

std::optional<double> StepTime(const ITraceSource& source, int trace, double time, int steps)
{
    const qsizetype count = source.PointCount(trace);
    if (count == 0)
        return std::nullopt;
    qsizetype nearest = FirstAfter(source, trace, time);
    if (nearest == count || (nearest > 0 && time - source.Point(trace, nearest - 1).time <=
                                                source.Point(trace, nearest).time - time))
        --nearest;
    const qsizetype target = std::clamp<qsizetype>(nearest + steps, 0, count - 1);
    return source.Point(trace, target).time;
}

} // namespace tracereading
