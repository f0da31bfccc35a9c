#include "lcdframe.h"

#include "tools.h"

#include <utility>

namespace {

constexpr int kFirstDigitPosition = 5;
constexpr int kSmallDigitPosition = 3;
constexpr int kPointSegment = 3;

// Digits first, so that reading a pattern back prefers "0" to "O" and "5" to "S".
constexpr std::pair<char, uint8_t> kGlyphs[] = {
    {'0', 0x3F}, {'1', 0x06}, {'2', 0x5B}, {'3', 0x4F}, {'4', 0x66}, {'5', 0x6D}, {'6', 0x7D},
    {'7', 0x07}, {'8', 0x7F}, {'9', 0x6F}, {' ', 0x00}, {'-', 0x40}, {'_', 0x08}, {'A', 0x77},
    {'b', 0x7C}, {'C', 0x39}, {'c', 0x58}, {'d', 0x5E}, {'E', 0x79}, {'F', 0x71}, {'G', 0x3D},
    {'H', 0x76}, {'h', 0x74}, {'i', 0x04}, {'J', 0x1E}, {'L', 0x38}, {'n', 0x54}, {'o', 0x5C},
    {'P', 0x73}, {'r', 0x50}, {'t', 0x78}, {'U', 0x3E}, {'u', 0x1C}, {'y', 0x6E}, {'O', 0x3F},
    {'S', 0x6D}, {'I', 0x06},
};

bool LookUp(char c, uint8_t& strokes)
{
    for (const auto& [glyph, pattern] : kGlyphs) {
        if (glyph == c) {
            strokes = pattern;
            return true;
        }
    }
    return false;
}

} // namespace

bool TLcdFrame::Segment(int position, int segment) const
{
    if (position < 0 || position >= kPositions || segment < 0 || segment > 3)
        return false;
    return (m_positions[position] >> segment) & 1;
}

void TLcdFrame::SetSegment(int position, int segment, bool on)
{
    if (position < 0 || position >= kPositions || segment < 0 || segment > 3)
        return;
    const auto bit = static_cast<uint8_t>(1u << segment);
    m_positions[position] = on ? (m_positions[position] | bit) : (m_positions[position] & ~bit);
}

void TLcdFrame::SetAnnunciator(Annunciator which, bool on)
{
    SetSegment(which / 4, which % 4, on);
}

bool TLcdFrame::AnnunciatorOn(Annunciator which) const
{
    return Segment(which / 4, which % 4);
}

uint8_t TLcdFrame::GlyphStrokes(QChar c)
{
    uint8_t strokes = 0;
    const char latin = c.toLatin1();
    if (LookUp(latin, strokes))
        return strokes;
    if (LookUp(QChar(c).toUpper().toLatin1(), strokes))
        return strokes;
    if (LookUp(QChar(c).toLower().toLatin1(), strokes))
        return strokes;
    return 0;
}

void TLcdFrame::SetDigit(int digit, uint8_t strokes, bool point)
{
    if (digit < 0 || digit >= kDigits)
        return;
    const int first = kFirstDigitPosition + 2 * digit;
    m_positions[first] = strokes & 0x0F;
    m_positions[first + 1] = static_cast<uint8_t>(((strokes >> 4) & 0x07) | (point ? 0x08 : 0));
}

void TLcdFrame::SetText(const QString& text)
{
    int digit = 0;
    bool point = false;
    for (qsizetype i = text.size() - 1; i >= 0 && digit < kDigits; --i) {
        if (text.at(i) == u'.' && !point) {
            point = true;
            continue;
        }
        SetDigit(digit++, GlyphStrokes(text.at(i)), point);
        point = false;
    }
    for (; digit < kDigits; ++digit)
        SetDigit(digit, 0, false);
}

void TLcdFrame::SetSmallDigit(QChar c, bool point)
{
    const uint8_t strokes = GlyphStrokes(c);
    m_positions[kSmallDigitPosition] = strokes & 0x0F;
    m_positions[kSmallDigitPosition + 1] =
        static_cast<uint8_t>(((strokes >> 4) & 0x07) | (point ? 0x08 : 0));
}

QString TLcdFrame::RegisterData() const
{
    QString data = QStringLiteral("00");
    for (int position = 16; position >= 0; --position)
        data += tools::HexText(m_positions[position], 1);
    return data;
}

TLcdFrame TLcdFrame::FromRegisterData(const QString& data)
{
    TLcdFrame frame;
    if (data.size() < 18)
        return frame;
    for (int k = 2; k < 19; ++k) {
        const QString digit = k < data.size() ? data.mid(k, 1) : QString();
        frame.m_positions[18 - k] = static_cast<uint8_t>(tools::HexToInt(digit) & 0x0F);
    }
    return frame;
}

uint8_t TLcdFrame::DigitStrokes(int digit) const
{
    const int first = kFirstDigitPosition + 2 * digit;
    return static_cast<uint8_t>(m_positions[first] | ((m_positions[first + 1] & 0x07) << 4));
}

QChar TLcdFrame::GlyphFor(uint8_t strokes)
{
    for (const auto& [glyph, pattern] : kGlyphs) {
        if (pattern == strokes)
            return QChar::fromLatin1(glyph);
    }
    return u'?';
}

QString TLcdFrame::DigitsText() const
{
    QString text;
    for (int digit = kDigits - 1; digit >= 0; --digit) {
        text += GlyphFor(DigitStrokes(digit));
        if (Segment(kFirstDigitPosition + 2 * digit + 1, kPointSegment))
            text += u'.';
    }
    qsizetype start = 0;
    while (start < text.size() && text.at(start) == u' ')
        ++start;
    return text.mid(start);
}
