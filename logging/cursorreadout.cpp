#include "cursorreadout.h"

#include <cmath>

namespace cursorreadout {

QString Readout(const std::optional<TChartValue>& first, const std::optional<TChartValue>& second,
                const QString& units, const TLabelFormat& weightFormat,
                const TLabelFormat& timeFormat)
{
    using labelformat::FormatLabel;
    if (!first)
        return {};
    if (!second)
        return FormatLabel(first->weight, weightFormat) + u' ' + units +
               QStringLiteral("   at   ") + FormatLabel(first->time, timeFormat) +
               QStringLiteral(" sec");
    const double weightChange = std::fabs(second->weight - first->weight);
    const double timeSpan = std::fabs(second->time - first->time);
    return FormatLabel(weightChange, weightFormat) + u' ' + units + QStringLiteral("   over   ") +
           FormatLabel(timeSpan, timeFormat) + QStringLiteral(" secs");
}

} // namespace cursorreadout
