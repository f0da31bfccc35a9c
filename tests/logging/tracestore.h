#pragma once

// Traces held in plain vectors, for testing the log file without a chart. Reading a point
// that does not exist is a test failure, so writers that read past a trace's end are caught.

#include "traces.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

class TTraceStore : public ITraceSource, public ITraceSink
{
public:
    qsizetype PointCount(int trace) const override
    {
        return qsizetype(traces.at(size_t(trace)).size());
    }
    TTracePoint Point(int trace, qsizetype i) const override
    {
        const auto& points = traces.at(size_t(trace));
        if (i < 0 || size_t(i) >= points.size()) {
            ADD_FAILURE() << "point " << i << " of trace " << trace << " read past its end";
            return {};
        }
        return points[size_t(i)];
    }
    void ClearTraces() override
    {
        for (auto& points : traces)
            points.clear();
        ++clears;
    }
    void AddPoint(int trace, double time, double value) override
    {
        traces.at(size_t(trace)).push_back({time, value});
    }
    void BeginPoints(qsizetype rows) override { rowsAhead = rows; }

    std::array<std::vector<TTracePoint>, traces::LogTraceCount> traces;
    int clears = 0;
    qsizetype rowsAhead = -1; // what BeginPoints() was told
};
