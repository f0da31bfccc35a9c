#pragma once

#include "serialports.h"

class TdatViewer;

// The port dialog's choices as kept in the [Comms] section.
namespace portconfig {

// "Com%d" of Port, unless a device path was kept in PortName.
[[nodiscard]] TPortChoice LoadPortDialog(const TdatViewer& config);
// COM-style names go to Port as their number; any other name to PortName.
void SavePortDialog(TdatViewer& config, const TPortChoice& choice);

} // namespace portconfig
