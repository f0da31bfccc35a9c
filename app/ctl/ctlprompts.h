#pragma once

#include "userprompts.h"

class TConsole;

// What the engine and the file units ask of the user, for a tool without a window: messages
// go to standard error at once and nothing ever waits for an answer. Questions take their
// safe answer (Cancel, no file).
class TCtlPrompts : public IUserPrompts
{
public:
    explicit TCtlPrompts(TConsole& console) : m_console(console) {}

    void Inform(const QString& text) override;
    void ShowError(const QString& text) override;
    bool Confirm(const QString& text) override;
    void ShowOpticalPrompt() override;
    int Ask(const QString& text, const QStringList& buttons) override;
    QString AskOpenFileName(const QString& title, const QString& filter) override;
    QString AskSaveFileName(const QString& title, const QString& filter) override;

    // Messages shown so far: a command tells by it whether the instrument reported errors.
    [[nodiscard]] int Shown() const { return m_shown; }

private:
    void Show(const QString& text);

    TConsole& m_console;
    int m_shown = 0;
};
