#pragma once

#include "labelformat.h"

#include <QString>

#include <optional>
#include <vector>

// The read-out under the log chart for its crosshair cursors: the trace's weight at the first
// cursor's time, or the weight change over the span between the two cursors.
namespace cursorreadout {

// A cursor's time and the weight trace's value there (none where the trace has no points).
struct TChartValue
{
    double time = 0.0;
    std::optional<double> weight;
};

// A digital channel at the first cursor's time.
struct TChannelState
{
    QString name;
    bool on = false;
};

// What the read-out shows; the weights are written with `decimals` decimals (the weight's
// own), the times as the time axis writes its labels.
struct TReadoutFormat
{
    QString units;
    int decimals = 0;
    TLabelFormat time;
};

// Empty without a first cursor. The first alone: "<weight> <units>   at   <time> sec" and the
// channels' states ("   Motion 1   Zero 0"); both: "<|dw|> <units>   over   <|dt|> secs"
// (second minus first). "no weight" where the trace has no value at a cursor's time.
QString Readout(const std::optional<TChartValue>& first, const std::optional<TChartValue>& second,
                const TReadoutFormat& format, const std::vector<TChannelState>& states = {});

} // namespace cursorreadout
