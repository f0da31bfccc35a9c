#pragma once

#include "userprompts.h"

#include <cstdint>

// Answers every question of the program without a window, for the benchmarks that run it
// whole: File > Open gets the given file, and the moment it was given is kept (when an open
// starts, as the user meets it). Messages go to standard error.
class TQuietPrompts : public IUserPrompts
{
public:
    explicit TQuietPrompts(QString openFile) : m_openFile(std::move(openFile)) {}
    void Inform(const QString& text) override { Note(text); }
    void ShowError(const QString& text) override { Note(text); }
    bool Confirm(const QString&) override { return true; }
    void ShowOpticalPrompt() override {}
    int Ask(const QString& text, const QStringList& buttons) override;
    QString AskOpenFileName(const QString&, const QString&) override;
    QString AskSaveFileName(const QString&, const QString&) override { return {}; }
    // CLOCK_MONOTONIC of the last AskOpenFileName() in nanoseconds; 0 before any.
    int64_t OpenAskedNs() const { return m_openAskedNs; }

private:
    static void Note(const QString& text);

    QString m_openFile;
    int64_t m_openAskedNs = 0;
};
