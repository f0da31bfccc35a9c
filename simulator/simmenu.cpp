#include "simmenu.h"

#include "protocol.h"
#include "tools.h"

namespace {

// The instrument answers a raw number only when it is plain hexadecimal.
bool IsHexText(const QString& raw)
{
    if (raw.isEmpty() || raw.size() > 8)
        return false;
    for (QChar c : raw) {
        if (!c.isDigit() && !(c.toUpper() >= u'A' && c.toUpper() <= u'F'))
            return false;
    }
    return true;
}

QString RegisterKey(int reg)
{
    return tools::HexText(static_cast<uint32_t>(reg), 4);
}

} // namespace

// Menus first in each group, items in the order the front panel shows them.
const std::vector<TSimMenu::TItem>& TSimMenu::Items()
{
    static const std::vector<TItem> items = {
        {kRoot, 0, Menu, "SETUP", "SS", 0, 0, 0, 0, nullptr, nullptr},
        {0x0200, kRoot, Menu, "BUILD", "SS", 0, 0, 0, 0, nullptr, nullptr},
        {DecimalPoint, 0x0200, Options, "DP", "SF", 0, 0, 1, 0, "000000|00000.0|0000.00|000.000",
         nullptr},
        {Capacity, 0x0200, 3, "CAP", "SF", 1, 999999, 5000, -1, nullptr, nullptr},
        {CountBy, 0x0200, Options, "E", "SF", 0, 0, 0, 0, "1|2|5|10|20|50|100", nullptr},
        {Units, 0x0200, Options, "UNITS", "SF", 0, 0, 1, 0, "NONE|kg|lb|t|g", nullptr},
        {0x0205, 0x0200, Options, "CABLE", "FF", 0, 0, 1, 0, "4-WIRE|6-WIRE", nullptr},
        {0x0206, 0x0200, Options, "HI.RES", "FF", 0, 0, 0, 0, "OFF|ON", nullptr},
        {0x0207, 0x0200, Options, "USE", "SF", 0, 0, 0, 0, "INDUST|TRADE", nullptr},
        {0x0210, kRoot, Menu, "OPTION", "SS", 0, 0, 0, 0, nullptr, nullptr},
        {Filter, 0x0210, Options, "FILTER", "SS", 0, 0, 2, 0, "NONE|0.1|0.2|0.5|1.0|2.0|4.0",
         nullptr},
        {MotionBand, 0x0210, Options, "MOTION", "SS", 0, 0, 2, 0,
         "OFF|0.5-1.0|1.0-1.0|2.0-1.0|5.0-1.0", nullptr},
        {ZeroRange, 0x0210, Options, "Z.RANGE", "SF", 0, 0, 0, 0, "-2_2|-20_20", nullptr},
        {0x0214, 0x0210, Options, "Z.TRACK", "SS", 0, 0, 0, 0, "OFF|SLOW|FAST", nullptr},
        {ZeroBand, 0x0210, 1, "Z.BAND", "SS", 0, 100, 0, 0, nullptr, nullptr},
        {0x0216, 0x0210, 2, "Z.DLY", "SS", 0, 300, 0, 1, nullptr, nullptr},
        {Keys, 0x0210, BitField, "KEYS", "SF", 0, 0, 0x0D, 0, "-Z|-TG|-PSLA", nullptr},
        {0x0220, kRoot, Menu, "SERIAL", "SS", 0, 0, 0, 0, nullptr, nullptr},
        {0x0221, 0x0220, Options, "BAUD", "SS", 0, 0, 2, 0, "2400|4800|9600|19200|38400", nullptr},
        {0x0222, 0x0220, Options, "BITS", "SS", 0, 0, 0, 0, "8N1|7E1|7O1|8E1|8O1", nullptr},
        {Address, 0x0220, 1, "ADDR", "Sf", 1, 31, 1, 0, nullptr, nullptr},
        {0x0224, 0x0220, Options, "TYPE", "SS", 0, 0, 0, 0, "NONE|AUTO.LO|AUTO.HI|PRINT|RING",
         nullptr},
        {PrintHeader, 0x0220, Text, "P.HEAD", "SS", 0, 16, 0, 0, nullptr, "Q900 SCALE"},
        {0x0226, 0x0220, 4, "P.DLY", "SS", 0, 999, 50, 2, nullptr, nullptr},
        {0x0230, kRoot, Menu, "SETPNT", "SS", 0, 0, 0, 0, nullptr, nullptr},
        {0x0231, 0x0230, Menu, "SP1", "SS", 0, 0, 0, 0, nullptr, nullptr},
        {Sp1Type, 0x0231, Options, "TYPE", "SS", 0, 0, 1, 0, "OFF|OVER|UNDER|MOTION|ZERO|NET",
         nullptr},
        {Sp1Target, 0x0231, 3, "TARGET", "SS", -999999, 999999, 1000, -1, nullptr, nullptr},
        {Sp1Hysteresis, 0x0231, 3, "HYS", "SS", 0, 9999, 10, -1, nullptr, nullptr},
        {Sp1Logic, 0x0231, Options, "LOGIC", "SS", 0, 0, 0, 0, "HI|LO", nullptr},
        {0x0238, 0x0230, Menu, "SP2", "SS", 0, 0, 0, 0, nullptr, nullptr},
        {Sp2Type, 0x0238, Options, "TYPE", "SS", 0, 0, 1, 0, "OFF|OVER|UNDER|MOTION|ZERO|NET",
         nullptr},
        {Sp2Target, 0x0238, 3, "TARGET", "SS", -999999, 999999, 4000, -1, nullptr, nullptr},
        {Sp2Hysteresis, 0x0238, 3, "HYS", "SS", 0, 9999, 10, -1, nullptr, nullptr},
        {Sp2Logic, 0x0238, Options, "LOGIC", "SS", 0, 0, 0, 0, "HI|LO", nullptr},
        {0x0240, kRoot, Menu, "CAL", "FF", 0, 0, 0, 0, nullptr, nullptr},
        {0x0241, 0x0240, Action, "ZERO", "Ff", 0, 0, 0, 0, nullptr, nullptr},
        {0x0242, 0x0240, Action, "SPAN", "Ff", 0, 0, 0, 0, nullptr, nullptr},
        {0x0243, 0x0240, LocalAction, "ED.LIN", "Ff", 0, 0, 0, 0, nullptr, nullptr},
        {0x0244, 0x0240, 5, "GRAV", "FF", 9700, 9900, 9810, 3, nullptr, nullptr},
        {0x0245, 0x0240, 4, "TRIM", "FF", -500, 500, 0, 2, nullptr, nullptr},
        {CalCount, 0x0240, 14, "CAL.CNT", "Sf", 0, 65535, 0, 0, nullptr, nullptr},
        {0x0247, 0x0240, LocalAction, "FAC.CAL", "Ff", 0, 0, 0, 0, nullptr, nullptr},
        {0x0250, kRoot, Menu, "SYSTEM", "SS", 0, 0, 0, 0, nullptr, nullptr},
        {DateFormat, 0x0250, Options, "DATE.F", "SS", 0, 0, 0, 0, "DD.MM.YY|MM.DD.YY|YY.MM.DD",
         nullptr},
        {0x0252, 0x0250, Options, "B.LIGHT", "SS", 0, 0, 2, 0, "OFF|ON|AUTO", nullptr},
        {0x0253, 0x0250, 1, "AUTO.OFF", "SS", 0, 60, 0, 0, nullptr, nullptr},
        {SafeCode, 0x0250, 1, "SAFE.PC", "FF", 0, 999999, 1111, 0, nullptr, nullptr},
        {FullCode, 0x0250, 1, "FULL.PC", "FF", 0, 999999, 2222, 0, nullptr, nullptr},
        {Id, 0x0250, Text, "ID", "SS", 0, 8, 0, 0, nullptr, "SCALE 1"},
        {0x0257, 0x0250, 14, "FAC.TST", "ff", 0, 0, 0, 0, nullptr, nullptr},
        {0x0258, 0x0250, LocalAction, "DEFLT", "Ff", 0, 0, 0, 0, nullptr, nullptr},
    };
    return items;
}

TSimMenu::TSimMenu()
{
    for (const TItem& item : Items()) {
        if (item.type == Text)
            m_texts[item.reg] = QString::fromLatin1(item.text);
        else if (HasValue(item.type))
            m_numbers[item.reg] = item.initial;
    }
}

const TSimMenu::TItem* TSimMenu::Find(int reg) const
{
    for (const TItem& item : Items()) {
        if (item.reg == reg)
            return &item;
    }
    return nullptr;
}

bool TSimMenu::Has(int reg) const
{
    return Find(reg) != nullptr;
}

int TSimMenu::TypeOf(int reg) const
{
    const TItem* item = Find(reg);
    return item ? item->type : 0;
}

QString TSimMenu::Name(int reg) const
{
    const TItem* item = Find(reg);
    return item ? QString::fromLatin1(item->name) : QString();
}

QString TSimMenu::Access(int reg) const
{
    const TItem* item = Find(reg);
    return item ? QString::fromLatin1(item->access) : QString();
}

bool TSimMenu::HasValue(int type)
{
    return type != Menu && type != Action && type != LocalAction;
}

QStringList TSimMenu::Choices(const TItem& item) const
{
    return item.choices ? QString::fromLatin1(item.choices).split(u'|') : QStringList();
}

std::vector<int> TSimMenu::Children(int reg) const
{
    std::vector<int> children;
    for (const TItem& item : Items()) {
        if (item.parent == reg && item.reg != reg)
            children.push_back(item.reg);
    }
    return children;
}

int32_t TSimMenu::Minimum(int reg) const
{
    const TItem* item = Find(reg);
    if (!item)
        return 0;
    const bool numeric = item->type >= 1 && item->type <= 5;
    return numeric ? item->minimum : 0;
}

int32_t TSimMenu::Maximum(int reg) const
{
    const TItem* item = Find(reg);
    if (!item)
        return 0;
    if (item->type == Menu)
        return static_cast<int32_t>(Children(reg).size()) - 1;
    if (item->type == Options || item->type == BitField)
        return static_cast<int32_t>(Choices(*item).size()) - 1;
    return item->maximum;
}

std::optional<QString> TSimMenu::Entry(int reg, int index) const
{
    const TItem* item = Find(reg);
    if (!item || index < 0)
        return std::nullopt;
    if (item->type == Menu) {
        const std::vector<int> children = Children(reg);
        if (index >= static_cast<int>(children.size()))
            return std::nullopt;
        return RegisterKey(children[index]);
    }
    const QStringList choices = Choices(*item);
    if (index >= choices.size())
        return std::nullopt;
    return choices.at(index);
}

int32_t TSimMenu::Number(int reg) const
{
    const auto it = m_numbers.find(reg);
    return it == m_numbers.end() ? 0 : it->second;
}

QString TSimMenu::TextValue(int reg) const
{
    const auto it = m_texts.find(reg);
    return it == m_texts.end() ? QString() : it->second;
}

QString TSimMenu::RawValue(int reg) const
{
    if (TypeOf(reg) == Text)
        return TextValue(reg);
    return tools::HexText(static_cast<uint32_t>(Number(reg)), 8);
}

int TSimMenu::WeightDecimals() const
{
    return Number(DecimalPoint);
}

QString TSimMenu::UnitText() const
{
    const int index = Number(Units);
    return index == 0 ? QString() : Entry(Units, index).value_or(QString());
}

QString TSimMenu::WeightText(int32_t counts) const
{
    return tools::IntToFixed(counts, WeightDecimals());
}

QString TSimMenu::DisplayText(int reg) const
{
    const TItem* item = Find(reg);
    if (!item || !HasValue(item->type))
        return {};
    if (item->type == Text)
        return TextValue(reg);
    if (item->type == Options)
        return Entry(reg, Number(reg)).value_or(QString());
    if (item->type == BitField) {
        QString text;
        const QStringList choices = Choices(*item);
        for (int field = 0; field < choices.size(); ++field) {
            const int choice = BitFieldChoice(reg, field);
            text += choice < choices.at(field).size() ? choices.at(field).at(choice) : u'?';
        }
        return text;
    }
    if (item->decimals < 0) {
        const QString units = UnitText();
        return WeightText(Number(reg)) + (units.isEmpty() ? QString() : u' ' + units);
    }
    return tools::IntToFixed(Number(reg), item->decimals);
}

int TSimMenu::FieldWidth(int choices)
{
    return choices <= 2 ? 1 : (choices <= 4 ? 2 : 3);
}

int TSimMenu::BitFieldChoice(int reg, int field) const
{
    const TItem* item = Find(reg);
    if (!item || item->type != BitField)
        return 0;
    const QStringList choices = Choices(*item);
    int shift = 0;
    for (int k = 0; k < field && k < choices.size(); ++k)
        shift += FieldWidth(static_cast<int>(choices.at(k).size()));
    if (field >= choices.size())
        return 0;
    const int width = FieldWidth(static_cast<int>(choices.at(field).size()));
    return (static_cast<uint32_t>(Number(reg)) >> shift) & ((1u << width) - 1);
}

TSimMenu::Result TSimMenu::CheckNumber(const TItem& item, int32_t value) const
{
    if (item.type == Options)
        return value >= 0 && value < Choices(item).size() ? 0 : protocol::err::IllegalValue;
    if (value < item.minimum)
        return protocol::err::UnderRange;
    return value > item.maximum ? protocol::err::OverRange : 0;
}

TSimMenu::Result TSimMenu::CheckBitField(const TItem& item, uint32_t value) const
{
    int shift = 0;
    for (const QString& choices : Choices(item)) {
        const int width = FieldWidth(static_cast<int>(choices.size()));
        if (static_cast<int>((value >> shift) & ((1u << width) - 1)) >= choices.size())
            return protocol::err::IllegalValue;
        shift += width;
    }
    return (value >> shift) == 0 ? 0 : protocol::err::IllegalValue;
}

TSimMenu::Result TSimMenu::Write(int reg, const QString& raw)
{
    const TItem* item = Find(reg);
    if (!item || !HasValue(item->type))
        return protocol::err::IllegalOperation;
    if (item->type == Text) {
        if (raw.size() > item->maximum)
            return protocol::err::OverRange;
        m_texts[reg] = raw;
        return 0;
    }
    if (!IsHexText(raw.trimmed()))
        return protocol::err::IllegalValue;
    const uint32_t value = tools::HexToInt(raw);
    const Result result = item->type == BitField ? CheckBitField(*item, value)
                                                 : CheckNumber(*item, static_cast<int32_t>(value));
    if (result == 0)
        m_numbers[reg] = static_cast<int32_t>(value);
    return result;
}

void TSimMenu::Force(int reg, int32_t value)
{
    if (m_numbers.count(reg))
        m_numbers[reg] = value;
}

QJsonObject TSimMenu::Save() const
{
    QJsonObject values;
    for (const auto& [reg, value] : m_numbers)
        values.insert(RegisterKey(reg), value);
    for (const auto& [reg, text] : m_texts)
        values.insert(RegisterKey(reg), text);
    return values;
}

void TSimMenu::Load(const QJsonObject& values)
{
    for (auto it = values.begin(); it != values.end(); ++it) {
        const int reg = static_cast<int>(tools::HexToInt(it.key()));
        if (m_texts.count(reg) && it.value().isString())
            m_texts[reg] = it.value().toString();
        else if (m_numbers.count(reg) && it.value().isDouble())
            LoadNumber(reg, it.value().toInt());
    }
}

void TSimMenu::LoadNumber(int reg, int32_t value)
{
    const TItem* item = Find(reg);
    const Result result =
        item->type == BitField ? CheckBitField(*item, value) : CheckNumber(*item, value);
    // A hand-edited state file must not leave a value the menu could never hold.
    if (result == 0)
        m_numbers[reg] = value;
}
