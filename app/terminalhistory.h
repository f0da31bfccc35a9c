#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The lines sent from the Test tab, for Up and Down to bring back as a shell does: Up walks
// from the newest to the oldest, Down back again and past the newest to an empty line. A
// line sent twice in a row is kept once, and only the last kMaxLines are kept.
class TTerminalHistory
{
public:
    static constexpr int kMaxLines = 100;

    // A line sent; the walk starts again from the newest.
    void Add(const QString& line);
    // The line before the one shown (the oldest stays), or the newest when none is shown;
    // nothing before the first line is sent.
    [[nodiscard]] std::optional<QString> Older();
    // The line after the one shown; empty past the newest.
    [[nodiscard]] QString Newer();

private:
    QStringList m_lines;   // oldest first
    qsizetype m_shown = 0; // index into m_lines; m_lines.size() when none is shown
};
