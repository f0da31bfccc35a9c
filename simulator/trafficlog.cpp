#include "trafficlog.h"

#include <array>

Q_LOGGING_CATEGORY(lcSim, "q900.simulator", QtWarningMsg)

namespace {

// The log in memory is for tests and short runs; a long run keeps only the latest part.
constexpr size_t kKeptEntries = 20000;

constexpr std::array<const char*, 32> kControlNames = {
    "NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL", "BS",  "HT",  "LF",
    "VT",  "FF",  "CR",  "SO",  "SI",  "DLE", "DC1", "DC2", "DC3", "DC4", "NAK",
    "SYN", "ETB", "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US",
};

} // namespace

bool TTrafficLog::OpenFile(const QString& path, QString* error)
{
    m_file.setFileName(path);
    if (m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        return true;
    if (error)
        *error = QStringLiteral("Cannot write the log %1: %2").arg(path, m_file.errorString());
    return false;
}

void TTrafficLog::Add(Direction direction, const QString& text)
{
    m_entries.push_back({QDateTime::currentDateTime(), direction, text});
    if (m_entries.size() > kKeptEntries)
        m_entries.erase(m_entries.begin(), m_entries.begin() + kKeptEntries / 10);
    const QString line = Line(m_entries.back());
    qCDebug(lcSim).noquote() << line;
    if (m_file.isOpen()) {
        m_file.write(line.toUtf8() + '\n');
        m_file.flush();
    }
}

QString TTrafficLog::Visible(const QString& text)
{
    QString visible;
    for (QChar c : text) {
        if (c.unicode() < kControlNames.size())
            visible += u'[' + QString::fromLatin1(kControlNames[c.unicode()]) + u']';
        else if (c.unicode() == 0x7F)
            visible += QStringLiteral("[DEL]");
        else
            visible += c;
    }
    return visible;
}

QString TTrafficLog::Line(const TEntry& entry)
{
    static const char* const kMarks[] = {"<<", ">>", "--"};
    return entry.time.toString(Qt::ISODateWithMs) + u' ' +
           QString::fromLatin1(kMarks[entry.direction]) + u' ' + Visible(entry.text);
}
