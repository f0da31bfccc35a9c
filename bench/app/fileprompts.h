#pragma once

#include "silentprompts.h"

#include <cstdint>

// Silent answers whose file dialog gives one file, noting the moment it did: where opening a
// file starts, as the user meets it.
class TFilePrompts : public TSilentPrompts
{
public:
    explicit TFilePrompts(QString openFile) : m_openFile(std::move(openFile)) {}
    QString AskOpenFileName(const QString&, const QString&) override;
    // CLOCK_MONOTONIC of the last AskOpenFileName() in nanoseconds; 0 before any.
    int64_t OpenAskedNs() const { return m_openAskedNs; }

private:
    QString m_openFile;
    int64_t m_openAskedNs = 0;
};
