#include "terminalrender.h"

#include "tools.h"

namespace terminalrender {

namespace {

const char* const kNames[32] = {"NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL",
                                "BS",  "HT",  "LF",  "VT",  "FF",  "CR",  "SO",  "SI",
                                "DLE", "DC1", "DC2", "DC3", "DC4", "NAK", "SYN", "ETB",
                                "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US"};

bool EndsLine(char16_t u)
{
    return u == 0x03 || u == 0x04 || u == 0x0A || u == u';';
}

} // namespace

QString Render(const QString& text, bool showControl)
{
    QString out;
    out.reserve(text.size() * 2);
    for (QChar c : text) {
        const char16_t u = c.unicode() & 0xFF;
        if (u >= 0x20 && u <= 0x7E)
            out += QChar(u);
        else if (showControl && u < 0x20)
            out += u'[' + QLatin1String(kNames[u]) + u']';
        else if (showControl)
            out += u'[' + tools::HexText(u, 2) + u']';
        if (EndsLine(u))
            out += u'\n';
    }
    return out;
}

QString Hex(const QString& text)
{
    QString out;
    out.reserve(text.size() * 3);
    for (QChar c : text) {
        const char16_t u = c.unicode() & 0xFF;
        out += tools::HexText(u, 2);
        out += EndsLine(u) ? u'\n' : u' ';
    }
    return out;
}

QString Printable(const QString& text)
{
    QString out;
    for (QChar c : text) {
        if (c.unicode() >= 0x20)
            out += c;
    }
    return out;
}

} // namespace terminalrender
