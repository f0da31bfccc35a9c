#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// The ports the port dialog offers: those used last, then the system's serial ports under
// their device names with what the system knows of each (description, maker, serial number),
// and the stable /dev/serial/by-id names of USB adapters, which keep naming the same adapter
// whatever order it was plugged in.
namespace portlist {

// One port as the system reports it.
struct TPortInfo
{
    QString location; // "/dev/ttyUSB0"
    QString description;
    QString manufacturer;
    QString serialNumber;
};

// A /dev/serial/by-id name and the device it leads to.
struct TLink
{
    QString name;
    QString target;
};

// One entry of the list: the name the port is opened by and kept under, and what is known of
// it.
struct TPortEntry
{
    QString name;
    QString details;
};

// "FT232R USB UART, FTDI, serial number A1B2C3"; empty when nothing is known.
[[nodiscard]] QString Details(const TPortInfo& info);
// The list: the recent ports first (newest first), then the system's ports and the extra
// paths sorted as text without regard to case, then the by-id names; each name once.
[[nodiscard]] std::vector<TPortEntry> Entries(const std::vector<TPortInfo>& system,
                                              const std::vector<TLink>& links,
                                              const QStringList& extra, const QStringList& recent);
// The same for this machine's ports.
[[nodiscard]] std::vector<TPortEntry> SystemEntries(const QStringList& extra,
                                                    const QStringList& recent);
// `recent` with `used` in front, each name once, at most `keep` names.
[[nodiscard]] QStringList Remembered(QStringList recent, const QString& used, int keep = 5);

} // namespace portlist
