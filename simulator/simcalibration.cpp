#include "simcalibration.h"

#include "crc.h"
#include "tools.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace {

// Signals are kept at 0.1 nV/V in the block so that a block written back restores the
// calibration exactly; the registers show them at 0.1 uV/V.
constexpr double kBlockScale = 1e7;
constexpr double kRegisterScale = 1e4;
constexpr double kZeroLow = -2.0;
constexpr double kZeroHigh = 2.0;
constexpr double kInputRange = 3.5;
constexpr double kMinimumSpan = 0.01;
constexpr double kFinestDivision = 0.00005; // mV/V per division
constexpr int kBlockLength = 2 + 3 * 8 + TSimCalibration::kPoints * 16 + 4;
const QString kBlockTag = QStringLiteral("C1");

QString Field(int32_t value)
{
    return tools::HexText(static_cast<uint32_t>(value), 8);
}

int32_t ReadField(const QString& block, qsizetype& at)
{
    const auto value = static_cast<int32_t>(tools::HexToInt(block.mid(at, 8)));
    at += 8;
    return value;
}

int32_t ToBlock(double signal)
{
    return static_cast<int32_t>(std::llround(signal * kBlockScale));
}

} // namespace

TSimCalibration::TSimCalibration(double zeroSignal, int32_t spanWeight, double spanSignal)
    : m_zero(zeroSignal), m_spanWeight(spanWeight), m_span(spanSignal)
{
}

double TSimCalibration::Counts(double signal) const
{
    if (m_span == 0 || m_spanWeight == 0)
        return 0;
    std::vector<std::pair<double, double>> knots{{0.0, 0.0}, {m_span, double(m_spanWeight)}};
    for (const TPoint& point : m_points) {
        if (point.weight != 0)
            knots.emplace_back(point.signal, point.weight);
    }
    std::sort(knots.begin(), knots.end());
    const double relative = signal - m_zero;
    // Outside the knots the nearest segment carries on, as the instrument extrapolates.
    size_t upper = 1;
    while (upper + 1 < knots.size() && relative > knots[upper].first)
        ++upper;
    const auto& [s0, w0] = knots[upper - 1];
    const auto& [s1, w1] = knots[upper];
    if (s1 == s0)
        return w0;
    return w0 + (relative - s0) * (w1 - w0) / (s1 - s0);
}

int TSimCalibration::CalibrateZero(double signal)
{
    if (signal < kZeroLow)
        return ZeroLow;
    if (signal > kZeroHigh)
        return ZeroHigh;
    m_zero = signal;
    return Done;
}

int TSimCalibration::CheckSpan(double span, int32_t weight, int32_t capacity, int countBy) const
{
    if (weight <= 0 || span < kMinimumSpan)
        return SpanTooLow;
    const double fullScale = span * capacity / weight;
    if (m_zero + fullScale > kInputRange)
        return SpanTooHigh;
    if (weight * 50 < capacity)
        return ResolutionLow;
    const double divisions = double(capacity) / std::max(countBy, 1);
    return fullScale / divisions < kFinestDivision ? ResolutionHigh : Done;
}

int TSimCalibration::CalibrateSpan(double signal, int32_t weight, int32_t capacity, int countBy)
{
    const double span = signal - m_zero;
    const int code = CheckSpan(span, weight, capacity, countBy);
    if (code == Done) {
        m_span = span;
        m_spanWeight = weight;
    }
    return code;
}

bool TSimCalibration::FitsBetweenKnots(int index, double signal, int32_t weight,
                                       int32_t capacity) const
{
    const int32_t closest = std::max(capacity / 100, 1);
    std::vector<std::pair<int32_t, double>> others{{0, 0.0}, {m_spanWeight, m_span}};
    for (int k = 0; k < kPoints; ++k) {
        if (k != index && m_points[k].weight != 0)
            others.emplace_back(m_points[k].weight, m_points[k].signal);
    }
    for (const auto& [otherWeight, otherSignal] : others) {
        if (std::abs(otherWeight - weight) < closest)
            return false;
        // A point must keep the curve rising, or two weights would read alike.
        if ((otherWeight < weight) != (otherSignal < signal))
            return false;
    }
    return true;
}

int TSimCalibration::SetPoint(int index, double signal, int32_t weight, int32_t capacity)
{
    if (index < 0 || index >= kPoints)
        return PointNotPresent;
    if (weight == 0) {
        if (m_points[index].weight == 0)
            return PointNotPresent;
        m_points[index] = TPoint();
        return Done;
    }
    if (weight < 0)
        return PointLow;
    if (weight > capacity + capacity / 10)
        return PointHigh;
    const double relative = signal - m_zero;
    if (!FitsBetweenKnots(index, relative, weight, capacity))
        return PointTooClose;
    m_points[index] = {weight, relative};
    return Done;
}

int TSimCalibration::DirectZero(int32_t tenthMicroVolts)
{
    return CalibrateZero(tenthMicroVolts / kRegisterScale);
}

int TSimCalibration::DirectSpan(int32_t tenthMicroVolts, int32_t weight, int32_t capacity,
                                int countBy)
{
    const double span = tenthMicroVolts / kRegisterScale;
    const int code = CheckSpan(span, weight, capacity, countBy);
    if (code == Done) {
        m_span = span;
        m_spanWeight = weight;
    }
    return code;
}

int32_t TSimCalibration::ZeroRegister() const
{
    return static_cast<int32_t>(std::llround(m_zero * kRegisterScale));
}

int32_t TSimCalibration::SpanRegister() const
{
    return static_cast<int32_t>(std::llround(m_span * kRegisterScale));
}

int32_t TSimCalibration::PointWeight(int index) const
{
    return index >= 0 && index < kPoints ? m_points[index].weight : 0;
}

QString TSimCalibration::Block() const
{
    QString block =
        kBlockTag + Field(ToBlock(m_zero)) + Field(m_spanWeight) + Field(ToBlock(m_span));
    for (const TPoint& point : m_points)
        block += Field(point.weight) + Field(ToBlock(point.signal));
    return block + crc::CrcText(block);
}

bool TSimCalibration::SetBlock(const QString& block)
{
    if (block.size() != kBlockLength || !block.startsWith(kBlockTag) || !crc::CrcCheck(block))
        return false;
    qsizetype at = kBlockTag.size();
    const double zero = ReadField(block, at) / kBlockScale;
    const int32_t spanWeight = ReadField(block, at);
    const double span = ReadField(block, at) / kBlockScale;
    if (spanWeight <= 0 || span <= 0)
        return false;
    std::array<TPoint, kPoints> points{};
    for (TPoint& point : points) {
        point.weight = ReadField(block, at);
        point.signal = ReadField(block, at) / kBlockScale;
    }
    m_zero = zero;
    m_spanWeight = spanWeight;
    m_span = span;
    m_points = points;
    return true;
}
