#pragma once

// What the settings editors send: the raw value texts of numbers, option indexes and bit
// fields, and the register label of an item. Pure functions, so the editors only show them.

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <vector>

namespace settingsvalues {

// "0110 8A": the register and, after a blank, the access byte in hexadecimal.
[[nodiscard]] QString RegisterLabel(const QString& reg, uint8_t access);
// An option index as the instrument takes it: 4 hexadecimal digits.
[[nodiscard]] QString OptionRaw(int index);
// A number within its limits: hexadecimal with at least 4 digits, a negative one as its
// 8-digit two's complement.
[[nodiscard]] QString NumberRaw(int32_t value);

// A typed number checked against the item's limits.
struct TNumberEntry
{
    QString normalised;         // the text as the edit shows it afterwards
    std::optional<QString> raw; // what is sent; none when out of range
    QString error;              // "Out of Range: (%s to %s)" when out of range
};
[[nodiscard]] TNumberEntry CheckNumber(const QString& typed, int decimals, int32_t minimum,
                                       int32_t maximum);

// Bits a field of a bit field takes: 1 for up to 2 choices, 2 for up to 4, else 3.
[[nodiscard]] int FieldWidth(int choices);
// One field of a bit field: how many choices it has and the one selected (-1: none).
struct TBitField
{
    int choices = 0;
    int selected = -1;
};
// The packed value, fields from bit 0 upwards, as "%x". A field without a selection keeps
// its bits from `current`, the item's value as read, so it is never changed by accident.
[[nodiscard]] QString PackBitFields(const std::vector<TBitField>& fields, uint32_t current);
// Index of the choice shown for field k: the choice equal to character k + 1 of the display
// text, -1 when none is.
[[nodiscard]] int BitFieldSelection(const QString& choices, const QString& displayText, int k);

} // namespace settingsvalues
