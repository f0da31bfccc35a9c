#pragma once

#include "protocol.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

// The instrument's own menu tree under register 0x0011: item attributes, the current values
// and the checks a write must pass. Numbers are stored as the integers that travel on the
// wire; weights are display counts whose decimals follow the decimal-point setting.
class TSimMenu
{
public:
    static constexpr int kRoot = protocol::reg::MenuRoot;
    enum Type
    {
        Menu = protocol::item::Menu,
        Text = protocol::item::String,
        Options = protocol::item::Options,
        BitField = protocol::item::BitField,
        Action = protocol::item::Function,
        LocalAction = protocol::item::LocalFunction
    };

    // Registers of the items the rest of the instrument acts upon.
    enum Item : uint16_t
    {
        DecimalPoint = 0x0201,
        Capacity = 0x0202,
        CountBy = 0x0203,
        Units = 0x0204,
        Filter = 0x0211,
        MotionBand = 0x0212,
        ZeroRange = 0x0213,
        ZeroBand = 0x0215,
        Keys = 0x0217,
        Address = 0x0223,
        PrintHeader = 0x0225,
        Sp1Type = 0x0232,
        Sp1Target,
        Sp1Hysteresis,
        Sp1Logic,
        Sp2Type = 0x0239,
        Sp2Target,
        Sp2Hysteresis,
        Sp2Logic,
        CalCount = 0x0246,
        DateFormat = 0x0251,
        SafeCode = 0x0254,
        FullCode = 0x0255,
        Id = 0x0256,
    };

    // A write's outcome: 0 or the protocol's error bits.
    using Result = uint32_t;

    TSimMenu();

    [[nodiscard]] bool Has(int reg) const;
    [[nodiscard]] int TypeOf(int reg) const;
    [[nodiscard]] QString Name(int reg) const;
    // Read and write level letters: S Safe, F Full, f the instrument's own keys only.
    [[nodiscard]] QString Access(int reg) const;
    [[nodiscard]] static bool HasValue(int type);
    [[nodiscard]] int32_t Minimum(int reg) const;
    [[nodiscard]] int32_t Maximum(int reg) const;
    // A menu's child register, an option text or a bit field's choices; none past the end.
    [[nodiscard]] std::optional<QString> Entry(int reg, int index) const;

    [[nodiscard]] QString RawValue(int reg) const;
    [[nodiscard]] QString DisplayText(int reg) const;
    [[nodiscard]] int32_t Number(int reg) const;
    [[nodiscard]] QString TextValue(int reg) const;
    // Checks and stores a raw value as written on the wire.
    Result Write(int reg, const QString& raw);
    // Sets a value without the limits of a write, for the instrument's own bookkeeping.
    void Force(int reg, int32_t value);

    [[nodiscard]] int WeightDecimals() const;
    [[nodiscard]] QString UnitText() const;
    [[nodiscard]] QString WeightText(int32_t counts) const;
    [[nodiscard]] int BitFieldChoice(int reg, int field) const;

    [[nodiscard]] QJsonObject Save() const;
    void Load(const QJsonObject& values);

private:
    struct TItem
    {
        uint16_t reg;
        uint16_t parent;
        int type;
        const char* name;
        const char* access;
        int32_t minimum;
        int32_t maximum;
        int32_t initial;
        int decimals; // -1: weight decimals
        const char* choices;
        const char* text;
    };

    [[nodiscard]] const TItem* Find(int reg) const;
    [[nodiscard]] QStringList Choices(const TItem& item) const;
    [[nodiscard]] std::vector<int> Children(int reg) const;
    [[nodiscard]] Result CheckNumber(const TItem& item, int32_t value) const;
    [[nodiscard]] Result CheckBitField(const TItem& item, uint32_t value) const;
    [[nodiscard]] static int FieldWidth(int choices);
    void LoadNumber(int reg, int32_t value);

    static const std::vector<TItem>& Items();
    std::map<int, int32_t> m_numbers;
    std::map<int, QString> m_texts;
};
