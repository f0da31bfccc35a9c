#pragma once

#include <QString>

#include <cstdint>

// One register-protocol message: address byte flags, command, register and data,
// with the text form both requests and replies share ("AACCRRRR:data").
class Tcommsobj
{
public:
    bool ReplyBit = false;
    bool ErrorBit = false;
    bool RequestBit = false;
    int Address = 0;
    int Command = 0;
    int Register = 0;
    QString Data;
    uint32_t Value = 0;

    void Clear();
    // Message text with upper-case hexadecimal fields; no terminator.
    [[nodiscard]] QString Build() const;
    // Fills the record from a received text; false when it is not a well-formed message.
    bool Parse(const QString& text);
    [[nodiscard]] QString ErrorText() const;
    [[nodiscard]] bool HasError(uint32_t mask) const;

    // Text of the lowest listed error bit in `bits`; empty when none of them has a text.
    static QString ErrorTextFor(uint32_t bits);
    // "Error :- Register %4x: %s" as shown to the user for an error reply.
    [[nodiscard]] QString ErrorReport() const;
};
