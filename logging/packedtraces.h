#pragma once

#include "chunkedarray.h"
#include "packedcolumn.h"
#include "tracereading.h"
#include "traces.h"

#include <optional>
#include <span>
#include <vector>

// The points of a chart's traces, held compactly enough for a week of samples at 10 Hz:
// times and values in packed columns, a trace of steps (a digital channel) as the runs of
// equal values it makes, and the times of any trace that has the same times as trace 0 (the
// rows of a log) not held twice. Each trace is kept in time order: a point earlier than the
// trace's last one goes in after the points of its time, at once or, while points are held
// back (between BeginPoints() and EndPoints(), while a file is read), at EndPoints().
class TPackedTraces : public ITraceSource, public ITraceSink
{
public:
    using TShape = tracereading::TShape;

    int AddTrace(TShape shape);
    int TraceCount() const { return int(m_traces.size()); }
    TShape Shape(int trace) const { return m_traces[size_t(trace)].shape; }

    qsizetype PointCount(int trace) const override;
    TTracePoint Point(int trace, qsizetype i) const override;
    void ReadPoints(int trace, qsizetype first, std::span<TTracePoint> out) const override;
    // Nothing for an empty trace.
    std::optional<TTraceExtent> Extent(int trace) const;

    void ClearTraces() override;
    void AddPoint(int trace, double time, double value) override;
    // Room for `rows` points in each trace; points out of time order wait for EndPoints().
    void BeginPoints(qsizetype rows) override;
    void EndPoints() override;

    // For drawing, 0 <= i < PointCount(trace), first < last <= PointCount(trace):
    double Time(int trace, qsizetype i) const;
    double Value(int trace, qsizetype i) const;
    // The first point at or after `time`, or after it.
    qsizetype FirstFrom(int trace, double time) const;
    qsizetype FirstAfter(int trace, double time) const;
    // The smallest and largest value of points [first, last).
    TAxisRange ValueSpan(int trace, qsizetype first, qsizetype last) const;
    // The next point with a value of its own: i + 1, or for steps the start of the next run.
    qsizetype NextChange(int trace, qsizetype i) const;
    // How many points of [first, last) have a value of their own (for steps: the runs).
    qsizetype Changes(int trace, qsizetype first, qsizetype last) const;

private:
    struct TTrace
    {
        TShape shape = TShape::Line;
        qsizetype count = 0;
        double lastTime = 0.0;    // of the last point, and
        double lastValue = 0.0;   // its value: quicker than from the packed columns
        bool sharesTimes = false; // times are trace 0's first `count`
        bool ordered = true;
        TPackedColumn times;
        TPackedColumn values;               // a line's values, or the values of the runs
        TChunkedArray<qsizetype> runStarts; // steps: the first point of each run
        std::optional<TTraceExtent> extent;
    };

    const TTrace& Trace(int trace) const { return m_traces[size_t(trace)]; }
    void AppendTime(TTrace& t, double time);
    qsizetype RunAt(const TTrace& t, qsizetype i) const;
    template <typename Before> qsizetype Search(int trace, Before before) const;
    void Unshare();
    void Reorder(int trace);
    void ClearTrace(TTrace& t);

    std::vector<TTrace> m_traces;
    bool m_holdOrder = false;
};
