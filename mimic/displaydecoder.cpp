#include "displaydecoder.h"

#include "tools.h"

#include <algorithm>

namespace displaydecoder {

namespace {

constexpr int kDataPositions = 17; // positions 0..16
constexpr int kPosition17 = 17;

// Any character that is no hexadecimal digit counts as no segment lit.
int HexDigit(QChar c)
{
    return std::max(0, tools::HexDigitValue(c));
}

} // namespace

bool DecodeDisplay(const QString& data, TSegmentStates& states)
{
    if (data.size() < kMinimumLength)
        return false;
    for (int position = 0; position < kDataPositions; ++position) {
        const int index = 18 - position; // 0-based index of character 19 - position
        const int digit = index < data.size() ? HexDigit(data.at(index)) : 0;
        for (int segment = 0; segment < kSegmentsPerPosition; ++segment)
            states[position * kSegmentsPerPosition + segment] = (digit >> segment) & 1;
    }
    return true;
}

void BlankDisplay(TSegmentStates& states)
{
    states.fill(0);
}

void MirrorPosition17(TSegmentStates& states)
{
    const uint8_t lit = states[1 * kSegmentsPerPosition + 0];
    for (int segment = 0; segment < kSegmentsPerPosition; ++segment)
        states[kPosition17 * kSegmentsPerPosition + segment] = lit;
}

QString EncodeDisplay(const TSegmentStates& states, const QString& prefix)
{
    QString data = prefix.left(2).leftJustified(2, QLatin1Char('0'));
    for (int position = kDataPositions - 1; position >= 0; --position) {
        int digit = 0;
        for (int segment = 0; segment < kSegmentsPerPosition; ++segment)
            digit |= (states[position * kSegmentsPerPosition + segment] ? 1 : 0) << segment;
        data += QLatin1Char("0123456789ABCDEF"[digit]);
    }
    return data;
}

} // namespace displaydecoder
