#pragma once

#include <QString>

#include <cstdint>

// The message CRC of received CRC-form messages: CRC-16/CCITT-FALSE over 8-bit codes.
namespace crc {

uint16_t CalcCRC(const QString& text);
// Four upper-case hexadecimal digits of CalcCRC(text).
QString CrcText(const QString& text);
// True when the last four characters equal the CRC text of everything before them.
bool CrcCheck(const QString& received);
// The text in CRC form as an instrument sends it: STX, text, CRC digits, EOT.
QString CrcForm(const QString& text);

} // namespace crc
