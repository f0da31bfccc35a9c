#pragma once

#include "chunkedarray.h"
#include "logsampler.h"
#include "traces.h"

#include <array>
#include <bit>
#include <cstdint>

// Equal to the last bit: a stored point is the value given only if this holds, NaN included.
[[nodiscard]] inline bool SameBits(double a, double b)
{
    return std::bit_cast<uint64_t>(a) == std::bit_cast<uint64_t>(b);
}

// A column of numbers (a trace's times or weights) held in 4 bytes each wherever they allow,
// giving back the very same doubles: as whole multiples of a unit, either a power of ten (a
// file's "12.34", a weight of counts over 10^decimals) or the instrument's 40 ms tick (the
// times of a live run). A number that no unit holds exactly turns the column into plain
// doubles. The smallest and largest value of every block of 64 are kept beside, so that the
// span of any stretch is found without reading all of it.
class TPackedColumn
{
public:
    qsizetype size() const { return m_size; }
    double At(qsizetype i) const { return m_plain ? m_doubles[i] : Decode(m_unit, m_counts[i]); }
    void Append(double value);
    void Clear();
    void Reserve(qsizetype count);
    // The smallest and largest of the values [first, last), first < last <= size().
    TAxisRange Span(qsizetype first, qsizetype last) const;

private:
    static constexpr int kBlockBits = 6;
    static constexpr int kTickUnit = 10; // units 0..9 are 10^-unit
    static constexpr std::array<double, kTickUnit> kPowers = {1,   1e1, 1e2, 1e3, 1e4,
                                                              1e5, 1e6, 1e7, 1e8, 1e9};

    static double Decode(int unit, int32_t count)
    {
        return unit == kTickUnit ? count * logchannels::TickSeconds : count / kPowers[size_t(unit)];
    }
    static bool Encode(int unit, double value, int32_t& count);
    bool ChangeUnit(double value, int32_t& count);
    void MakePlain();
    void Summarise(double value);

    TChunkedArray<int32_t> m_counts;
    TChunkedArray<double> m_doubles; // once m_plain
    TChunkedArray<TAxisRange> m_blocks;
    qsizetype m_size = 0;
    int m_unit = 0;
    bool m_plain = false;
    int64_t m_largest = 0; // the largest count's magnitude
};
