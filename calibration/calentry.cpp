#include "calentry.h"

#include "protocol.h"
#include "tools.h"

namespace calentry {

namespace {

// The instrument's result codes 1..10; the rest have no text.
const char* const kResultTexts[] = {
    "Span Too Low",
    "Span Too High",
    "Resolution Low",
    "Resolution High",
    "Point too close",
    "Linearisation point not present",
    "Linearisation point low",
    "Linearisation point High",
    "Zero Calibration Low",
    "Zero Calibration High",
};

// Nine significant digits always fit a 32-bit count; ten may not.
constexpr int kSafeDigits = 9;

int SignificantDigits(const QString& text)
{
    int digits = 0;
    for (QChar c : text) {
        if (tools::IsDigit(c) && (digits > 0 || c != u'0'))
            ++digits;
    }
    return digits;
}

} // namespace

QString NormaliseSignal(const QString& text)
{
    return tools::FixDecimals(text, kSignalDecimals);
}

int32_t SignalFromText(const QString& text)
{
    return tools::DigitsToInt(NormaliseSignal(text));
}

bool SignalInRange(const QString& text)
{
    const QString fixed = NormaliseSignal(text);
    if (SignificantDigits(fixed) > kSafeDigits)
        return false;
    const int32_t value = tools::DigitsToInt(fixed);
    return value >= -kSignalLimit && value <= kSignalLimit;
}

QString OutOfRangeMessage()
{
    return QStringLiteral("Out of Range: (%1 to %2)")
        .arg(SignalText(-kSignalLimit), SignalText(kSignalLimit));
}

bool IsSignalKey(QChar c)
{
    const char16_t u = c.unicode();
    return tools::IsDigit(c) || u < 0x20 || u == 0x7F || u == u' ' || u == u'+' || u == u',' ||
           u == u'-' || u == u'.';
}

int32_t WeightFromText(const QString& text, int decimals)
{
    return tools::DigitsToInt(tools::FixDecimals(text, decimals));
}

QString SignalText(int32_t value)
{
    return tools::IntToFixed(value, kSignalDecimals);
}

QString WeightText(int32_t value, int decimals)
{
    return tools::IntToFixed(value, decimals);
}

QString ValueData(int32_t value)
{
    return tools::HexText(static_cast<uint32_t>(value));
}

int ResultCode(uint32_t status)
{
    return static_cast<int>(status & protocol::status::CalibrationResult);
}

QString ResultMessage(uint32_t status)
{
    const int code = ResultCode(status);
    const bool named = code >= 1 && code <= static_cast<int>(std::size(kResultTexts));
    return QStringLiteral("Error: %1 - %2")
        .arg(code)
        .arg(named ? QString::fromLatin1(kResultTexts[code - 1]) : QString());
}

} // namespace calentry
