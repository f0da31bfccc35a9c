#include "quietprompts.h"

#include "startupprobe.h"

#include <cstdio>

int TQuietPrompts::Ask(const QString& text, const QStringList& buttons)
{
    Note(text);
    return static_cast<int>(buttons.size()) - 1; // Cancel, or the last choice
}

QString TQuietPrompts::AskOpenFileName(const QString&, const QString&)
{
    m_openAskedNs = startupprobe::MonotonicNs();
    return m_openFile;
}

void TQuietPrompts::Note(const QString& text)
{
    std::fprintf(stderr, "%s\n", qPrintable(text));
}
