#pragma once

#include <QString>

#include <array>

// Display register data for a weight text on the six large digits, right-aligned, as an
// instrument would send it ("-12.345" lights the minus, five digits and one point).
// Annunciator bits (positions 0..4) come from `low`: five hex digits for positions 4..0.
inline QString DisplayDataFor(const QString& text, const QString& low = QStringLiteral("00000"))
{
    // Strokes a..g in bits 0..6.
    static const std::array<int, 10> kDigits{0x3F, 0x06, 0x5B, 0x4F, 0x66,
                                             0x6D, 0x7D, 0x07, 0x7F, 0x6F};
    std::array<int, 6> strokes{};
    std::array<bool, 6> points{};
    int digit = 0;
    for (qsizetype i = text.size() - 1; i >= 0 && digit < 6; --i) {
        const QChar c = text.at(i);
        if (c == u'.') {
            points[size_t(digit)] = true;
            continue;
        }
        const bool isDigit = c.isDigit();
        strokes[size_t(digit)] = c == u'-' ? 0x40 : isDigit ? kDigits[size_t(c.digitValue())] : 0;
        ++digit;
    }
    // A point belongs to the digit on its left, at that digit's lower right.
    QString data = QStringLiteral("00");
    for (int d = 5; d >= 0; --d) {
        const int high = ((strokes[size_t(d)] >> 4) & 0x7) | (points[size_t(d)] ? 0x8 : 0);
        data += QString::number(high, 16).toUpper();
        data += QString::number(strokes[size_t(d)] & 0xF, 16).toUpper();
    }
    return data + low;
}
