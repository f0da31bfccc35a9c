// Factory test records into the factory-record decoder. Only a record of the known layout is
// accepted, and whatever the bytes, the chart has finite points, at most nine per series
// beyond the origin, and an error range that holds them all.
#include "factoryrecord.h"
#include "fuzzcheck.h"
#include "inputclock.h"

#include <QString>

#include <cmath>
#include <cstddef>
#include <cstdint>

namespace {

bool Finite(const std::vector<QPointF>& points)
{
    for (const QPointF& p : points) {
        if (!std::isfinite(p.x()) || !std::isfinite(p.y()))
            return false;
    }
    return true;
}

bool Within(const std::vector<QPointF>& points, const factoryrecord::TValueRange& range)
{
    for (const QPointF& p : points) {
        if (p.y() < range.min || p.y() > range.max)
            return false;
    }
    return true;
}

} // namespace

int FuzzOne(const uint8_t* data, size_t size)
{
    const QString record =
        QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size));
    const factoryrecord::TFactoryChart chart = factoryrecord::Decode(record, record.left(8));
    FuzzCheck(!chart.upperLimits.empty() && !chart.lowerLimits.empty(), "the envelope is drawn");
    if (!chart.Accepted()) {
        FuzzCheck(chart.pointsA.empty() && chart.pointsB.empty(), "a refused record plots none");
        return 0;
    }
    FuzzCheck(record.size() == factoryrecord::kRecordLength, "only whole records are accepted");
    FuzzCheck(chart.pointsA.size() <= factoryrecord::kMaxPoints + 1 &&
                  chart.pointsB.size() == chart.pointsA.size(),
              "at most nine points per temperature");
    FuzzCheck(Finite(chart.pointsA) && Finite(chart.pointsB), "every point is finite");
    FuzzCheck(chart.errorRange.has_value(), "an accepted record sets the error range");
    for (const auto* series :
         {&chart.upperLimits, &chart.lowerLimits, &chart.pointsA, &chart.pointsB})
        FuzzCheck(Within(*series, *chart.errorRange), "the error range holds every point");
    return 0;
}
