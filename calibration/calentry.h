#pragma once

// Calibration figures as the instrument counts them and as the user types them: signals in
// units of 0.0001 mV/V, weights at the instrument's decimal places, and every value written
// as upper-case hexadecimal. Locale-independent, like the value text helpers they build on.

#include <QChar>
#include <QString>

#include <cstdint>

namespace calentry {

inline constexpr int kSignalDecimals = 4;
inline constexpr int32_t kSignalLimit = 30000; // 3.0000 mV/V either way

// A typed signal normalised to exactly four decimals ("-.5" gives "-0.5000"); extra
// decimals are cut, never rounded.
[[nodiscard]] QString NormaliseSignal(const QString& text);
// A typed signal in units of 0.0001 mV/V.
[[nodiscard]] int32_t SignalFromText(const QString& text);
// Whether a typed signal lies within -3.0000..3.0000 mV/V. A number with more digits than a
// 32-bit count holds is outside, even where the count would wrap back into the range.
[[nodiscard]] bool SignalInRange(const QString& text);
// "Out of Range: (-3.0000 to 3.0000)"
[[nodiscard]] QString OutOfRangeMessage();
// Whether EdtAbsMV lets a typed character through.
[[nodiscard]] bool IsSignalKey(QChar c);

// A typed weight as the instrument counts it, at its number of decimals.
[[nodiscard]] int32_t WeightFromText(const QString& text, int decimals);
[[nodiscard]] QString SignalText(int32_t value);
[[nodiscard]] QString WeightText(int32_t value, int decimals);

// The data of a write or an action: "%x" of the 32-bit value in upper case, so a negative
// value is its eight-digit two's complement.
[[nodiscard]] QString ValueData(int32_t value);

// The result code in a calibration status reading (0: none).
[[nodiscard]] int ResultCode(uint32_t status);
// "Error: %d - %s" with the code and its text (codes 11..15 have none).
[[nodiscard]] QString ResultMessage(uint32_t status);

} // namespace calentry
