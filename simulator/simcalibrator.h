#pragma once

#include "protocol.h"
#include "simcalibration.h"

#include <QtGlobal>

#include <cstdint>
#include <optional>

// Runs the calibration actions the way the instrument does: an action started over the
// serial link keeps the status register busy for a while, then leaves its result code.
class TSimCalibrator
{
public:
    enum Register
    {
        Zero = protocol::reg::ZeroCalibration,
        Span = protocol::reg::SpanCalibration,
        FirstPoint = protocol::reg::LinPointFirst,
        LastPoint = protocol::reg::LinPointLast
    };
    struct TFaults
    {
        bool stuck = false;    // never leaves the busy state
        int forcedResult = -1; // every action ends with this code instead of its own
    };
    struct TFinished
    {
        int reg = 0;
        int code = 0;
    };

    TSimCalibrator(const TSimCalibration& values, qint64 busyMs, const TFaults& faults);

    [[nodiscard]] bool Busy() const { return m_job.has_value(); }
    // Bit 13 while busy, the last result code in bits 0..3.
    [[nodiscard]] uint32_t Status() const;
    void SetWeight(int32_t weight) { m_weight = weight; }
    [[nodiscard]] int32_t Weight() const { return m_weight; }

    void Start(int reg, qint64 nowMs);
    // Ends a started action once its time is up, measuring the signal at that moment.
    std::optional<TFinished> Update(qint64 nowMs, double signal, int32_t capacity, int countBy);
    // A direct mV/V calibration of zero or span: done at once, the result code returned.
    int Direct(int reg, int32_t tenthMicroVolts, int32_t referenceWeight, int countBy);

    [[nodiscard]] const TSimCalibration& Values() const { return m_values; }
    bool SetBlock(const QString& block) { return m_values.SetBlock(block); }

private:
    int Perform(int reg, double signal, int32_t capacity, int countBy);

    TSimCalibration m_values;
    qint64 m_busyMs;
    TFaults m_faults;
    int32_t m_weight = 0;
    std::optional<int> m_job;
    qint64 m_endMs = 0;
    int m_code = 0;
};
