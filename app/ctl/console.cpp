#include "console.h"

#include <QStringList>

#include <cstdio>

#ifdef Q_OS_WIN
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

TConsole::TConsole() : m_terminal(isatty(fileno(stderr)) != 0) {}

void TConsole::Message(const QString& text)
{
    EndProgress();
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    for (const QString& line : lines.split(u'\n'))
        std::fprintf(stderr, "q900ctl: %s\n", qPrintable(line));
    std::fflush(stderr);
}

void TConsole::Progress(const QString& text)
{
    if (!m_terminal)
        return;
    // Blanks over the rest of a longer earlier line; no terminal control sequences needed.
    const QString padded = text.leftJustified(m_progressWidth);
    std::fprintf(stderr, "\r%s", qPrintable(padded));
    std::fflush(stderr);
    m_progressWidth = text.size();
}

void TConsole::EndProgress()
{
    if (m_progressWidth == 0)
        return;
    std::fprintf(stderr, "\r%s\r", qPrintable(QString(m_progressWidth, u' ')));
    std::fflush(stderr);
    m_progressWidth = 0;
}
