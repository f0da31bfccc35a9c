#pragma once

#include <QString>

// Standard error of the tool: messages on lines of their own, and on a terminal one progress
// line that is rewritten in place and cleared before a message.
class TConsole
{
public:
    TConsole();

    [[nodiscard]] bool IsTerminal() const { return m_terminal; }
    // "q900ctl: text", each line of a text of several lines on its own.
    void Message(const QString& text);
    // Shown only on a terminal; replaces the last progress line.
    void Progress(const QString& text);
    void EndProgress();

private:
    bool m_terminal = false;
    qsizetype m_progressWidth = 0;
};
