#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>

// Sample intake of a logging run: checks a log reading, keeps only the samples that fall on
// the chosen rate and turns a kept one into a chart point (weight and selected channels).
//
// A log reading (the data of register 0x0040) is three 8-digit hexadecimal fields: the
// instrument's tick in 40 ms units, the weight in display counts (32-bit two's complement)
// and the status bits that the digital channels test.

// One of the seven entries of the digital channel lists ("None" logs nothing).
struct TLogChannel
{
    const char* text;
    uint32_t mask;
};

namespace logchannels {

inline constexpr int DigitalCount = 4; // digital channels 1..4
inline constexpr int ChannelCount = 7; // list entries 0..6
inline constexpr int RateCount = 3;
inline constexpr double TickSeconds = 0.04;

// The entry of a channel list index; None for an index outside 0..6.
const TLogChannel& Channel(int index);
// The seven item texts in list order, for the Logging dialog's drop-down lists.
QStringList ChannelTexts();
// Where digital channel 1..4 sits on the right axis when its bit is clear (set: one above),
// chosen so that the four traces never overlap; 0 for any other channel number.
double Baseline(int channel);

// The three item texts of the sample rate list.
QStringList RateTexts();
// Sample period in seconds of a rate list index; nothing selected (-1) or any other index
// gives the fastest period, 0.05 s.
double PeriodForRate(int index);
// The rate list index that shows a period when the Logging dialog opens.
int RateForPeriod(double period);

} // namespace logchannels

// A kept sample as it goes onto the chart: digital[k] holds the value of channel k + 1
// (its baseline, or baseline + 1 when its bit is set), nothing when that channel is None.
struct TLogPoint
{
    double time = 0.0;
    double weight = 0.0;
    std::array<std::optional<double>, logchannels::DigitalCount> digital;
};

class TLogSampler
{
public:
    TLogSampler();

    double SamplePeriod() const { return m_samplePeriod; }
    void SetSamplePeriod(double seconds);
    // Channel list index (0..6) of digital channel 1..4; other indexes count as None.
    int Selection(int channel) const;
    void SetSelection(int channel, int index);
    int Decimals() const { return m_decimals; }
    int32_t Divisor() const { return m_divisor; }
    // Weight decimals 0..6 as the instrument displays them; the divisor is 10^decimals.
    void SetDecimals(int decimals);

    // Forgets the kept samples, so the next reading starts a new time origin.
    void Restart();
    int KeptCount() const { return m_kept; }
    uint32_t StartTick() const { return m_startTick; }

    // The point for a reading, or nothing when it is malformed or falls between two kept
    // samples (then no trace gets a point).
    std::optional<TLogPoint> Process(const QString& data);

private:
    bool OnRate(double time) const;

    double m_samplePeriod = 0.1;
    std::array<int, logchannels::DigitalCount> m_selection{};
    int m_decimals = 0;
    int32_t m_divisor = 1;
    uint32_t m_startTick = 0;
    int m_kept = 0;
};
