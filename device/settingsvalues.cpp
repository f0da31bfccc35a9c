#include "settingsvalues.h"

#include "tools.h"

namespace settingsvalues {

QString RegisterLabel(const QString& reg, uint8_t access)
{
    return reg + u' ' + tools::HexText(access);
}

QString OptionRaw(int index)
{
    return tools::HexText(static_cast<uint32_t>(index) & 0xFFFF, 4);
}

QString NumberRaw(int32_t value)
{
    return tools::HexText(static_cast<uint32_t>(value), value < 0 ? 8 : 4);
}

TNumberEntry CheckNumber(const QString& typed, int decimals, int32_t minimum, int32_t maximum)
{
    TNumberEntry entry;
    entry.normalised = tools::FixDecimals(typed, decimals);
    const int32_t value = tools::DigitsToInt(entry.normalised);
    if (value >= minimum && value <= maximum)
        entry.raw = NumberRaw(value);
    else
        entry.error =
            QStringLiteral("Out of Range: (%1 to %2)")
                .arg(tools::IntToFixed(minimum, decimals), tools::IntToFixed(maximum, decimals));
    return entry;
}

int FieldWidth(int choices)
{
    if (choices <= 2)
        return 1;
    return choices <= 4 ? 2 : 3;
}

QString PackBitFields(const std::vector<TBitField>& fields, uint32_t current)
{
    uint32_t value = 0;
    int shift = 0;
    for (const TBitField& field : fields) {
        const int width = FieldWidth(field.choices);
        const uint32_t mask = (1u << width) - 1;
        const uint32_t bits = field.selected >= 0 ? static_cast<uint32_t>(field.selected) & mask
                                                  : (current >> shift) & mask;
        value |= bits << shift;
        shift += width;
    }
    return tools::HexText(value);
}

int BitFieldSelection(const QString& choices, const QString& displayText, int k)
{
    if (k < 0 || k >= displayText.size())
        return -1;
    return static_cast<int>(choices.indexOf(displayText.at(k)));
}

} // namespace settingsvalues
