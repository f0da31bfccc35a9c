#pragma once

// What the user is asked before a calibration changes the instrument's legal metrology, and
// told after it did: the figures that changed, from what to what.

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>

namespace calreport {

// The calibration figures a user reads on the Calibration tab.
struct TFigures
{
    int32_t zero = 0; // mV/V in 0.0001 units
    int32_t span = 0; // the reference weight's signal, the same units
    std::array<int32_t, 10> points{};

    bool operator==(const TFigures&) const = default;
};

// The question before each operation; weights as the instrument shows them, with the units.
[[nodiscard]] QString ConfirmZero();
[[nodiscard]] QString ConfirmDirectZero(int32_t signal);
[[nodiscard]] QString ConfirmSpan(const QString& weight);
[[nodiscard]] QString ConfirmDirectSpan(int32_t signal, const QString& weight);
[[nodiscard]] QString ConfirmSetPoint(int point, const QString& weight);
[[nodiscard]] QString ConfirmClearPoint(int point);

// "Calibration done." and a line per figure that changed ("Zero: 0.0000 to 0.1250 mV/V"),
// points at the instrument's decimals.
[[nodiscard]] QString Done(const TFigures& before, const TFigures& after, int decimals);

} // namespace calreport
