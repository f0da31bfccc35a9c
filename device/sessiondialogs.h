#pragma once

#include "sessionprompts.h"

class QWidget;

// The session's questions as the program's dialogs over a parent window.
class TSessionDialogs : public ISessionPrompts
{
public:
    explicit TSessionDialogs(QWidget* parent) : m_parent(parent) {}

    std::optional<bool> AskSetupLevel() override;
    std::optional<QString> AskPasscode(const TPasscodeQuestion& question) override;
    void ShowBusy(bool busy) override;

private:
    QWidget* m_parent;
};
