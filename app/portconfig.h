#pragma once

#include "portlist.h"
#include "serialports.h"

class TdatViewer;

// The port dialog's choices as kept in the [Comms] section.
namespace portconfig {

// "Com%d" of Port, unless a device path was kept in PortName.
[[nodiscard]] TPortChoice LoadPortDialog(const TdatViewer& config);
// COM-style names go to Port as their number; any other name to PortName. The port goes to
// the front of the recent ports.
void SavePortDialog(TdatViewer& config, const TPortChoice& choice);
// The ports connected to last, newest first.
[[nodiscard]] QStringList RecentPorts(const TdatViewer& config);
// The port dialog's list: the recent ports, the system's and the configured extra paths.
[[nodiscard]] std::vector<portlist::TPortEntry> PortEntries(const TdatViewer& config);

} // namespace portconfig
