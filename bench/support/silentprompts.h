#pragma once

// Answers for a benchmark's link: nothing is shown, every question is cancelled, and what
// would have been shown is counted (a run that needed a message went wrong).
#include "userprompts.h"

class TSilentPrompts : public IUserPrompts
{
public:
    int count = 0;
    void Inform(const QString&) override { ++count; }
    void ShowError(const QString&) override { ++count; }
    bool Confirm(const QString&) override { return true; }
    void ShowOpticalPrompt() override { ++count; }
    int Ask(const QString&, const QStringList& buttons) override
    {
        ++count;
        return static_cast<int>(buttons.size()) - 1;
    }
    QString AskOpenFileName(const QString&, const QString&) override { return {}; }
    QString AskSaveFileName(const QString&, const QString&) override { return {}; }
};
