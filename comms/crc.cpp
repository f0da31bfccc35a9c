#include "crc.h"

#include "tools.h"

namespace crc {

uint16_t CalcCRC(const QString& text)
{
    uint16_t value = 0xFFFF;
    for (QChar c : text) {
        value ^= static_cast<uint16_t>((c.unicode() & 0xFF) << 8);
        for (int bit = 0; bit < 8; ++bit)
            value = (value & 0x8000) ? static_cast<uint16_t>((value << 1) ^ 0x1021)
                                     : static_cast<uint16_t>(value << 1);
    }
    return value;
}

QString CrcText(const QString& text)
{
    return tools::HexText(CalcCRC(text), 4);
}

bool CrcCheck(const QString& received)
{
    if (received.size() < 4)
        return false;
    const qsizetype bodyLength = received.size() - 4;
    return CrcText(received.left(bodyLength)) == received.mid(bodyLength);
}

QString CrcForm(const QString& text)
{
    return QChar(0x02) + text + CrcText(text) + QChar(0x04);
}

} // namespace crc
