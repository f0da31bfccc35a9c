#include "portconfig.h"

#include "dmviewer.h"
#include "protocol.h"

namespace portconfig {

namespace {

// An index outside the dialog's list, from a damaged or hand-edited file, is taken as the
// dialog's default, and saved so: otherwise the dialog would show no choice at all.
int Listed(int index, int count, int fallback)
{
    return index >= 0 && index < count ? index : fallback;
}

constexpr int kCables = TPortChoice::OpticalLink + 1;
constexpr int kParities = 3; // None, Odd, Even
constexpr int kDataBits = 2; // 7, 8
constexpr int kStopBits = 2; // 1, 2

} // namespace

TPortChoice LoadPortDialog(const TdatViewer& config)
{
    const TPortChoice defaults;
    TPortChoice choice;
    const QString path = config.PortName();
    choice.portName = path.isEmpty() ? QStringLiteral("Com%1").arg(config.Port()) : path;
    choice.cable = Listed(config.Cable(), kCables, defaults.cable);
    choice.baud = Listed(config.Baud(), int(serialports::kBaudTexts.size()), defaults.baud);
    choice.parity = Listed(config.Parity(), kParities, defaults.parity);
    choice.data = Listed(config.Data(), kDataBits, defaults.data);
    choice.stop = Listed(config.Stop(), kStopBits, defaults.stop);
    // An address the dialog cannot show is taken as Any, and saved so.
    choice.address = Listed(config.Address(), protocol::flag::MaxAddress + 1, 0);
    choice.reconnect = config.Reconnect() != 0;
    return choice;
}

void SavePortDialog(TdatViewer& config, const TPortChoice& choice)
{
    if (serialports::IsComStyleName(choice.portName)) {
        config.SetPort(serialports::PortNumberFromName(choice.portName));
        config.SetPortName(QString());
    } else {
        config.SetPortName(choice.portName);
    }
    config.SetCable(choice.cable);
    config.SetBaud(choice.baud);
    config.SetParity(choice.parity);
    config.SetData(choice.data);
    config.SetStop(choice.stop);
    config.SetAddress(choice.address);
    config.SetReconnect(choice.reconnect ? 1 : 0);
    config.SetRecentPorts(portlist::Remembered(RecentPorts(config), choice.portName).join(u';'));
}

QStringList RecentPorts(const TdatViewer& config)
{
    return config.RecentPorts().split(u';', Qt::SkipEmptyParts);
}

std::vector<portlist::TPortEntry> PortEntries(const TdatViewer& config)
{
    return portlist::SystemEntries(config.ExtraPorts().split(u';', Qt::SkipEmptyParts),
                                   RecentPorts(config));
}

} // namespace portconfig
