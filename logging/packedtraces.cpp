#include "packedtraces.h"

#include <algorithm>

namespace {

void Extend(std::optional<TTraceExtent>& extent, double time, double value)
{
    if (!extent) {
        extent = TTraceExtent{time, time, value, value};
        return;
    }
    extent->minTime = std::min(extent->minTime, time);
    extent->maxTime = std::max(extent->maxTime, time);
    extent->minValue = std::min(extent->minValue, value);
    extent->maxValue = std::max(extent->maxValue, value);
}

} // namespace

int TPackedTraces::AddTrace(TShape shape)
{
    TTrace& t = m_traces.emplace_back();
    t.shape = shape;
    t.sharesTimes = m_traces.size() > 1;
    return TraceCount() - 1;
}

qsizetype TPackedTraces::PointCount(int trace) const
{
    return trace >= 0 && trace < TraceCount() ? Trace(trace).count : 0;
}

TTracePoint TPackedTraces::Point(int trace, qsizetype i) const
{
    if (i < 0 || i >= PointCount(trace))
        return {};
    return {Time(trace, i), Value(trace, i)};
}

void TPackedTraces::ReadPoints(int trace, qsizetype first, std::span<TTracePoint> out) const
{
    const TTrace& t = Trace(trace);
    const TPackedColumn& times = t.sharesTimes ? m_traces[0].times : t.times;
    for (size_t n = 0; n < out.size(); ++n)
        out[n].time = times.At(first + qsizetype(n));
    if (t.shape == TShape::Line) {
        for (size_t n = 0; n < out.size(); ++n)
            out[n].value = t.values.At(first + qsizetype(n));
        return;
    }
    // A run at a time.
    qsizetype run = RunAt(t, first);
    for (size_t n = 0; n < out.size();) {
        const qsizetype end = run + 1 < t.runStarts.size() ? t.runStarts[run + 1] : t.count;
        const double value = t.values.At(run++);
        for (; n < out.size() && first + qsizetype(n) < end; ++n)
            out[n].value = value;
    }
}

std::optional<TTraceExtent> TPackedTraces::Extent(int trace) const
{
    return trace >= 0 && trace < TraceCount() ? Trace(trace).extent : std::nullopt;
}

void TPackedTraces::ClearTraces()
{
    for (TTrace& t : m_traces)
        ClearTrace(t);
}

void TPackedTraces::ClearTrace(TTrace& t)
{
    t.count = 0;
    t.sharesTimes = &t != &m_traces[0];
    t.ordered = true;
    t.times.Clear();
    t.values.Clear();
    t.runStarts.clear();
    t.extent.reset();
}

void TPackedTraces::BeginPoints(qsizetype rows)
{
    m_holdOrder = true;
    for (TTrace& t : m_traces) {
        t.times.Reserve(&t == &m_traces[0] ? rows : 0);
        t.values.Reserve(t.shape == TShape::Line ? rows : 0);
    }
}

void TPackedTraces::AddPoint(int trace, double time, double value)
{
    if (trace < 0 || trace >= TraceCount())
        return;
    TTrace& t = m_traces[size_t(trace)];
    if (t.count > 0 && time < t.lastTime)
        t.ordered = false;
    t.lastTime = time;
    AppendTime(t, time);
    if (t.shape == TShape::Line) {
        t.values.Append(value);
    } else if (t.count == 0 || !SameBits(value, t.lastValue)) {
        t.runStarts.push_back(t.count);
        t.values.Append(value);
    }
    t.lastValue = value;
    ++t.count;
    Extend(t.extent, time, value);
    if (!t.ordered && !m_holdOrder)
        Reorder(trace);
}

void TPackedTraces::AppendTime(TTrace& t, double time)
{
    if (t.sharesTimes) {
        const TTrace& rows = m_traces[0];
        // Mostly the point of the row trace 0 has just had.
        const double shared = t.count + 1 == rows.count ? rows.lastTime
                              : t.count < rows.count    ? rows.times.At(t.count)
                                                        : 0.0;
        if (t.count < rows.count && SameBits(shared, time))
            return;
        // Times of its own from here on: those so far copied from trace 0.
        t.sharesTimes = false;
        t.times.Reserve(rows.count);
        for (qsizetype i = 0; i < t.count; ++i)
            t.times.Append(rows.times.At(i));
    }
    t.times.Append(time);
}

void TPackedTraces::EndPoints()
{
    m_holdOrder = false;
    for (int trace = 0; trace < TraceCount(); ++trace) // trace 0 first: others may follow it
        if (!Trace(trace).ordered)
            Reorder(trace);
}

// The traces that share trace 0's times take a copy before it changes.
void TPackedTraces::Unshare()
{
    const TTrace& rows = m_traces[0];
    for (size_t k = 1; k < m_traces.size(); ++k) {
        TTrace& t = m_traces[k];
        if (!t.sharesTimes)
            continue;
        t.sharesTimes = false;
        t.times.Reserve(t.count);
        for (qsizetype i = 0; i < t.count; ++i)
            t.times.Append(rows.times.At(i));
    }
}

// Stable, so that points of the same time keep the order they came in.
void TPackedTraces::Reorder(int trace)
{
    std::vector<TTracePoint> points(size_t(PointCount(trace)));
    ReadPoints(trace, 0, points);
    std::stable_sort(points.begin(), points.end(),
                     [](const TTracePoint& a, const TTracePoint& b) { return a.time < b.time; });
    if (trace == 0)
        Unshare();
    const bool held = std::exchange(m_holdOrder, false);
    ClearTrace(m_traces[size_t(trace)]);
    for (const TTracePoint& point : points)
        AddPoint(trace, point.time, point.value);
    m_holdOrder = held;
}

double TPackedTraces::Time(int trace, qsizetype i) const
{
    const TTrace& t = Trace(trace);
    return (t.sharesTimes ? m_traces[0].times : t.times).At(i);
}

double TPackedTraces::Value(int trace, qsizetype i) const
{
    const TTrace& t = Trace(trace);
    return t.values.At(t.shape == TShape::Line ? i : RunAt(t, i));
}

qsizetype TPackedTraces::RunAt(const TTrace& t, qsizetype i) const
{
    qsizetype low = 0;
    qsizetype high = t.runStarts.size();
    while (high - low > 1) {
        const qsizetype middle = low + (high - low) / 2;
        if (t.runStarts[middle] <= i)
            low = middle;
        else
            high = middle;
    }
    return low;
}

// The first point for which `before(time)` is false.
template <typename Before> qsizetype TPackedTraces::Search(int trace, Before before) const
{
    qsizetype low = 0;
    qsizetype high = PointCount(trace);
    while (low < high) {
        const qsizetype middle = low + (high - low) / 2;
        if (before(Time(trace, middle)))
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

qsizetype TPackedTraces::FirstFrom(int trace, double time) const
{
    return Search(trace, [time](double t) { return t < time; });
}

qsizetype TPackedTraces::FirstAfter(int trace, double time) const
{
    return Search(trace, [time](double t) { return t <= time; });
}

TAxisRange TPackedTraces::ValueSpan(int trace, qsizetype first, qsizetype last) const
{
    const TTrace& t = Trace(trace);
    if (t.shape == TShape::Line)
        return t.values.Span(first, last);
    return t.values.Span(RunAt(t, first), RunAt(t, last - 1) + 1);
}

qsizetype TPackedTraces::NextChange(int trace, qsizetype i) const
{
    const TTrace& t = Trace(trace);
    if (t.shape == TShape::Line)
        return i + 1;
    const qsizetype next = RunAt(t, i) + 1;
    return next < t.runStarts.size() ? t.runStarts[next] : t.count;
}

qsizetype TPackedTraces::Changes(int trace, qsizetype first, qsizetype last) const
{
    const TTrace& t = Trace(trace);
    if (t.shape == TShape::Line)
        return last - first;
    return RunAt(t, last - 1) - RunAt(t, first) + 1;
}
