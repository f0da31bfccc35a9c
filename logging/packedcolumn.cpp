#include "packedcolumn.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kLargestCount = std::numeric_limits<int32_t>::max();

} // namespace

bool TPackedColumn::Encode(int unit, double value, int32_t& count)
{
    const double scaled =
        unit == kTickUnit ? value / logchannels::TickSeconds : value * kPowers[size_t(unit)];
    if (!(std::fabs(scaled) <= kLargestCount)) // not a number either
        return false;
    count = int32_t(std::lrint(scaled));
    return SameBits(Decode(unit, count), value);
}

void TPackedColumn::Append(double value)
{
    Summarise(value);
    ++m_size;
    if (!m_plain) {
        int32_t count = 0;
        if (Encode(m_unit, value, count) || ChangeUnit(value, count)) {
            m_counts.push_back(count);
            m_largest = std::max<int64_t>(m_largest, std::abs(int64_t(count)));
            return;
        }
        MakePlain();
    }
    m_doubles.push_back(value);
}

// Zeros so far hold in any unit; other counts are scaled up to a finer power of ten while
// they stay within 32 bits (a file whose first weights had fewer decimals).
bool TPackedColumn::ChangeUnit(double value, int32_t& count)
{
    if (m_largest == 0) {
        for (int unit = 0; unit <= kTickUnit; ++unit) {
            if (Encode(unit, value, count)) {
                m_unit = unit;
                return true;
            }
        }
        return false;
    }
    if (m_unit == kTickUnit)
        return false;
    for (int unit = m_unit + 1; unit < kTickUnit; ++unit) {
        const auto factor = int64_t(kPowers[size_t(unit - m_unit)]);
        if (double(m_largest * factor) > kLargestCount)
            return false;
        if (Encode(unit, value, count)) {
            for (qsizetype i = 0; i < m_counts.size(); ++i)
                m_counts[i] = int32_t(m_counts[i] * factor);
            m_largest *= factor;
            m_unit = unit;
            return true;
        }
    }
    return false;
}

void TPackedColumn::MakePlain()
{
    m_doubles.reserve(m_size);
    for (qsizetype i = 0; i < m_counts.size(); ++i)
        m_doubles.push_back(Decode(m_unit, m_counts[i]));
    m_counts.clear();
    m_plain = true;
}

void TPackedColumn::Summarise(double value)
{
    if ((m_size & ((qsizetype(1) << kBlockBits) - 1)) == 0) {
        m_blocks.push_back({value, value});
        return;
    }
    TAxisRange& block = m_blocks.back();
    block.min = std::min(block.min, value);
    block.max = std::max(block.max, value);
}

void TPackedColumn::Clear()
{
    m_counts.clear();
    m_doubles.clear();
    m_blocks.clear();
    m_size = 0;
    m_unit = 0;
    m_plain = false;
    m_largest = 0;
}

void TPackedColumn::Reserve(qsizetype count)
{
    m_counts.reserve(count);
    m_blocks.reserve(count >> kBlockBits);
}

TAxisRange TPackedColumn::Span(qsizetype first, qsizetype last) const
{
    constexpr qsizetype kBlock = qsizetype(1) << kBlockBits;
    TAxisRange span{At(first), At(first)};
    const auto take = [&span](double low, double high) {
        span.min = std::min(span.min, low);
        span.max = std::max(span.max, high);
    };
    for (qsizetype i = first; i < last;) {
        if (i % kBlock == 0 && i + kBlock <= last) {
            const TAxisRange& block = m_blocks[i >> kBlockBits];
            take(block.min, block.max);
            i += kBlock;
        } else {
            const double value = At(i++);
            take(value, value);
        }
    }
    return span;
}
