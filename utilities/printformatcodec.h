#pragma once

#include <QString>
#include <QStringList>

// The instrument's two custom print formats (short and long press of its Print key) and the
// way they are edited: on the wire a format is hexadecimal byte pairs; in the editor it is
// text in which "\\" stands for a backslash and "\" with two hexadecimal digits ("\0D") for
// any byte. Every function is pure and never fails.
namespace printformat {

inline constexpr int kDefaultShortLimit = 80; // bytes, when the instrument reports none
inline constexpr int kDefaultLongLimit = 20;

// Both formats as editor texts, with the instrument's size limits in bytes.
struct TPrintFormats
{
    QString shortText;
    QString longText;
    int shortLimit = kDefaultShortLimit;
    int longLimit = kDefaultLongLimit;

    bool operator==(const TPrintFormats&) const = default;
};

// Register data to editor text: byte 0 ends the text, bytes 32..126 are themselves (a
// backslash doubled), any other byte becomes "\" and two upper-case digits. Encoding the text
// gives the same bytes back. A character that is not a hexadecimal digit adds nothing to its
// byte; a lone last digit is a byte of its own.
[[nodiscard]] QString Decode(const QString& data);
// Editor text to register data (upper-case pairs, no terminator added); an empty text is
// "00". An escape whose one or two characters are not all hexadecimal digits writes nothing;
// a character beyond 8 bits, which no byte holds, is written as '?'.
[[nodiscard]] QString Encode(const QString& text);
// Bytes the text stands for (0 for an empty text).
[[nodiscard]] int ByteCount(const QString& text);
// True when the encoded text is within `limit` bytes.
[[nodiscard]] bool Fits(const QString& text, int limit);
// The messages that keep the formats from being accepted, short press first; none when both
// fit.
[[nodiscard]] QStringList LengthMessages(const TPrintFormats& formats);
// What the instrument prints, on one line: printable characters as they are, other bytes
// spelled out as "[CR]" or "[81]"; a 0 byte ends the ticket.
[[nodiscard]] QString Preview(const QString& text);

} // namespace printformat
