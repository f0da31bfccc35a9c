#include "cursorreadout.h"

#include <cmath>

namespace cursorreadout {

namespace {

QString Weight(double weight, const TReadoutFormat& format)
{
    return labelformat::FormatLabel(weight, format.decimals, format.decimals) + u' ' + format.units;
}

} // namespace

QString Readout(const std::optional<TChartValue>& first, const std::optional<TChartValue>& second,
                const TReadoutFormat& format, const std::vector<TChannelState>& states)
{
    using labelformat::FormatLabel;
    if (!first)
        return {};
    if (!second) {
        QString text =
            (first->weight ? Weight(*first->weight, format) : QStringLiteral("no weight")) +
            QStringLiteral("   at   ") + FormatLabel(first->time, format.time) +
            QStringLiteral(" sec");
        for (const TChannelState& state : states)
            text += QStringLiteral("   %1 %2").arg(state.name, state.on ? u"1" : u"0");
        return text;
    }
    const QString change = first->weight && second->weight
                               ? Weight(std::fabs(*second->weight - *first->weight), format)
                               : QStringLiteral("no weight");
    return change + QStringLiteral("   over   ") +
           FormatLabel(std::fabs(second->time - first->time), format.time) +
           QStringLiteral(" secs");
}

} // namespace cursorreadout
