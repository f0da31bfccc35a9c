#pragma once

#include <QString>

#include <array>
#include <cstdint>

// One frame of the indicator's segment LCD and its text form in the display register
// (0x0009). The LCD has 18 positions of 4 segments; the register carries positions 16..0.
//
// Positions 5..16 are six seven-segment digits, two positions per digit: the first holds
// strokes a, b, c, d (segments 0..3), the second e, f, g and the decimal point h. Digit 0 is
// the rightmost (positions 5 and 6), digit 5 the leftmost (15 and 16); a digit's point sits
// to its right. Positions 3 and 4 are the small digit at the right, laid out the same way.
// The annunciators this instrument drives:
//   position 0: 0 "kg", 1 "lb", 2 "t", 3 "g"
//   position 1: 0 editing bar (drawn with position 17), 1 zero, 2 centre of zero, 3 motion
//   position 2: 0 net, 1 gross, 2 output 1, 3 output 2
// Register data: two leading characters "00", then one hexadecimal digit per position from
// 16 down to 0, bit n of a digit being segment n of that position (19 characters in all).
class TLcdFrame
{
public:
    static constexpr int kPositions = 18;
    static constexpr int kDigits = 6;

    enum Annunciator
    {
        Kilograms,
        Pounds,
        Tonnes,
        Grams,
        EditBar,
        Zero,
        CentreOfZero,
        Motion,
        Net,
        Gross,
        Output1,
        Output2,
    };

    [[nodiscard]] bool Segment(int position, int segment) const;
    void SetSegment(int position, int segment, bool on);
    void SetAnnunciator(Annunciator which, bool on);
    [[nodiscard]] bool AnnunciatorOn(Annunciator which) const;

    // Strokes a..g in bits 0..6; blank for a character the LCD cannot form.
    static uint8_t GlyphStrokes(QChar c);
    void SetDigit(int digit, uint8_t strokes, bool point);
    // Right-aligns text over the six digits; a "." lights the point of the character before it.
    void SetText(const QString& text);
    void SetSmallDigit(QChar c, bool point);

    [[nodiscard]] QString RegisterData() const;
    // Reads register data the way the viewer does: fewer than 18 characters give a blank frame.
    static TLcdFrame FromRegisterData(const QString& data);
    // The six digits read back as text, leading blanks dropped ("?" for an unknown pattern).
    [[nodiscard]] QString DigitsText() const;

    bool operator==(const TLcdFrame& other) const = default;

private:
    static QChar GlyphFor(uint8_t strokes);
    [[nodiscard]] uint8_t DigitStrokes(int digit) const;

    std::array<uint8_t, kPositions> m_positions{};
};
