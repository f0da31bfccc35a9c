#include "logsampler.h"

#include "protocol.h"
#include "tools.h"

#include <algorithm>

namespace logchannels {

namespace {

namespace status = protocol::status;

constexpr std::array<TLogChannel, ChannelCount> kChannels = {{
    {"None", 0},
    {"CofZ", status::CentreOfZero},
    {"Zero", status::Zero},
    {"Motion", status::Motion},
    {"Net", status::Net},
    {"Output 1", status::Output1},
    {"Output 2", status::Output2},
}};

constexpr std::array<double, DigitalCount> kBaselines = {0.0, 1.5, 3.0, 4.5};

struct TRate
{
    const char* text;
    double period;
};

constexpr std::array<TRate, RateCount> kRates = {{
    {"10 Hz", 0.1},
    {"1 Hz", 1.0},
    {"1/10 secs", 10.0},
}};

constexpr double kUnselectedPeriod = 0.05;

} // namespace

const TLogChannel& Channel(int index)
{
    return index >= 0 && index < ChannelCount ? kChannels[size_t(index)] : kChannels[0];
}

QStringList ChannelTexts()
{
    QStringList texts;
    for (const TLogChannel& channel : kChannels)
        texts << QString::fromLatin1(channel.text);
    return texts;
}

double Baseline(int channel)
{
    return channel >= 1 && channel <= DigitalCount ? kBaselines[size_t(channel - 1)] : 0.0;
}

QStringList RateTexts()
{
    QStringList texts;
    for (const TRate& rate : kRates)
        texts << QString::fromLatin1(rate.text);
    return texts;
}

double PeriodForRate(int index)
{
    return index >= 0 && index < RateCount ? kRates[size_t(index)].period : kUnselectedPeriod;
}

int RateForPeriod(double period)
{
    if (period > 5.0)
        return 2;
    return period > 0.5 ? 1 : 0;
}

} // namespace logchannels

namespace {

constexpr int kFieldLength = 8;
constexpr int kMaxDecimals = 6;
// Ticks are whole multiples of 40 ms, periods whole multiples of 50 ms; this only absorbs the
// binary rounding of both products so that a sample exactly on the rate is never skipped.
constexpr double kRateTolerance = 1e-9;

uint32_t Field(const QString& data, int index)
{
    return tools::HexToInt(data.mid(index * kFieldLength, kFieldLength));
}

} // namespace

TLogSampler::TLogSampler() = default;

void TLogSampler::SetSamplePeriod(double seconds)
{
    m_samplePeriod = std::max(seconds, 0.0);
}

int TLogSampler::Selection(int channel) const
{
    if (channel < 1 || channel > logchannels::DigitalCount)
        return 0;
    return m_selection[size_t(channel - 1)];
}

void TLogSampler::SetSelection(int channel, int index)
{
    if (channel < 1 || channel > logchannels::DigitalCount)
        return;
    const bool valid = index >= 0 && index < logchannels::ChannelCount;
    m_selection[size_t(channel - 1)] = valid ? index : 0;
}

void TLogSampler::SetDecimals(int decimals)
{
    m_decimals = std::clamp(decimals, 0, kMaxDecimals);
    m_divisor = 1;
    for (int i = 0; i < m_decimals; ++i)
        m_divisor *= 10;
}

void TLogSampler::Restart()
{
    m_kept = 0;
    m_startTick = 0;
}

bool TLogSampler::OnRate(double time) const
{
    return m_kept * m_samplePeriod - time <= kRateTolerance;
}

std::optional<TLogPoint> TLogSampler::Process(const QString& data)
{
    if (data.size() != protocol::data::LogSampleLength)
        return std::nullopt;
    const uint32_t tick = Field(data, 0);
    TLogPoint point;
    if (m_kept == 0) {
        m_startTick = tick;
    } else {
        if (tick == m_startTick)
            return std::nullopt;
        // Signed difference: the tick counter wraps, and a tick before the start is late.
        point.time = static_cast<int32_t>(tick - m_startTick) * logchannels::TickSeconds;
        if (!OnRate(point.time))
            return std::nullopt;
    }
    point.weight = static_cast<int32_t>(Field(data, 1)) / static_cast<double>(m_divisor);
    const uint32_t status = Field(data, 2);
    for (int channel = 1; channel <= logchannels::DigitalCount; ++channel) {
        const int index = m_selection[size_t(channel - 1)];
        if (index == 0)
            continue;
        const bool set = (status & logchannels::Channel(index).mask) != 0;
        point.digital[size_t(channel - 1)] = logchannels::Baseline(channel) + (set ? 1.0 : 0.0);
    }
    ++m_kept;
    return point;
}
