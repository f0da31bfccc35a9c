#pragma once

#include "serialtransport.h"

#include <QString>
#include <QStringList>

#include <optional>

// The serial settings the port dialog chooses, as indexes into its lists (the form they are
// kept in config.ini), and what they become on the line.
struct TPortChoice
{
    enum Cables
    {
        RS232 = 0,
        RS232Ring = 1,
        OpticalLink = 2
    };

    QString portName;
    int cable = RS232Ring;
    int baud = 2;          // "2400", "4800", "9600", "19200", "38400"
    int parity = 0;        // "None", "Odd", "Even"
    int data = 1;          // "7", "8"
    int stop = 0;          // "1", "2"
    int address = 0;       // 0 = Any, 1..31
    bool reconnect = true; // reopen the port by itself when it comes back after being lost
};

// Connection settings given on a command line, each laid over the saved port choice where it
// was given.
struct TPortOverrides
{
    QString port;
    std::optional<int> cable; // TPortChoice::Cables
    std::optional<int> address;
    std::optional<int> baud; // bits per second

    // The port dialog's choices with these applied on top, as if chosen there.
    [[nodiscard]] TPortChoice ApplyTo(TPortChoice choice) const;
};

namespace serialports {

// The cable of a command line's --cable: "rs232", "ring" or "optical", in any case.
[[nodiscard]] std::optional<int> CableFromName(const QString& name);
// The --cable name of a cable.
[[nodiscard]] QString CableName(int cable);

inline const QStringList kBaudTexts = {"2400", "4800", "9600", "19200", "38400"};

// The system's ports plus any extra paths, sorted as text without regard to case.
[[nodiscard]] QStringList EnumSerialPorts(const QStringList& extra = {});
// COM-style numbering: the digits from the fourth character on; 1 when there are none.
[[nodiscard]] int PortNumberFromName(const QString& name);
[[nodiscard]] bool IsComStyleName(const QString& name);
[[nodiscard]] bool RingAllowed(int cable, int address);
// Why a ring with address Any is refused, wherever the choice comes from.
[[nodiscard]] QString RingAnyMessage();
[[nodiscard]] int BaudIndexOf(int baud); // -1 for a rate not in the list

// Line settings and instrument address a choice stands for; the optical link is fixed.
[[nodiscard]] TLineSettings LineSettingsFor(const TPortChoice& choice);
[[nodiscard]] int AddressFor(const TPortChoice& choice);

} // namespace serialports
