#include "weighingchannel.h"

#include "protocol.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kSettleSeconds = 0.25; // time constant of the swing's decay
constexpr double kSwingHertz = 1.5;
constexpr qint64 kMotionWindowMs = 1000;
constexpr qint64 kMotionStepMs = 100;

using protocol::status::CentreOfZero;
using protocol::status::Output1;
using protocol::status::Output2;
using protocol::status::Overload;
using protocol::status::Underload;
constexpr uint32_t NetBit = protocol::status::Net;
constexpr uint32_t ZeroBit = protocol::status::Zero;
constexpr uint32_t MotionBit = protocol::status::Motion;

int32_t RoundTo(double counts, int countBy)
{
    const int step = std::max(countBy, 1);
    return static_cast<int32_t>(std::llround(counts / step) * step);
}

} // namespace

uint32_t TWeighingChannel::TReading::StatusBits() const
{
    uint32_t bits = 0;
    bits |= overload ? Overload : 0;
    bits |= underload ? Underload : 0;
    bits |= outputs[0] ? Output1 : 0;
    bits |= outputs[1] ? Output2 : 0;
    bits |= netMode ? NetBit : 0;
    bits |= zero ? ZeroBit : 0;
    bits |= centreOfZero ? CentreOfZero : 0;
    bits |= motion ? MotionBit : 0;
    return bits;
}

TWeighingChannel::TWeighingChannel(const TCell& cell, uint32_t seed) : m_cell(cell), m_random(seed)
{
}

void TWeighingChannel::PlaceLoad(double kilograms, qint64 nowMs)
{
    m_startMass = Mass(nowMs);
    m_load = kilograms;
    m_changeMs = nowMs;
}

double TWeighingChannel::Mass(qint64 nowMs) const
{
    if (nowMs <= m_changeMs)
        return m_startMass;
    const double t = (nowMs - m_changeMs) / 1000.0;
    const double swing =
        std::exp(-t / kSettleSeconds) * std::cos(2 * std::numbers::pi * kSwingHertz * t);
    return m_load + (m_startMass - m_load) * swing;
}

double TWeighingChannel::SignalFor(double kilograms) const
{
    const double share = kilograms / m_cell.capacityKg;
    const double fullOutput = m_cell.perKilogram * m_cell.capacityKg;
    // A parabola through no load and full load, highest at half load.
    const double bow = 4 * m_cell.nonlinearity * fullOutput * share * (1 - share);
    return m_cell.deadLoad + m_cell.perKilogram * kilograms + bow;
}

double TWeighingChannel::Signal(qint64 nowMs) const
{
    return SignalFor(Mass(nowMs));
}

bool TWeighingChannel::Moving(qint64 nowMs, const TSetup& setup,
                              const TSimCalibration& calibration) const
{
    if (setup.motionBand <= 0)
        return false;
    double low = calibration.Counts(Signal(nowMs));
    double high = low;
    for (qint64 back = kMotionStepMs; back <= kMotionWindowMs; back += kMotionStepMs) {
        const double counts = calibration.Counts(Signal(nowMs - back));
        low = std::min(low, counts);
        high = std::max(high, counts);
    }
    return high - low > setup.motionBand * std::max(setup.countBy, 1);
}

TWeighingChannel::TReading TWeighingChannel::Read(qint64 nowMs, const TSetup& setup,
                                                  const TSimCalibration& calibration)
{
    TReading reading;
    reading.signal = Signal(nowMs);
    const double sigma = m_cell.noiseDivisions * std::max(setup.countBy, 1) /
                         std::sqrt(1 + 10 * setup.filterSeconds);
    const double noise = sigma > 0 ? std::normal_distribution<double>(0, sigma)(m_random) : 0;
    reading.rawGross = calibration.Counts(reading.signal) - m_zeroOffset + noise;
    reading.gross = RoundTo(reading.rawGross, setup.countBy);
    reading.tare = m_tare;
    reading.net = reading.gross - m_tare;
    reading.netMode = m_netMode;
    reading.shown = m_netMode ? reading.net : reading.gross;
    reading.motion = Moving(nowMs, setup, calibration);
    reading.centreOfZero = std::abs(reading.rawGross) <= std::max(setup.countBy, 1) / 4.0;
    reading.zero = std::abs(reading.gross) <= setup.zeroBand * std::max(setup.countBy, 1);
    reading.overload = reading.gross > setup.capacity + 9 * std::max(setup.countBy, 1);
    reading.underload = reading.gross < -20 * std::max(setup.countBy, 1);
    UpdateOutputs(reading, setup);
    return reading;
}

void TWeighingChannel::UpdateOutputs(TReading& reading, const TSetup& setup)
{
    for (size_t k = 0; k < m_outputs.size(); ++k) {
        const TSetup::TSetpoint& sp = setup.setpoints[k];
        bool& on = m_outputs[k];
        switch (sp.type) {
        case 1: // over: on at the target, off once below it by the hysteresis
            on = reading.shown >= sp.target || (on && reading.shown >= sp.target - sp.hysteresis);
            break;
        case 2: // under
            on = reading.shown <= sp.target || (on && reading.shown <= sp.target + sp.hysteresis);
            break;
        case 3:
            on = reading.motion;
            break;
        case 4:
            on = reading.zero;
            break;
        case 5:
            on = reading.netMode;
            break;
        default:
            on = false;
        }
        reading.outputs[k] = sp.type != 0 && (on != sp.activeLow);
    }
}

bool TWeighingChannel::Zero(qint64 nowMs, const TSetup& setup, const TSimCalibration& calibration)
{
    if (Moving(nowMs, setup, calibration))
        return false;
    const double offset = calibration.Counts(Signal(nowMs));
    if (std::abs(offset) > setup.capacity * setup.zeroRangePercent / 100.0)
        return false;
    m_zeroOffset = offset;
    return true;
}

bool TWeighingChannel::Tare(qint64 nowMs, const TSetup& setup, const TSimCalibration& calibration)
{
    if (Moving(nowMs, setup, calibration))
        return false;
    const int32_t gross = RoundTo(calibration.Counts(Signal(nowMs)) - m_zeroOffset, setup.countBy);
    if (gross <= 0)
        return false;
    m_tare = gross;
    m_netMode = true;
    return true;
}

void TWeighingChannel::ClearTare()
{
    m_tare = 0;
    m_netMode = false;
}

bool TWeighingChannel::ToggleNet()
{
    if (m_tare == 0)
        return false;
    m_netMode = !m_netMode;
    return true;
}
