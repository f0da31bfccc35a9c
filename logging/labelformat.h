#pragma once

#include <QString>

// How an axis writes its numbers: at least minDecimals and at most maxDecimals decimals, the
// picture formats "####0.###" ... "0.000000#" of the weight axis as a pair of counts.
struct TLabelFormat
{
    int minDecimals = 0;
    int maxDecimals = 3;

    friend bool operator==(const TLabelFormat&, const TLabelFormat&) = default;
};

namespace labelformat {

// The value rounded half away from zero at maxDecimals (as the picture formats do, from the
// shortest text that reads back as the value), with trailing zeros dropped down to
// minDecimals; always '.', never "-0".
QString FormatLabel(double value, int minDecimals, int maxDecimals);
QString FormatLabel(double value, const TLabelFormat& format);

// The weight axis format for the weight's decimals 0..6; more decimals use the 6 entry,
// fewer than 0 the 0 entry.
TLabelFormat LabelFormatFor(int decimals);
// The time axis: whole seconds with up to 2 decimals.
TLabelFormat TimeLabelFormat();

} // namespace labelformat
