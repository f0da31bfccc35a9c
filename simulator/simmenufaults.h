#pragma once

#include "comms.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

class TSimMenu;

// Menus that answer the tree reader wrongly on purpose, each fault in one fixed menu, so
// the viewer's handling of instruments that misbehave can be tried over the serial path.
class TSimMenuFaults
{
public:
    enum Fault : uint32_t
    {
        SelfListed = 0x01, // OPTION lists its own register before its children
        ChildTwice = 0x02, // SERIAL lists BAUD twice in a row
        NoMaximum = 0x04,  // SETPNT's maximum is an error, so its list cannot be read
        LastEntry = 0x08,  // CAL's entry at the highest index is an error
        NoName = 0x10,     // SYSTEM's B.LIGHT has no name, so the tree leaves it out
        NoValue = 0x20,    // BUILD's UNITS has no value, so it shows as invalid
    };

    // The menus and items the faults act on.
    static constexpr int kSelfListedMenu = 0x0210;
    static constexpr int kChildTwiceMenu = 0x0220;
    static constexpr int kNoMaximumMenu = 0x0230;
    static constexpr int kLastEntryMenu = 0x0240;
    static constexpr int kNoNameItem = 0x0252;
    static constexpr int kNoValueItem = 0x0204;

    struct TAnswer
    {
        uint32_t error = 0;
        QString data;
    };

    // The names the command line takes, in the order of the enumeration.
    [[nodiscard]] static QStringList Names();

    // Adds the faults of a comma-separated list of names; on an unknown name nothing is
    // added and the message names it.
    [[nodiscard]] bool Read(const QString& list, QString* error);
    void Add(Fault fault) { m_faults |= fault; }
    [[nodiscard]] bool Has(Fault fault) const { return (m_faults & fault) != 0; }
    [[nodiscard]] bool Any() const { return m_faults != 0; }

    // The faulty answer to a menu request, or none when the instrument answers as usual.
    [[nodiscard]] std::optional<TAnswer> Answer(const Tcommsobj& request,
                                                const TSimMenu& menu) const;

private:
    [[nodiscard]] std::optional<QString> ExtraFirstEntry(int reg, const TSimMenu& menu) const;
    [[nodiscard]] std::optional<TAnswer> Maximum(int reg, const TSimMenu& menu) const;
    [[nodiscard]] std::optional<TAnswer> Entry(int reg, int index, const TSimMenu& menu) const;
    [[nodiscard]] bool Fails(Fault fault, int reg, int faultyReg) const;

    uint32_t m_faults = 0;
};
