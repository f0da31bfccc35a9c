#pragma once

// Value text helpers: the forgiving, locale-independent conversions between instrument
// texts (hexadecimal register values, scaled decimals, display texts) and numbers.
// Every function is pure and never fails; a bad character has a defined effect instead.

#include <QChar>
#include <QString>

#include <cstdint>

namespace tools {

// Blanks are skipped, any non-hexadecimal character restarts the value at 0; wraps at 32 bits.
uint32_t HexToInt(const QString& text);
// Digits only; "-" anywhere makes the result negative; blank, "+", "," and "." are skipped.
int32_t DigitsToInt(const QString& text);
// value / 10^decimals with exactly that many decimals; empty for decimals outside 0..5.
QString IntToFixed(int32_t value, int decimals);
// Normalises a typed number to exactly `decimals` decimals, cutting (never rounding) extras.
QString FixDecimals(const QString& text, int decimals);
QString FloatToFixed(int decimals, double value);
// Strict reading of "-12.5"-style text; anything else (blanks included) gives 0.
double FixedToFloat(const QString& text);
// Field n (1-based) of a separated text; empty when there are fewer fields or n <= 0.
QString FieldAt(const QString& text, int n, QChar separator);
bool IsDigit(QChar c);
// Value of a hexadecimal digit in either case; -1 for any other character.
int HexDigitValue(QChar c);
// Decimals shown in a display text, ignoring trailing units ("12.345 kg" gives 3).
int DecimalPlaces(const QString& text);
QString PadRight(const QString& text, int length);
// Replaces everything from the first separator on with separator + tail (cuts when tail empty).
QString ReplaceAfter(const QString& text, const QString& separator, const QString& tail);

// Upper-case hexadecimal of a value, zero-padded to `width` digits (0 = no padding).
QString HexText(uint32_t value, int width = 0);

} // namespace tools
