#pragma once

#include <QByteArray>
#include <QString>

// Fixed-point number texts of the log file, written and read straight from bytes so that a
// million rows take well under a second. Same results as FloatToFixed and FixedToFloat of
// the value text helpers, with 6 decimals added and halves always rounded to even.
namespace fixedtext {

inline constexpr int MaxDecimals = 6;
// The longest text of a value: 309 digits of the largest double, its decimals and a sign.
inline constexpr int MaxFixedLength = 320;

// The value with exactly `decimals` (0..6, clamped) decimals, correctly rounded from its
// binary value with exact halves to even; "-" kept for negative values that round to zero,
// as printf does.
void AppendFixed(QByteArray& out, double value, int decimals);
// The same into `out`, which has room for MaxFixedLength characters; the end of the text.
char* WriteFixed(char* out, double value, int decimals);
QString FixedText(double value, int decimals);

// FixedToFloat over the bytes [begin, end): digits, "." (a later one restarts the decimals)
// and "-" anywhere; any other byte makes the text 0.
double ParseFixed(const char* begin, const char* end);
// The same, false for a text with any other byte (`value` is then 0).
bool ReadFixed(const char* begin, const char* end, double& value);
// ReadFixed over the bytes from `begin` up to the first comma, CR, LF or `end`, in one pass:
// `fixed` tells whether they are a fixed-point number. Where the field ends (at that byte).
const char* ReadField(const char* begin, const char* end, double& value, bool& fixed);

} // namespace fixedtext
