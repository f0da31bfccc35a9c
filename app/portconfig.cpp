#include "portconfig.h"

#include "dmviewer.h"
#include "protocol.h"

namespace portconfig {

TPortChoice LoadPortDialog(const TdatViewer& config)
{
    TPortChoice choice;
    const QString path = config.PortName();
    choice.portName = path.isEmpty() ? QStringLiteral("Com%1").arg(config.Port()) : path;
    choice.cable = config.Cable();
    choice.baud = config.Baud();
    choice.parity = config.Parity();
    choice.data = config.Data();
    choice.stop = config.Stop();
    // An address the dialog cannot show is taken as Any, and saved so.
    const int address = config.Address();
    choice.address = address >= 0 && address <= protocol::flag::MaxAddress ? address : 0;
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
}

} // namespace portconfig
