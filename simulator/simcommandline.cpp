#include "simcommandline.h"

#include <random>
#include <set>

namespace {

struct TOptionText
{
    const char* name;
    const char* value; // nullptr for a switch
    const char* description;
};

constexpr TOptionText kOptions[] = {
    {"link", "path", "Also make a symbolic link at <path> to the device (removed on exit)."},
    {"duration", "seconds", "Serve for this long, then exit (default: until ended)."},
    {"addresses", "list",
     "Unit addresses of the instruments, e.g. 1,5,7 (default 1). More than one puts them "
     "on an RS232 ring."},
    {"ring", nullptr, "Frame every answer DC2 ... DC4 as a ring does, even for one instrument."},
    {"baud", "rate", "Pace every byte at this 8N1 line rate (default: no pacing)."},
    {"crc", nullptr, "Send replies in CRC form (STX, text, CRC, EOT) on a plain cable."},
    {"require-crc", nullptr, "Fault: answer plain requests with the CRC Required error."},
    {"drop", "share", "Fault: never send this share (0..1) of the replies."},
    {"garble", "share", "Fault: change one byte in this share (0..1) of the replies."},
    {"delay", "ms", "Fault: wait this long before every reply."},
    {"wrong-register", "share",
     "Fault: name another register in this share (0..1) of the replies."},
    {"cal-time", "ms", "How long a calibration keeps the instrument busy (default 1500)."},
    {"cal-stuck", nullptr, "Fault: a calibration never leaves the busy state."},
    {"cal-result", "code", "Fault: end every calibration with this result code (0..15)."},
    {"cal-no-lin", nullptr,
     "Fault: an instrument without linearisation: the points 0x0104..0x010D and their "
     "weights 0x0114..0x011D answer Not Implemented."},
    {"store-fails", nullptr,
     "Fault: every store (0x0010) is answered with Save Settings Failed and stores nothing."},
    {"menu-faults", "list",
     "Fault: menus that answer the tree reader wrongly, comma-separated: self (OPTION 0x0210 "
     "lists itself first), twice (SERIAL 0x0220 lists BAUD twice), nomax (SETPNT 0x0230 has "
     "no maximum), lastentry (CAL 0x0240's last entry fails), noname (SYSTEM's B.LIGHT "
     "0x0252 has no name), novalue (BUILD's UNITS 0x0204 has no value)."},
    {"seed", "number", "Seed of the noise and the faults, so that a run can be repeated."},
    {"log", "file", "Append every request and reply, with its time, to <file>."},
    {"state", "file",
     "Load the settings and calibration from <file> at start, save them on every store."},
    {"session-timeout", "seconds",
     "Close a setup session when keep-alives stop for this long (default 30)."},
    {"safe-passcode", "number", "Safe passcode of a new instrument (default 1111)."},
    {"full-passcode", "number", "Full passcode of a new instrument (default 2222)."},
    {"serial", "number", "Serial number of the first instrument (default 93123401)."},
    {"load", "kg", "Load on the scale at start (default 0)."},
    {"noise", "divisions", "Signal noise in display divisions before filtering (default 0.15)."},
    {"nonlinearity", "percent", "Bow of the load cell at half load (default 0)."},
};

} // namespace

TSimCommandLine::TSimCommandLine()
{
    m_parser.setApplicationDescription(QStringLiteral(
        "Simulated Q900 weighing indicator on a pseudo-terminal. The first line printed is "
        "the device to connect to (8 data bits, no parity); the instrument answers the "
        "register protocol there until the program is ended."));
    m_parser.addHelpOption();
    m_parser.addVersionOption();
    AddOptions();
}

void TSimCommandLine::AddOptions()
{
    for (const TOptionText& text : kOptions) {
        QCommandLineOption option(QString::fromLatin1(text.name),
                                  QString::fromLatin1(text.description));
        if (text.value)
            option.setValueName(QString::fromLatin1(text.value));
        m_parser.addOption(option);
    }
}

TSimCommandLine::Outcome TSimCommandLine::Parse(const QStringList& arguments)
{
    if (!m_parser.parse(arguments)) {
        m_error = m_parser.errorText();
        return Failed;
    }
    if (m_parser.isSet(QStringLiteral("help")))
        return Help;
    if (m_parser.isSet(QStringLiteral("version")))
        return Version;
    if (!m_parser.positionalArguments().isEmpty()) {
        m_error =
            QStringLiteral("Unexpected argument: %1").arg(m_parser.positionalArguments().first());
        return Failed;
    }
    m_linkPath = m_parser.value(QStringLiteral("link"));
    if (!ReadNumber(QStringLiteral("duration"), 0, 1e9, m_duration) || !ReadAddresses() ||
        !ReadLine() || !ReadInstrument() || !ReadMenuFaults())
        return Failed;
    return Run;
}

bool TSimCommandLine::ReadNumber(const QString& name, double low, double high, double& value)
{
    if (!m_parser.isSet(name))
        return true;
    bool ok = false;
    const double number = m_parser.value(name).toDouble(&ok);
    if (!ok || number < low || number > high) {
        m_error = QStringLiteral("--%1 needs a number from %2 to %3").arg(name).arg(low).arg(high);
        return false;
    }
    value = number;
    return true;
}

bool TSimCommandLine::ReadInteger(const QString& name, long long low, long long high,
                                  long long& value)
{
    if (!m_parser.isSet(name))
        return true;
    bool ok = false;
    const long long number = m_parser.value(name).toLongLong(&ok);
    if (!ok || number < low || number > high) {
        m_error =
            QStringLiteral("--%1 needs a whole number from %2 to %3").arg(name).arg(low).arg(high);
        return false;
    }
    value = number;
    return true;
}

bool TSimCommandLine::ReadAddresses()
{
    if (!m_parser.isSet(QStringLiteral("addresses")))
        return true;
    std::vector<int> addresses;
    std::set<int> seen;
    for (const QString& part : m_parser.value(QStringLiteral("addresses")).split(u',')) {
        bool ok = false;
        const int address = part.trimmed().toInt(&ok);
        if (!ok || address < 1 || address > 31 || !seen.insert(address).second) {
            m_error = QStringLiteral("--addresses needs distinct unit addresses 1..31");
            return false;
        }
        addresses.push_back(address);
    }
    m_options.addresses = addresses;
    return true;
}

bool TSimCommandLine::ReadLine()
{
    TSimLine::TOptions& line = m_options.line;
    line.ring = m_parser.isSet(QStringLiteral("ring")) || m_options.addresses.size() > 1;
    line.crcReplies = m_parser.isSet(QStringLiteral("crc"));
    line.requireCrc = m_parser.isSet(QStringLiteral("require-crc"));
    long long baud = 0;
    long long delay = 0;
    long long seed = std::random_device()();
    const bool ok = ReadInteger(QStringLiteral("baud"), 50, 4000000, baud) &&
                    ReadInteger(QStringLiteral("delay"), 0, 60000, delay) &&
                    ReadInteger(QStringLiteral("seed"), 0, 0xFFFFFFFFLL, seed) &&
                    ReadNumber(QStringLiteral("drop"), 0, 1, line.dropShare) &&
                    ReadNumber(QStringLiteral("garble"), 0, 1, line.garbleShare) &&
                    ReadNumber(QStringLiteral("wrong-register"), 0, 1, line.wrongRegisterShare);
    line.baud = static_cast<int>(baud);
    line.delayMs = static_cast<int>(delay);
    line.seed = static_cast<uint32_t>(seed);
    m_options.instrument.seed = line.seed;
    m_options.logFile = m_parser.value(QStringLiteral("log"));
    m_options.stateFile = m_parser.value(QStringLiteral("state"));
    return ok;
}

bool TSimCommandLine::ReadInstrument()
{
    TSimInstrument::TSettings& settings = m_options.instrument;
    long long calTime = settings.calibrationMs;
    long long calResult = settings.forcedCalibrationResult;
    long long safe = settings.safePasscode;
    long long full = settings.fullPasscode;
    long long serial = settings.serialNumber;
    double timeout = settings.sessionTimeoutMs / 1000.0;
    double nonlinearity = 0;
    const bool ok = ReadInteger(QStringLiteral("cal-time"), 0, 600000, calTime) &&
                    ReadInteger(QStringLiteral("cal-result"), 0, 15, calResult) &&
                    ReadInteger(QStringLiteral("safe-passcode"), 0, 999999, safe) &&
                    ReadInteger(QStringLiteral("full-passcode"), 0, 999999, full) &&
                    ReadInteger(QStringLiteral("serial"), 0, 0xFFFFFF00LL, serial) &&
                    ReadNumber(QStringLiteral("session-timeout"), 0.1, 1e6, timeout) &&
                    ReadNumber(QStringLiteral("load"), -1000, 10000, settings.initialLoadKg) &&
                    ReadNumber(QStringLiteral("noise"), 0, 100, settings.cell.noiseDivisions) &&
                    ReadNumber(QStringLiteral("nonlinearity"), -5, 5, nonlinearity);
    settings.calibrationMs = calTime;
    settings.forcedCalibrationResult = static_cast<int>(calResult);
    settings.calibrationStuck = m_parser.isSet(QStringLiteral("cal-stuck"));
    settings.noLinearisation = m_parser.isSet(QStringLiteral("cal-no-lin"));
    settings.storeFails = m_parser.isSet(QStringLiteral("store-fails"));
    settings.safePasscode = static_cast<int>(safe);
    settings.fullPasscode = static_cast<int>(full);
    settings.serialNumber = static_cast<uint32_t>(serial);
    settings.sessionTimeoutMs = static_cast<qint64>(timeout * 1000);
    settings.cell.nonlinearity = nonlinearity / 100;
    return ok;
}

bool TSimCommandLine::ReadMenuFaults()
{
    const QString name = QStringLiteral("menu-faults");
    if (!m_parser.isSet(name))
        return true;
    QString error;
    if (m_options.instrument.menuFaults.Read(m_parser.value(name), &error))
        return true;
    m_error = QStringLiteral("--%1: %2").arg(name, error);
    return false;
}
