#include "serialports.h"

#include <QSerialPortInfo>

#include <algorithm>

TPortChoice TPortOverrides::ApplyTo(TPortChoice choice) const
{
    if (!port.isEmpty())
        choice.portName = port;
    if (cable)
        choice.cable = *cable;
    if (address)
        choice.address = *address;
    if (baud)
        choice.baud = serialports::BaudIndexOf(*baud);
    return choice;
}

namespace serialports {

namespace {

// By cable, as TPortChoice::Cables numbers them.
const QStringList kCableNames = {QStringLiteral("rs232"), QStringLiteral("ring"),
                                 QStringLiteral("optical")};

} // namespace

std::optional<int> CableFromName(const QString& name)
{
    const qsizetype cable = kCableNames.indexOf(name.toLower());
    return cable < 0 ? std::nullopt : std::optional<int>(int(cable));
}

QString CableName(int cable)
{
    return kCableNames.value(cable);
}

QStringList EnumSerialPorts(const QStringList& extra)
{
    QStringList names;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        names << info.systemLocation();
    for (const QString& path : extra) {
        if (!path.trimmed().isEmpty() && !names.contains(path.trimmed()))
            names << path.trimmed();
    }
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    return names;
}

int PortNumberFromName(const QString& name)
{
    if (name.size() < 4)
        return 1;
    int number = 0;
    for (qsizetype i = 3; i < name.size(); ++i)
        number = number * 10 + (name.at(i).unicode() - '0');
    return number == 0 ? 1 : number;
}

bool IsComStyleName(const QString& name)
{
    if (name.size() < 4 || !name.startsWith(QStringLiteral("com"), Qt::CaseInsensitive))
        return false;
    return std::all_of(name.begin() + 3, name.end(), [](QChar c) { return c.isDigit(); });
}

bool RingAllowed(int cable, int address)
{
    return !(cable == TPortChoice::RS232Ring && address == 0);
}

QString RingAnyMessage()
{
    return QStringLiteral("If \"Cable: RS232 Ring\" is selected, then\r\n"
                          "\"Unit Address\" is not allowed to be \"Any\".");
}

int BaudIndexOf(int baud)
{
    return static_cast<int>(kBaudTexts.indexOf(QString::number(baud)));
}

TLineSettings LineSettingsFor(const TPortChoice& choice)
{
    TLineSettings line;
    line.portName = choice.portName;
    if (choice.cable == TPortChoice::OpticalLink)
        return line; // 9600 baud, 8 data bits, no parity, 1 stop bit
    line.baud = kBaudTexts.value(choice.baud, QStringLiteral("9600")).toInt();
    line.dataBits = choice.data == 0 ? 7 : 8;
    line.stopBits = choice.stop == 1 ? 2 : 1;
    line.parity = std::clamp(choice.parity, 0, 2);
    return line;
}

int AddressFor(const TPortChoice& choice)
{
    return choice.cable == TPortChoice::OpticalLink ? 0 : std::clamp(choice.address, 0, 31);
}

} // namespace serialports
