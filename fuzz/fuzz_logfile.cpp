// Log files (CSV) into logfile::Parse with a sink that only counts, as the chart would take
// the points. Every row gives at most one point per trace, whatever the bytes.
#include "fuzzcheck.h"
#include "inputclock.h"
#include "logfile.h"
#include "traces.h"

#include <QByteArrayView>

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace {

class TCountingSink : public ITraceSink
{
public:
    void ClearTraces() override { points = 0; }
    void AddPoint(int trace, double, double) override
    {
        FuzzCheck(trace >= 0 && trace < traces::LogTraceCount, "points go to a log trace");
        ++points;
    }

    qsizetype points = 0;
};

} // namespace

int FuzzOne(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    TCountingSink sink;
    int reports = 0;
    const TLogReadResult result = logfile::Parse(bytes, sink, [&](double fraction) {
        FuzzCheck(fraction >= 0.0 && fraction <= 1.0, "progress is a fraction");
        return ++reports % 2 == 1; // the second report cancels, as a user might
    });
    const qsizetype lineEnds =
        std::count(bytes.begin(), bytes.end(), '\n') + std::count(bytes.begin(), bytes.end(), '\r');
    FuzzCheck(result.rows <= lineEnds + 1, "no more rows than lines");
    FuzzCheck(sink.points <= result.rows * traces::LogTraceCount, "at most a point per trace");
    FuzzCheck(!result.cancelled || sink.points == 0, "a cancelled read leaves the traces empty");
    FuzzCheck(result.ok || sink.points == 0, "a refused read leaves the traces empty");
    return 0;
}
