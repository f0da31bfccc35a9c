#include "calreport.h"

#include "calentry.h"

namespace calreport {

namespace {

QString Point(int32_t weight, int decimals)
{
    return weight == 0 ? QStringLiteral("none") : calentry::WeightText(weight, decimals);
}

} // namespace

QString ConfirmZero()
{
    return QStringLiteral("Zero calibration: the scale must be empty. Calibrate zero now?");
}

QString ConfirmDirectZero(int32_t signal)
{
    return QStringLiteral("Direct zero calibration: the zero becomes %1 mV/V. Set it now?")
        .arg(calentry::SignalText(signal));
}

QString ConfirmSpan(const QString& weight)
{
    return QStringLiteral("Span calibration: the test weight of %1 must be on the scale. "
                          "Calibrate span now?")
        .arg(weight);
}

QString ConfirmDirectSpan(int32_t signal, const QString& weight)
{
    return QStringLiteral("Direct span calibration: %1 mV/V becomes the signal of %2. "
                          "Set it now?")
        .arg(calentry::SignalText(signal), weight);
}

QString ConfirmSetPoint(int point, const QString& weight)
{
    return QStringLiteral("Linearisation point %1: the weight of %2 must be on the scale. "
                          "Set the point now?")
        .arg(point)
        .arg(weight);
}

QString ConfirmClearPoint(int point)
{
    return QStringLiteral("Linearisation point %1 is cleared. Clear it now?").arg(point);
}

QString Done(const TFigures& before, const TFigures& after, int decimals)
{
    QStringList lines{QStringLiteral("Calibration done.")};
    const auto signal = [&](const char* name, int32_t from, int32_t to) {
        if (from != to)
            lines << QStringLiteral("%1: %2 to %3 mV/V")
                         .arg(QLatin1String(name), calentry::SignalText(from),
                              calentry::SignalText(to));
    };
    signal("Zero", before.zero, after.zero);
    signal("Span", before.span, after.span);
    for (size_t k = 0; k < after.points.size(); ++k) {
        if (before.points[k] != after.points[k])
            lines << QStringLiteral("Point %1: %2 to %3")
                         .arg(k + 1)
                         .arg(Point(before.points[k], decimals), Point(after.points[k], decimals));
    }
    if (lines.size() == 1)
        lines << QStringLiteral("No figure changed.");
    return lines.join(u'\n');
}

} // namespace calreport
