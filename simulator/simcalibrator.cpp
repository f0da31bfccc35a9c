#include "simcalibrator.h"

namespace {

constexpr uint32_t kBusy = protocol::status::CalibrationBusy;

} // namespace

TSimCalibrator::TSimCalibrator(const TSimCalibration& values, qint64 busyMs, const TFaults& faults)
    : m_values(values), m_busyMs(busyMs), m_faults(faults)
{
}

uint32_t TSimCalibrator::Status() const
{
    return (m_job ? kBusy : 0u) |
           (static_cast<uint32_t>(m_code) & protocol::status::CalibrationResult);
}

void TSimCalibrator::Start(int reg, qint64 nowMs)
{
    m_job = reg;
    m_endMs = nowMs + m_busyMs;
    m_code = 0;
}

std::optional<TSimCalibrator::TFinished> TSimCalibrator::Update(qint64 nowMs, double signal,
                                                                int32_t capacity, int countBy)
{
    if (!m_job || m_faults.stuck || nowMs < m_endMs)
        return std::nullopt;
    const int reg = *m_job;
    m_job.reset();
    m_code = m_faults.forcedResult >= 0 ? m_faults.forcedResult
                                        : Perform(reg, signal, capacity, countBy);
    return TFinished{reg, m_code};
}

int TSimCalibrator::Perform(int reg, double signal, int32_t capacity, int countBy)
{
    if (reg == Zero)
        return m_values.CalibrateZero(signal);
    if (reg == Span)
        return m_values.CalibrateSpan(signal, m_weight, capacity, countBy);
    return m_values.SetPoint(reg - FirstPoint, signal, m_weight, capacity);
}

int TSimCalibrator::Direct(int reg, int32_t tenthMicroVolts, int32_t referenceWeight, int countBy)
{
    m_code = 0;
    if (m_faults.forcedResult >= 0)
        return m_faults.forcedResult;
    if (reg == Zero)
        return m_values.DirectZero(tenthMicroVolts);
    return m_values.DirectSpan(tenthMicroVolts, referenceWeight, referenceWeight, countBy);
}
