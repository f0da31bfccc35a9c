#pragma once

#include "labelformat.h"

#include <QString>

#include <optional>

// The read-out under the log chart for its crosshair cursors: a weight at a time for the
// first cursor, the weight change over a time span once the second one is placed too.
namespace cursorreadout {

// Chart values at a crosshair.
struct TChartValue
{
    double time = 0.0;
    double weight = 0.0;
};

// Empty without a first cursor; "<weight> <units>   at   <time> sec" with the first alone;
// "<|dw|> <units>   over   <|dt|> secs" with both (second minus first), the numbers written
// as the weight and time axes write their labels.
QString Readout(const std::optional<TChartValue>& first, const std::optional<TChartValue>& second,
                const QString& units, const TLabelFormat& weightFormat,
                const TLabelFormat& timeFormat);

} // namespace cursorreadout
