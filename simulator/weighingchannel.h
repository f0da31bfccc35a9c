#pragma once

#include "simcalibration.h"

#include <QtGlobal>

#include <array>
#include <cstdint>
#include <random>

// The live weighing channel: a load cell under a load that settles with a damped swing,
// noise on the signal, the zero key's offset, tare and net, motion detection and the two
// setpoint outputs. Weights are display counts.
class TWeighingChannel
{
public:
    // What the channel takes from the instrument's settings at each reading.
    struct TSetup
    {
        int32_t capacity = 5000;
        int countBy = 1;
        double motionBand = 1.0; // divisions per second; 0 turns motion detection off
        int zeroRangePercent = 2;
        int zeroBand = 0; // divisions
        double filterSeconds = 0.2;
        struct TSetpoint
        {
            int type = 0; // off, over, under, motion, zero, net
            int32_t target = 0;
            int32_t hysteresis = 0;
            bool activeLow = false;
        };
        std::array<TSetpoint, 2> setpoints{};
    };

    struct TReading
    {
        double signal = 0;   // mV/V
        double rawGross = 0; // counts before rounding
        int32_t gross = 0;
        int32_t net = 0;
        int32_t tare = 0;
        int32_t shown = 0; // gross or net, as the display shows it
        bool motion = false;
        bool zero = false;
        bool centreOfZero = false;
        bool netMode = false;
        bool overload = false;
        bool underload = false;
        std::array<bool, 2> outputs{};
        [[nodiscard]] uint32_t StatusBits() const;
    };

    // The load cell: signal with no load, output per kilogram, and its bow as a share of
    // full output at half load.
    struct TCell
    {
        double deadLoad = 0.1;
        double perKilogram = 0.002;
        double capacityKg = 1000;
        double nonlinearity = 0;
        double noiseDivisions = 0.15;
    };

    TWeighingChannel(const TCell& cell, uint32_t seed);

    void PlaceLoad(double kilograms, qint64 nowMs);
    [[nodiscard]] double Load() const { return m_load; }
    // The signal as the amplifier sees it once averaged, without noise.
    [[nodiscard]] double Signal(qint64 nowMs) const;
    // The settled signal under a load, as the factory calibrated the cell.
    [[nodiscard]] double SignalFor(double kilograms) const;

    TReading Read(qint64 nowMs, const TSetup& setup, const TSimCalibration& calibration);
    // The key actions; false when the instrument refuses (motion, out of range, no tare).
    bool Zero(qint64 nowMs, const TSetup& setup, const TSimCalibration& calibration);
    bool Tare(qint64 nowMs, const TSetup& setup, const TSimCalibration& calibration);
    void ClearTare();
    bool ToggleNet();

    [[nodiscard]] double ZeroOffset() const { return m_zeroOffset; }
    void SetZeroOffset(double counts) { m_zeroOffset = counts; }

private:
    [[nodiscard]] double Mass(qint64 nowMs) const;
    [[nodiscard]] bool Moving(qint64 nowMs, const TSetup& setup,
                              const TSimCalibration& calibration) const;
    void UpdateOutputs(TReading& reading, const TSetup& setup);

    TCell m_cell;
    std::mt19937 m_random;
    double m_load = 0;
    double m_startMass = 0;
    qint64 m_changeMs = 0;
    double m_zeroOffset = 0;
    int32_t m_tare = 0;
    bool m_netMode = false;
    std::array<bool, 2> m_outputs{};
};
