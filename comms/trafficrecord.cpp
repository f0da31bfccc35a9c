#include "trafficrecord.h"

#include "atomicfile.h"
#include "protocol.h"
#include "terminalrender.h"

#include <QDir>

using namespace protocol;

namespace {

bool EndsLine(char16_t c)
{
    return c == ctl::ETX || c == ctl::EOT || c == ctl::LF || c == u';';
}

QString LineText(const TTrafficRecord::TLine& line)
{
    QString rendered = terminalrender::Render(line.text, true);
    rendered.remove(u'\n'); // the record's own line ends
    const QString mark = line.note   ? QStringLiteral("---")
                         : line.sent ? QStringLiteral(">>>")
                                     : QStringLiteral("<<<");
    return QStringLiteral("%1 ms %2 %3").arg(line.ms, 9).arg(mark, rendered);
}

} // namespace

void TTrafficRecord::Restart()
{
    m_clock.start();
    m_lines.clear();
    m_partial.clear();
}

qint64 TTrafficRecord::Elapsed() const
{
    return m_clock.isValid() ? m_clock.elapsed() : 0;
}

void TTrafficRecord::AddSent(const QString& framed)
{
    Add({Elapsed(), true, framed});
}

void TTrafficRecord::AddReceived(const QString& characters)
{
    for (QChar c : characters) {
        if (m_partial.isEmpty())
            m_partialMs = Elapsed();
        m_partial += c;
        if (EndsLine(c.unicode()))
            Add({m_partialMs, false, std::exchange(m_partial, QString())});
        else if (m_partial.size() >= ctl::MaxMessage)
            Add({m_partialMs, false, std::exchange(m_partial, QString())});
    }
}

void TTrafficRecord::AddNote(const QString& text)
{
    if (!m_partial.isEmpty())
        Add({m_partialMs, false, std::exchange(m_partial, QString())});
    Add({Elapsed(), false, text, true});
}

void TTrafficRecord::Add(TLine line)
{
    m_lines.push_back(std::move(line));
    while (m_lines.size() > kMaxLines)
        m_lines.pop_front();
}

QString TTrafficRecord::Text() const
{
    QString text;
    for (const TLine& line : m_lines)
        text += LineText(line) + u'\n';
    if (!m_partial.isEmpty())
        text += LineText({m_partialMs, false, m_partial}) + u'\n';
    return text;
}

QString TTrafficRecord::Save(const QString& path) const
{
    const QString error = TAtomicFile::WriteFile(path, Text().toUtf8());
    if (!error.isEmpty())
        return QStringLiteral("Cannot write %1: %2").arg(QDir::toNativeSeparators(path), error);
    return {};
}
