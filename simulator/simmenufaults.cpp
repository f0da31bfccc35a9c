#include "simmenufaults.h"

#include "protocol.h"
#include "simmenu.h"
#include "tools.h"

namespace {

struct TFaultName
{
    const char* name;
    TSimMenuFaults::Fault fault;
};

constexpr TFaultName kFaultNames[] = {
    {"self", TSimMenuFaults::SelfListed}, {"twice", TSimMenuFaults::ChildTwice},
    {"nomax", TSimMenuFaults::NoMaximum}, {"lastentry", TSimMenuFaults::LastEntry},
    {"noname", TSimMenuFaults::NoName},   {"novalue", TSimMenuFaults::NoValue},
};

TSimMenuFaults::TAnswer Refused()
{
    return {protocol::err::IllegalOperation, {}};
}

} // namespace

QStringList TSimMenuFaults::Names()
{
    QStringList names;
    for (const TFaultName& entry : kFaultNames)
        names << QString::fromLatin1(entry.name);
    return names;
}

bool TSimMenuFaults::Read(const QString& list, QString* error)
{
    uint32_t faults = 0;
    for (const QString& part : list.split(u',')) {
        const QString name = part.trimmed();
        const qsizetype at = Names().indexOf(name);
        if (at < 0) {
            if (error) {
                *error = QStringLiteral("unknown menu fault \"%1\" (known: %2)")
                             .arg(name, Names().join(QStringLiteral(", ")));
            }
            return false;
        }
        faults |= kFaultNames[at].fault;
    }
    m_faults |= faults;
    return true;
}

std::optional<TSimMenuFaults::TAnswer> TSimMenuFaults::Answer(const Tcommsobj& request,
                                                              const TSimMenu& menu) const
{
    const int reg = request.Register;
    switch (request.Command) {
    case protocol::cmd::ReadMaximum:
        return Maximum(reg, menu);
    case protocol::cmd::ReadListEntry:
        return Entry(reg, static_cast<int>(request.Value), menu);
    case protocol::cmd::ReadName:
        if (Fails(NoName, reg, kNoNameItem))
            return Refused();
        break;
    case protocol::cmd::ReadValue:
        if (Fails(NoValue, reg, kNoValueItem))
            return Refused();
        break;
    default:
        break;
    }
    return std::nullopt;
}

bool TSimMenuFaults::Fails(Fault fault, int reg, int faultyReg) const
{
    return Has(fault) && reg == faultyReg;
}

// Both list faults put one entry in front of the menu's true list, which moves every true
// entry up by one index and the maximum with them.
std::optional<QString> TSimMenuFaults::ExtraFirstEntry(int reg, const TSimMenu& menu) const
{
    if (Fails(SelfListed, reg, kSelfListedMenu))
        return tools::HexText(static_cast<uint32_t>(reg), 4);
    if (Fails(ChildTwice, reg, kChildTwiceMenu))
        return menu.Entry(reg, 0);
    return std::nullopt;
}

std::optional<TSimMenuFaults::TAnswer> TSimMenuFaults::Maximum(int reg, const TSimMenu& menu) const
{
    if (Fails(NoMaximum, reg, kNoMaximumMenu))
        return Refused();
    if (!ExtraFirstEntry(reg, menu))
        return std::nullopt;
    return TAnswer{0, tools::HexText(static_cast<uint32_t>(menu.Maximum(reg) + 1), 8)};
}

std::optional<TSimMenuFaults::TAnswer> TSimMenuFaults::Entry(int reg, int index,
                                                             const TSimMenu& menu) const
{
    if (Fails(LastEntry, reg, kLastEntryMenu) && index == menu.Maximum(reg))
        return Refused();
    const std::optional<QString> extra = ExtraFirstEntry(reg, menu);
    if (!extra)
        return std::nullopt;
    if (index == 0)
        return TAnswer{0, *extra};
    const std::optional<QString> entry =
        index > 0 ? menu.Entry(reg, index - 1) : std::optional<QString>();
    return entry ? TAnswer{0, *entry} : TAnswer{protocol::err::BadParameter, {}};
}
