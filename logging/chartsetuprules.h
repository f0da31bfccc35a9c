#pragma once

#include "traces.h"

#include <QChar>
#include <QString>

#include <cstdint>
#include <optional>

// The rules of the Chart Setup dialog's fields and the arithmetic of its Auto button and of
// fitting the chart to its data, without the dialog.
namespace chartsetuprules {

// Inclusive limits of a field, in the field's counts (the value times 10^decimals).
struct TFieldLimits
{
    int32_t min = 0;
    int32_t max = 0;
};

inline constexpr TFieldLimits TimeLimits{0, 1000};
inline constexpr TFieldLimits WeightLimits{-999999, 999999};

struct TFieldCheck
{
    QString text;    // the field's text normalised to its decimals
    QString message; // "Out of Range: (%s to %s)" filled in, or empty when in range
};

// The texts the Auto button puts into the four fields.
struct TAutoFields
{
    QString start;
    QString end;
    QString min;
    QString max;
};

// Digits, blank, '+', ',', '-', '.' and control characters; any other key is discarded.
bool AcceptsKey(QChar key);
// Normalises the text on leaving the field (or on Enter) and checks its range.
TFieldCheck CheckField(const QString& text, int decimals, const TFieldLimits& limits);
// A bound written as the message shows it, e.g. -999999 with 2 decimals as -9999.99.
QString LimitText(int32_t counts, int decimals);

// The weight range with a tenth of the spread added on both sides.
TAxisRange PaddedRange(double min, double max);
// Time from 0 to the last point, weight padded by PaddedRange; zeros without points.
TAxisRange FitTimeRange(const std::optional<TTraceExtent>& weight);
TAxisRange FitWeightRange(const std::optional<TTraceExtent>& weight);
// Auto: start 0, end the last time rounded up to whole seconds (so the last point stays in
// view), min and max padded (a flat weight to a few divisions of the weight's decimals) and
// written with those decimals; all 0 without points.
TAutoFields AutoFields(const std::optional<TTraceExtent>& weight, int decimals);

} // namespace chartsetuprules
