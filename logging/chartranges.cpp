#include "chartranges.h"

#include <algorithm>
#include <cmath>

namespace chartranges {

namespace {

constexpr int kMaxDecimals = 6;
// A quotient this close to a whole number of divisions is taken as whole: 0.7 / 0.1 is
// 6.999999999999999 in doubles, and the trace must not get a division more on one side.
constexpr double kWholeTolerance = 1e-6;

double Whole(double divisions, double (*round)(double))
{
    const double nearest = std::round(divisions);
    return std::fabs(divisions - nearest) < kWholeTolerance ? nearest : round(divisions);
}

} // namespace

double DivisionFor(int decimals)
{
    return std::pow(10.0, -std::clamp(decimals, 0, kMaxDecimals));
}

TAxisRange Readable(const TAxisRange& range, double division)
{
    if (!(division > 0.0) || !std::isfinite(range.min) || !std::isfinite(range.max) ||
        (range.max - range.min) / division >= FlatDivisions - kWholeTolerance)
        return range;
    const double low = Whole(range.min / division, std::floor);
    const double high = Whole(range.max / division, std::ceil);
    const double spare = std::max(2.0, FlatDivisions - (high - low));
    const double below = std::floor(spare / 2);
    return {(low - below) * division, (high + spare - below) * division};
}

} // namespace chartranges
