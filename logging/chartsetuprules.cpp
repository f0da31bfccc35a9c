#include "chartsetuprules.h"

#include "chartranges.h"
#include "fixedtext.h"
#include "tools.h"

#include <cmath>
#include <cstdlib>

namespace chartsetuprules {

namespace {

constexpr int kIntToFixedMaxDecimals = 5;

} // namespace

bool AcceptsKey(QChar key)
{
    const char16_t c = key.unicode();
    if (key.category() == QChar::Other_Control)
        return true;
    return tools::IsDigit(key) || c == u' ' || c == u'+' || c == u',' || c == u'-' || c == u'.';
}

QString LimitText(int32_t counts, int decimals)
{
    if (decimals <= kIntToFixedMaxDecimals)
        return tools::IntToFixed(counts, decimals);
    // Six decimals, which IntToFixed does not write: the same digits by integer arithmetic.
    const int64_t magnitude = std::llabs(int64_t(counts));
    constexpr int64_t kScale = 1000000;
    return (counts < 0 ? QStringLiteral("-") : QString()) + QString::number(magnitude / kScale) +
           u'.' + QString::number(magnitude % kScale).rightJustified(6, u'0');
}

TFieldCheck CheckField(const QString& text, int decimals, const TFieldLimits& limits)
{
    TFieldCheck check;
    check.text = tools::FixDecimals(text, decimals);
    const int32_t counts = tools::DigitsToInt(check.text);
    if (counts < limits.min || counts > limits.max)
        check.message = QStringLiteral("Out of Range: (%1 to %2)")
                            .arg(LimitText(limits.min, decimals), LimitText(limits.max, decimals));
    return check;
}

TAxisRange PaddedRange(double min, double max)
{
    const double spread = max - min;
    return {min - spread / 10, max + spread / 10};
}

TAxisRange FitTimeRange(const std::optional<TTraceExtent>& weight)
{
    return {0.0, weight ? weight->maxTime : 0.0};
}

TAxisRange FitWeightRange(const std::optional<TTraceExtent>& weight)
{
    return weight ? PaddedRange(weight->minValue, weight->maxValue) : TAxisRange{};
}

TAutoFields AutoFields(const std::optional<TTraceExtent>& weight, int decimals)
{
    const TAxisRange range =
        weight ? chartranges::Readable(FitWeightRange(weight), chartranges::DivisionFor(decimals))
               : TAxisRange{};
    const double end = weight ? std::ceil(weight->maxTime) : 0.0;
    return {fixedtext::FixedText(0.0, 0), fixedtext::FixedText(end, 0),
            fixedtext::FixedText(range.min, decimals), fixedtext::FixedText(range.max, decimals)};
}

} // namespace chartsetuprules
