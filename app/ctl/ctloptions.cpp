#include "ctloptions.h"

#include "protocol.h"
#include "tools.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>

#include <algorithm>

namespace {

using TCommand = TCtlOptions::TCommand;

constexpr int kMaxSeconds = 2'000'000; // 23 days

// A command, its positional arguments and the options that belong to it alone.
struct TCommandInfo
{
    const char* name;
    TCommand command;
    const char* arguments; // as the usage error names them
    int argumentCount;
    QStringList options;
    int optionalArguments = 0; // given after the others, or not at all
};

const std::vector<TCommandInfo>& Commands()
{
    static const std::vector<TCommandInfo> commands = {
        {"identity", TCommand::Identity, "", 0, {}},
        {"scan", TCommand::Scan, "", 0, {}},
        {"read", TCommand::Read, "REG", 1, {"level", "passcode"}},
        {"write", TCommand::Write, "REG VALUE", 2, {"level", "passcode"}},
        {"backup", TCommand::Backup, "FILE", 1, {"level", "passcode", "all"}},
        {"restore", TCommand::Restore, "FILE", 1, {"passcode", "calibration"}},
        {"log", TCommand::Log, "FILE", 1, {"rate", "seconds", "channels", "comment"}},
        {"weight", TCommand::Weight, "", 0, {"watch"}},
        {"diff", TCommand::Diff, "FILE [FILE2]", 1, {"level", "passcode", "calibration"}, 1},
    };
    return commands;
}

const TCommandInfo* FindCommand(const QString& name)
{
    for (const TCommandInfo& info : Commands()) {
        if (name == QLatin1String(info.name))
            return &info;
    }
    return nullptr;
}

// Every option of some command, for the check that each is given only to its own.
QStringList CommandOptions()
{
    QStringList all;
    for (const TCommandInfo& info : Commands()) {
        for (const QString& option : info.options) {
            if (!all.contains(option))
                all << option;
        }
    }
    return all;
}

bool AllDigits(const QString& text)
{
    return !text.isEmpty() && std::all_of(text.cbegin(), text.cend(), tools::IsDigit);
}

std::optional<int> Number(const QString& text)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok && AllDigits(text) ? std::optional<int>(value) : std::nullopt;
}

// Normalised for comparison: "Output 1" and "output1" are the same channel.
QString ChannelKey(const QString& name)
{
    QString key = name.toLower();
    key.remove(u' ');
    return key;
}

class TParser
{
public:
    explicit TParser(const QStringList& arguments) : m_arguments(arguments)
    {
        const auto add = [this](const char* name, const char* valueName = nullptr) {
            QCommandLineOption option(QString::fromLatin1(name));
            if (valueName)
                option.setValueName(QString::fromLatin1(valueName));
            m_parser.addOption(option);
        };
        m_parser.addOption(
            QCommandLineOption(QStringList{QStringLiteral("h"), QStringLiteral("help")}));
        m_parser.addOption(
            QCommandLineOption(QStringList{QStringLiteral("v"), QStringLiteral("version")}));
        for (const char* name : {"port", "ports", "cable", "address", "baud", "level", "passcode",
                                 "rate", "seconds", "channels", "comment"})
            add(name, "VALUE");
        for (const char* name : {"json", "all", "calibration", "watch"})
            add(name);
    }

    TCtlOptions Parse()
    {
        if (!m_parser.parse(m_arguments))
            return Failed(m_parser.errorText());
        m_options.help = m_parser.isSet(QStringLiteral("help"));
        m_options.version = m_parser.isSet(QStringLiteral("version"));
        if (m_options.help || m_options.version)
            return m_options;
        if (ReadCommand() && ReadConnection() && ReadArguments() && ReadCommandOptions())
            CheckFleet();
        return m_options;
    }

private:
    TCtlOptions Failed(const QString& error)
    {
        m_options.error = error;
        return m_options;
    }
    bool Fail(const QString& error)
    {
        m_options.error = error;
        return false;
    }
    [[nodiscard]] bool IsSet(const char* name) const
    {
        return m_parser.isSet(QString::fromLatin1(name));
    }
    [[nodiscard]] QString Value(const char* name) const
    {
        return m_parser.value(QString::fromLatin1(name));
    }

    bool ReadCommand()
    {
        const QStringList positional = m_parser.positionalArguments();
        if (positional.isEmpty())
            return Fail(QStringLiteral("No command given; q900ctl --help lists them."));
        m_info = FindCommand(positional.first());
        if (!m_info)
            return Fail(QStringLiteral("Unknown command \"%1\"; q900ctl --help lists them.")
                            .arg(positional.first()));
        m_options.command = m_info->command;
        m_options.commandName = QString::fromLatin1(m_info->name);
        m_positional = positional.mid(1);
        if (m_positional.size() < m_info->argumentCount ||
            m_positional.size() > m_info->argumentCount + m_info->optionalArguments) {
            const QString form = QStringLiteral("%1 %2").arg(m_options.commandName,
                                                             QLatin1String(m_info->arguments));
            return Fail(QStringLiteral("Usage: q900ctl [options] %1").arg(form.trimmed()));
        }
        for (const QString& option : CommandOptions()) {
            if (m_parser.isSet(option) && !m_info->options.contains(option))
                return Fail(QStringLiteral("--%1 is not an option of %2.")
                                .arg(option, m_options.commandName));
        }
        return true;
    }

    bool ReadConnection()
    {
        m_options.json = IsSet("json");
        m_options.ports = m_parser.values(QStringLiteral("port"));
        if (m_options.ports.contains(QString()))
            return Fail(QStringLiteral("--port needs a device path or a network address."));
        if (IsSet("ports")) {
            QString error;
            const auto listed = ctloptions::ReadPortsFile(Value("ports"), &error);
            if (!listed)
                return Fail(error);
            m_options.ports += *listed;
        }
        m_options.port = m_options.ports.value(0);
        if (IsSet("cable")) {
            m_options.cable = serialports::CableFromName(Value("cable"));
            if (!m_options.cable)
                return Fail(QStringLiteral("Unknown cable \"%1\"; use rs232, ring or optical.")
                                .arg(Value("cable")));
        }
        if (IsSet("address")) {
            m_options.address = Number(Value("address"));
            if (!m_options.address || *m_options.address > protocol::flag::MaxAddress)
                return Fail(QStringLiteral("The address must be 0..31."));
        }
        if (IsSet("baud")) {
            m_options.baud = Number(Value("baud"));
            if (!m_options.baud || serialports::BaudIndexOf(*m_options.baud) < 0)
                return Fail(
                    QStringLiteral("The baud rate must be 2400, 4800, 9600, 19200 or 38400."));
        }
        return true;
    }

    bool ReadArguments()
    {
        switch (m_options.command) {
        case TCommand::Read:
        case TCommand::Write:
            m_options.reg = ctloptions::ParseRegister(m_positional.first());
            if (m_options.reg < 0)
                return Fail(QStringLiteral("\"%1\" is not a register: give it in hexadecimal, "
                                           "0000 to FFFF.")
                                .arg(m_positional.first()));
            if (m_options.command == TCommand::Write)
                return ReadValue(m_positional.at(1));
            return true;
        case TCommand::Backup:
        case TCommand::Restore:
        case TCommand::Log:
        case TCommand::Diff:
            m_options.path = m_positional.first();
            m_options.secondPath = m_positional.value(1);
            return true;
        default:
            return true;
        }
    }

    bool ReadValue(const QString& value)
    {
        const bool control =
            std::any_of(value.cbegin(), value.cend(), [](QChar c) { return c.unicode() < u' '; });
        if (value.isEmpty() || control || value.size() > protocol::ctl::MaxMessage)
            return Fail(QStringLiteral("The value must be a line of text, as the instrument "
                                       "takes it (hexadecimal for numbers)."));
        m_options.value = value;
        return true;
    }

    bool ReadCommandOptions()
    {
        m_options.all = IsSet("all");
        m_options.calibration = IsSet("calibration");
        m_options.watch = IsSet("watch");
        return ReadLevel() && ReadPasscode() && ReadLogOptions();
    }

    // Several ports are for the commands that look for instruments themselves.
    bool CheckFleet()
    {
        if (!m_options.Fleet() || !m_options.NeedsAddress())
            return true;
        return Fail(QStringLiteral("Several ports are for scan and backup --all only."));
    }

    bool ReadLevel()
    {
        if (!IsSet("level"))
            return true;
        const QString level = Value("level").toLower();
        if (level != u"safe" && level != u"full")
            return Fail(QStringLiteral("The level must be safe or full."));
        m_options.full = level == u"full";
        m_options.levelGiven = true;
        return true;
    }

    bool ReadPasscode()
    {
        if (!IsSet("passcode"))
            return true;
        if (!AllDigits(Value("passcode")))
            return Fail(QStringLiteral("A passcode is digits only."));
        m_options.passcode = Value("passcode");
        return true;
    }

    bool ReadLogOptions()
    {
        if (IsSet("rate")) {
            static const QStringList rates = {QStringLiteral("10"), QStringLiteral("1"),
                                              QStringLiteral("0.1")};
            m_options.rate = static_cast<int>(rates.indexOf(Value("rate")));
            if (m_options.rate < 0)
                return Fail(QStringLiteral("The rate must be 10, 1 or 0.1 samples a second."));
        }
        if (IsSet("seconds")) {
            bool ok = false;
            const double seconds = Value("seconds").toDouble(&ok);
            // The run's clock is a timer counting milliseconds in an int.
            if (!ok || !(seconds > 0) || seconds > kMaxSeconds)
                return Fail(QStringLiteral("--seconds must be a number above 0, at most %1.")
                                .arg(QString::number(kMaxSeconds)));
            m_options.seconds = seconds;
        }
        if (IsSet("channels")) {
            const auto channels = ctloptions::ParseChannels(Value("channels"));
            if (!channels)
                return Fail(QStringLiteral("--channels takes up to four of CofZ, Zero, Motion, "
                                           "Net, Output1 and Output2, separated by commas."));
            m_options.channels = *channels;
        }
        m_options.comment = Value("comment");
        return true;
    }

    const QStringList& m_arguments;
    QCommandLineParser m_parser;
    TCtlOptions m_options;
    const TCommandInfo* m_info = nullptr;
    QStringList m_positional;
};

} // namespace

bool TCtlOptions::NeedsAddress() const
{
    return command != TCommand::Scan && !(command == TCommand::Backup && all);
}

namespace ctloptions {

TCtlOptions Parse(const QStringList& arguments)
{
    return TParser(arguments).Parse();
}

std::optional<QStringList> ReadPortsFile(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *error = QStringLiteral("Cannot read the list of ports %1: %2")
                     .arg(QDir::toNativeSeparators(path), file.errorString());
        return std::nullopt;
    }
    QStringList ports;
    for (const QString& line : QString::fromLocal8Bit(file.readAll()).split(u'\n')) {
        const QString port = line.trimmed();
        if (!port.isEmpty() && !port.startsWith(u'#'))
            ports << port;
    }
    if (ports.isEmpty())
        *error = QStringLiteral("The list of ports %1 names no port.")
                     .arg(QDir::toNativeSeparators(path));
    return ports.isEmpty() ? std::nullopt : std::optional<QStringList>(ports);
}

int ParseRegister(const QString& text)
{
    QString digits = text;
    if (digits.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        digits = digits.mid(2);
    if (digits.isEmpty() || digits.size() > 4)
        return -1;
    int value = 0;
    for (QChar c : digits) {
        const int digit = tools::HexDigitValue(c);
        if (digit < 0)
            return -1;
        value = value * 16 + digit;
    }
    return value;
}

std::optional<std::array<int, logchannels::DigitalCount>> ParseChannels(const QString& text)
{
    const QStringList names = text.split(u',', Qt::SkipEmptyParts);
    const QStringList known = logchannels::ChannelTexts();
    if (names.isEmpty() || names.size() > logchannels::DigitalCount)
        return std::nullopt;
    std::array<int, logchannels::DigitalCount> channels{};
    for (qsizetype i = 0; i < names.size(); ++i) {
        int found = -1;
        for (int index = 1; index < known.size(); ++index) {
            if (ChannelKey(known.at(index)) == ChannelKey(names.at(i)))
                found = index;
        }
        if (found < 0)
            return std::nullopt;
        channels[size_t(i)] = found;
    }
    return channels;
}

QString UsageText()
{
    return QStringLiteral(
        "Usage: q900ctl [options] COMMAND [arguments]\n"
        "Talks to a Q900 indicator over its serial link with the viewer's own engine.\n"
        "\n"
        "Commands:\n"
        "  identity            comms version, model, software version and serial number\n"
        "  scan                every address 1..31 that answers, with its identity\n"
        "  read REG            one register's value (REG in hexadecimal, e.g. 0025)\n"
        "  write REG VALUE     writes one register (VALUE as the instrument takes it)\n"
        "  backup FILE         the whole settings tree saved as a settings file (.VSF)\n"
        "  backup --all DIR    every instrument that answers, one file per serial number\n"
        "  restore FILE        sends a settings file back, then locks and stores\n"
        "  log FILE            a logging run saved as a CSV log file; Ctrl+C ends it\n"
        "  weight              the weight as the instrument shows it\n"
        "  diff FILE           the instrument's settings against a settings file\n"
        "  diff FILE1 FILE2    two settings files against each other\n"
        "\n"
        "Connection (default: the viewer's saved [Comms] settings):\n"
        "  --port PORT         serial port, e.g. /dev/ttyUSB0, or a serial device server:\n"
        "                      tcp://HOST:PORT (raw TCP), rfc2217://HOST:PORT (RFC 2217).\n"
        "                      scan and backup --all take --port more than once and run\n"
        "                      on every port at once, with one summary at the end\n"
        "  --ports FILE        the ports listed in FILE, one a line, as more --port options\n"
        "  --cable TYPE        rs232, ring or optical\n"
        "  --address N         unit address 1..31, or 0 for Any (not on a ring)\n"
        "  --baud N            2400, 4800, 9600, 19200 or 38400\n"
        "\n"
        "Options:\n"
        "  --json              machine-readable output (one JSON object per line)\n"
        "  --level LEVEL       read, write, backup: open the setup level safe or full\n"
        "                      first (backup: full unless given)\n"
        "  --passcode N        the level's passcode; else $Q900_PASSCODE, else asked for\n"
        "                      without echo when standard input is a terminal\n"
        "  --all               backup: every instrument, into the folder DIR\n"
        "  --calibration       restore: send the file's calibration as well;\n"
        "                      diff: compare the calibration as well\n"
        "  --rate R            log: 10, 1 or 0.1 samples a second (default 10)\n"
        "  --seconds N         log: length of the run (default: until Ctrl+C)\n"
        "  --channels LIST     log: up to four of CofZ, Zero, Motion, Net, Output1, Output2\n"
        "  --comment TEXT      log: the file's comment line\n"
        "  --watch             weight: read again and again until Ctrl+C\n"
        "  -h, --help          this text\n"
        "  -v, --version       the program's version\n"
        "\n"
        "Exit codes: 0 done, 1 the instrument refused, 2 bad usage or file, 3 no answer;\n"
        "diff: 0 the same settings, 1 differences. Over several ports: the worst of them.\n");
}

} // namespace ctloptions
