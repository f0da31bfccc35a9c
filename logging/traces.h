#pragma once

#include <QtGlobal>

#include <span>

// How the log file reaches the chart's traces without a copy of its own: the chart is the
// only store of the points, the writer reads them through ITraceSource and the reader adds
// them through ITraceSink. Trace 0 is the weight, traces 1..4 the digital channels.
//
// Every trace is in time order: a sink puts a point that comes out of order in its place,
// after the points of the same time.

namespace traces {
inline constexpr int Weight = 0;
inline constexpr int LogTraceCount = 5;
} // namespace traces

struct TTracePoint
{
    double time = 0.0;
    double value = 0.0;
};

// A span of an axis.
struct TAxisRange
{
    double min = 0.0;
    double max = 0.0;
};

// The smallest and largest times and values of a trace with points.
struct TTraceExtent
{
    double minTime = 0.0;
    double maxTime = 0.0;
    double minValue = 0.0;
    double maxValue = 0.0;
};

// Read access to the points of the log traces, in trace order.
class ITraceSource
{
public:
    virtual ~ITraceSource() = default;
    virtual qsizetype PointCount(int trace) const = 0;
    // Point i (0 <= i < PointCount(trace)) of a trace.
    virtual TTracePoint Point(int trace, qsizetype i) const = 0;
    // Points first .. first + out.size() - 1, all within the trace: a source that holds its
    // points packed gives a stretch of them far quicker than one at a time.
    virtual void ReadPoints(int trace, qsizetype first, std::span<TTracePoint> out) const
    {
        for (size_t n = 0; n < out.size(); ++n)
            out[n] = Point(trace, first + qsizetype(n));
    }
};

// Write access to the log traces, for readers that replace their contents.
class ITraceSink
{
public:
    virtual ~ITraceSink() = default;
    virtual void ClearTraces() = 0;
    virtual void AddPoint(int trace, double time, double value) = 0;
    // Around the points of a whole file of `rows` rows: a sink may make room for them first
    // and put points out of order in their place at the end. Until EndPoints() what was
    // added need not show.
    virtual void BeginPoints(qsizetype rows) { (void)rows; }
    virtual void EndPoints() {}
};
