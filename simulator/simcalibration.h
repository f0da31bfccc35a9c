#pragma once

#include <QString>

#include <array>
#include <cstdint>

// The weighing channel's calibration: zero and span signals, the span weight and up to ten
// linearisation points, turning a load cell signal (mV/V) into display counts. Each action
// returns the instrument's result code (0 done, else the code the status register shows).
class TSimCalibration
{
public:
    static constexpr int kPoints = 10;
    enum Code
    {
        Done = 0,
        SpanTooLow = 1,
        SpanTooHigh = 2,
        ResolutionLow = 3,
        ResolutionHigh = 4,
        PointTooClose = 5,
        PointNotPresent = 6,
        PointLow = 7,
        PointHigh = 8,
        ZeroLow = 9,
        ZeroHigh = 10,
    };

    TSimCalibration(double zeroSignal, int32_t spanWeight, double spanSignal);

    // Display counts for a signal, before the zero key's offset and count-by rounding.
    [[nodiscard]] double Counts(double signal) const;

    int CalibrateZero(double signal);
    int CalibrateSpan(double signal, int32_t weight, int32_t capacity, int countBy);
    // Weight 0 clears the point.
    int SetPoint(int index, double signal, int32_t weight, int32_t capacity);
    // mV/V in units of 0.0001, as the direct calibration commands carry them.
    int DirectZero(int32_t tenthMicroVolts);
    int DirectSpan(int32_t tenthMicroVolts, int32_t weight, int32_t capacity, int countBy);

    // Registers 0x0111, 0x0112, 0x0113 and 0x0114.. in their wire units.
    [[nodiscard]] int32_t ZeroRegister() const;
    [[nodiscard]] int32_t SpanWeight() const { return m_spanWeight; }
    [[nodiscard]] int32_t SpanRegister() const;
    [[nodiscard]] int32_t PointWeight(int index) const;

    // The calibration block of register 0x00F0: fixed-width hexadecimal fields and a CRC.
    [[nodiscard]] QString Block() const;
    bool SetBlock(const QString& block);

private:
    struct TPoint
    {
        int32_t weight = 0; // 0: not set
        double signal = 0;  // above the zero signal
    };

    [[nodiscard]] int CheckSpan(double span, int32_t weight, int32_t capacity, int countBy) const;
    [[nodiscard]] bool FitsBetweenKnots(int index, double signal, int32_t weight,
                                        int32_t capacity) const;

    double m_zero;
    int32_t m_spanWeight;
    double m_span;
    std::array<TPoint, kPoints> m_points{};
};
