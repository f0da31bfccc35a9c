#pragma once

#include <QString>

// Display register data for a weight on the six large digits, right-aligned, the way an
// instrument sends it: "-12.345" lights a minus, five digits and the point after "2".
// `low` is the five characters for positions 4..0 (small digit and annunciators).
inline QString DisplayDataFor(const QString& text, const QString& low = QStringLiteral("00000"))
{
    static const int kStrokes[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};
    int strokes[6] = {};
    bool points[6] = {};
    int digit = 0;
    for (qsizetype i = text.size() - 1; i >= 0 && digit < 6; --i) {
        const QChar c = text.at(i);
        if (c == u'.')
            points[digit] = true;
        else
            strokes[digit++] = c == u'-' ? 0x40 : c.isDigit() ? kStrokes[c.digitValue()] : 0;
    }
    // Per digit, left to right: e, f, g and point h, then a, b, c, d.
    QString data = QStringLiteral("00");
    for (int d = 5; d >= 0; --d) {
        data += QString::number((strokes[d] >> 4) | (points[d] ? 8 : 0), 16).toUpper();
        data += QString::number(strokes[d] & 0xF, 16).toUpper();
    }
    return data + low;
}
