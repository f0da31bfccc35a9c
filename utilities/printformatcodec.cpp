#include "printformatcodec.h"

#include "tools.h"

#include <QByteArray>

namespace printformat {

namespace {

constexpr QChar kEscape = u'\\';
constexpr int kFirstPrintable = 0x20;
constexpr int kLastPrintable = 0x7E;
constexpr int kDelete = 0x7F;
constexpr uint8_t kUnencodable = '?';

const char* const kControlNames[32] = {"NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL",
                                       "BS",  "HT",  "LF",  "VT",  "FF",  "CR",  "SO",  "SI",
                                       "DLE", "DC1", "DC2", "DC3", "DC4", "NAK", "SYN", "ETB",
                                       "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US"};

// One byte from two characters; a character that is not a digit leaves the value as it is.
int PairValue(const QString& data, qsizetype at)
{
    int value = 0;
    for (qsizetype i = at; i < at + 2; ++i) {
        const int digit = i < data.size() ? tools::HexDigitValue(data.at(i)) : -1;
        if (digit >= 0)
            value = value * 16 + digit;
    }
    return value;
}

// The bytes the editor text stands for.
QByteArray Bytes(const QString& text)
{
    QByteArray bytes;
    for (qsizetype i = 0; i < text.size();) {
        const QChar c = text.at(i++);
        if (c != kEscape) {
            bytes.append(c.unicode() > 0xFF ? char(kUnencodable) : char(c.unicode()));
            continue;
        }
        if (i < text.size() && text.at(i) == kEscape) {
            bytes.append(char(kEscape.unicode()));
            ++i;
            continue;
        }
        const QString digits = text.mid(i, 2);
        i += digits.size();
        int value = 0;
        bool valid = true;
        for (QChar d : digits) {
            const int digit = tools::HexDigitValue(d);
            valid = valid && digit >= 0;
            value = value * 16 + digit;
        }
        if (valid)
            bytes.append(char(value));
    }
    return bytes;
}

} // namespace

QString Decode(const QString& data)
{
    QString text;
    for (qsizetype at = 0; at < data.size(); at += 2) {
        const int value = PairValue(data, at);
        if (value == 0)
            break;
        // A stored backslash is doubled, or the text would not encode back to the same bytes.
        if (value == kEscape.unicode())
            text += QString(2, kEscape);
        else if (value >= kFirstPrintable && value <= kLastPrintable)
            text += QChar(value);
        else
            text += kEscape + tools::HexText(uint32_t(value), 2);
    }
    return text;
}

QString Encode(const QString& text)
{
    if (text.isEmpty())
        return QStringLiteral("00");
    return QString::fromLatin1(Bytes(text).toHex().toUpper());
}

int ByteCount(const QString& text)
{
    return int(Bytes(text).size());
}

bool Fits(const QString& text, int limit)
{
    return Encode(text).size() <= 2 * qsizetype(limit);
}

QStringList LengthMessages(const TPrintFormats& formats)
{
    QStringList messages;
    if (!Fits(formats.shortText, formats.shortLimit))
        messages << QStringLiteral("Short Press Print Format String too long");
    if (!Fits(formats.longText, formats.longLimit))
        messages << QStringLiteral("Long Press Print Format String too long");
    return messages;
}

QString Preview(const QString& text)
{
    QString line;
    for (char byte : Bytes(text)) {
        const auto value = static_cast<uint8_t>(byte);
        if (value == 0)
            break;
        if (value >= kFirstPrintable && value <= kLastPrintable)
            line += QChar(value);
        else if (value < kFirstPrintable)
            line += u'[' + QLatin1String(kControlNames[value]) + u']';
        else if (value == kDelete)
            line += QStringLiteral("[DEL]");
        else
            line += u'[' + tools::HexText(value, 2) + u']';
    }
    return line;
}

} // namespace printformat
