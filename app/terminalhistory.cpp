#include "terminalhistory.h"

#include <algorithm>

void TTerminalHistory::Add(const QString& line)
{
    if (!line.isEmpty() && (m_lines.isEmpty() || m_lines.last() != line)) {
        m_lines.append(line);
        if (m_lines.size() > kMaxLines)
            m_lines.removeFirst();
    }
    m_shown = m_lines.size();
}

std::optional<QString> TTerminalHistory::Older()
{
    if (m_lines.isEmpty())
        return std::nullopt;
    m_shown = std::max<qsizetype>(m_shown - 1, 0);
    return m_lines.at(m_shown);
}

QString TTerminalHistory::Newer()
{
    m_shown = std::min(m_shown + 1, m_lines.size());
    return m_shown < m_lines.size() ? m_lines.at(m_shown) : QString();
}
