#include "startoptions.h"

#include <QCommandLineParser>

namespace {

// A numeric option, when given: its value if valid, else the error text.
template <typename Valid>
void ReadNumber(const QCommandLineParser& parser, const QCommandLineOption& option, Valid valid,
                const QString& complaint, std::optional<int>& value, QString& error)
{
    if (!parser.isSet(option))
        return;
    bool ok = false;
    const int number = parser.value(option).toInt(&ok);
    if (ok && valid(number))
        value = number;
    else
        error = complaint;
}

} // namespace

namespace startoptions {

TStartOptions Parse(const QStringList& arguments, QString* helpText)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Setup and viewing tool for Q900 weighing indicators."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption simulator(
        QStringLiteral("simulator"),
        QStringLiteral("Start the simulated instrument and connect to it (RS232, address 1)."));
    const QCommandLineOption port(
        QStringLiteral("port"),
        QStringLiteral("Port to connect to: a serial port, e.g. /dev/ttyUSB0, or a serial "
                       "device server's, tcp://HOST:PORT or rfc2217://HOST:PORT."),
        QStringLiteral("PORT"));
    const QCommandLineOption cable(QStringLiteral("cable"),
                                   QStringLiteral("Cable: rs232, ring or optical."),
                                   QStringLiteral("TYPE"));
    const QCommandLineOption address(QStringLiteral("address"),
                                     QStringLiteral("Unit address 1..31, or 0 for Any."),
                                     QStringLiteral("N"));
    const QCommandLineOption baud(QStringLiteral("baud"),
                                  QStringLiteral("Baud rate: 2400, 4800, 9600, 19200 or 38400."),
                                  QStringLiteral("N"));
    const QCommandLineOption connect(QStringLiteral("connect"),
                                     QStringLiteral("Connect at start with the saved settings."));
    parser.addOptions({simulator, port, cable, address, baud, connect});
    if (helpText)
        *helpText = parser.helpText().replace(QStringLiteral("<executable_name>"),
                                              QStringLiteral("viewer"));

    TStartOptions options;
    if (!parser.parse(arguments)) {
        options.error = parser.errorText();
        return options;
    }
    options.simulator = parser.isSet(simulator);
    options.connect = parser.isSet(connect);
    options.port = parser.value(port);
    if (parser.isSet(cable)) {
        options.cable = serialports::CableFromName(parser.value(cable));
        if (!options.cable)
            options.error = QStringLiteral("Unknown cable \"%1\"; use rs232, ring or optical.")
                                .arg(parser.value(cable));
    }
    ReadNumber(
        parser, address, [](int v) { return v >= 0 && v <= 31; },
        QStringLiteral("The address must be 0..31."), options.address, options.error);
    ReadNumber(
        parser, baud, [](int v) { return serialports::BaudIndexOf(v) >= 0; },
        QStringLiteral("The baud rate must be 2400, 4800, 9600, 19200 or 38400."), options.baud,
        options.error);
    if (options.error.isEmpty() && options.cable == TPortChoice::RS232Ring && options.address == 0)
        options.error = QStringLiteral("A ring needs a unit address other than Any.");
    return options;
}

} // namespace startoptions
