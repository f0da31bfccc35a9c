#pragma once

#include "zellcd.h"

#include <QString>

// The display register's reply data (register 0x0009) as LCD segment states.
//
// Data characters, 1-based: 1 and 2 are not used; character k = 3 .. 19 is one hexadecimal
// digit for position 19 - k, bit 0 = segment 0 .. bit 3 = segment 3. So character 3 is
// position 16 (strokes e, f, g and point h of the leftmost digit), character 4 position 15
// (its strokes a, b, c, d), ... character 13 position 6 and 14 position 5 (the rightmost
// digit), 15 and 16 the small digit (positions 4 and 3), 17 .. 19 the annunciators of
// positions 2, 1 and 0. Any other character is 0. Position 17 is not carried: it mirrors
// position 1, segment 0 when drawn.
namespace displaydecoder {

constexpr int kMinimumLength = 18;

// Sets positions 0..16 from `data`; false, and nothing changed, for fewer than 18
// characters. An absent 19th character leaves position 0 unlit. Position 17 is untouched.
bool DecodeDisplay(const QString& data, TSegmentStates& states);
// All 72 segments unlit.
void BlankDisplay(TSegmentStates& states);
// Copies position 1, segment 0 into the four segments of position 17, whose five pieces
// (with that segment) always light together.
void MirrorPosition17(TSegmentStates& states);

// Inverse of DecodeDisplay for positions 0..16: the 19-character data text with `prefix`
// (two characters) in front, upper-case digits. For test data and tools.
QString EncodeDisplay(const TSegmentStates& states, const QString& prefix = QStringLiteral("00"));

} // namespace displaydecoder
