#include "comms.h"

#include "protocol.h"
#include "tools.h"

#include <array>
#include <utility>

using namespace protocol;

namespace {

// Lowest bit first: when several are set, the lowest one names the error.
constexpr std::array<std::pair<uint32_t, const char*>, 11> kErrorTexts{{
    {err::CrcRequired, " CRC Required "},
    {err::SessionTimedOut, " Session Timed Out "},
    {err::BadParameter, " Bad Parameter "},
    {err::SaveFailed, " Save Settings Failed "},
    {err::IllegalOperation, " Illegal Operation "},
    {err::IllegalValue, " Illegal Value "},
    {err::OverRange, " Over Range "},
    {err::UnderRange, " Under Range "},
    {err::AccessDenied, " Access Denied "},
    {err::NotImplemented, " Feature Not implemented "},
    {err::UnknownError, " Unknown Error "},
}};

// Reads a fixed-width hexadecimal field; false when any character is not a hex digit.
bool ReadHexField(const QString& text, qsizetype start, qsizetype width, int& out)
{
    int value = 0;
    for (qsizetype i = start; i < start + width; ++i) {
        const int digit = tools::HexDigitValue(text.at(i));
        if (digit < 0)
            return false;
        value = value * 16 + digit;
    }
    out = value;
    return true;
}

} // namespace

void Tcommsobj::Clear()
{
    *this = Tcommsobj();
}

QString Tcommsobj::Build() const
{
    uint32_t addressByte = static_cast<uint32_t>(Address) & flag::AddressMask;
    if (ReplyBit)
        addressByte |= flag::Reply;
    if (ErrorBit)
        addressByte |= flag::Error;
    if (RequestBit)
        addressByte |= flag::Request;
    return tools::HexText(addressByte, 2) + tools::HexText(Command & 0xFF, 2) +
           tools::HexText(Register & 0xFFFF, 4) + u':' + Data;
}

bool Tcommsobj::Parse(const QString& text)
{
    if (text.size() <= 8)
        return false;
    bool ok = true;
    int addressByte = 0;
    if (ReadHexField(text, 0, 2, addressByte)) {
        ReplyBit = addressByte & flag::Reply;
        ErrorBit = addressByte & flag::Error;
        RequestBit = addressByte & flag::Request;
        Address = addressByte & flag::AddressMask;
    } else {
        ok = false;
    }
    ok = ReadHexField(text, 2, 2, Command) && ok;
    ok = ReadHexField(text, 4, 4, Register) && ok;
    if (text.at(8) != u':')
        ok = false;
    Data = text.mid(9);
    Value = tools::HexToInt(Data);
    return ok;
}

QString Tcommsobj::ErrorText() const
{
    return ErrorBit ? ErrorTextFor(Value) : QString();
}

bool Tcommsobj::HasError(uint32_t mask) const
{
    return ErrorBit && (Value & mask) == mask;
}

QString Tcommsobj::ErrorTextFor(uint32_t bits)
{
    for (const auto& [bit, text] : kErrorTexts) {
        if (bits & bit)
            return QString::fromLatin1(text);
    }
    return {};
}

QString Tcommsobj::ErrorReport() const
{
    return QStringLiteral("Error :- Register %1: %2")
        .arg(tools::HexText(Register & 0xFFFF), 4, u' ')
        .arg(ErrorText());
}
