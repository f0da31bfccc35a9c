#include "ctlprompts.h"

#include "console.h"

void TCtlPrompts::Show(const QString& text)
{
    ++m_shown;
    m_console.Message(text);
}

void TCtlPrompts::Inform(const QString& text)
{
    Show(text);
}

void TCtlPrompts::ShowError(const QString& text)
{
    Show(text);
}

bool TCtlPrompts::Confirm(const QString& text)
{
    Show(text);
    return false;
}

void TCtlPrompts::ShowOpticalPrompt()
{
    Show(QStringLiteral("Instrument not responding. For the optical link: 1. fit it to the front "
                        "panel; 2. press and hold the Gross/Net key for 2 seconds; 3. the "
                        "editing annunciators flash when the link is active."));
}

int TCtlPrompts::Ask(const QString& text, const QStringList& buttons)
{
    Show(text);
    return static_cast<int>(buttons.size()) - 1; // Escape presses the last one
}

QString TCtlPrompts::AskOpenFileName(const QString& title, const QString&)
{
    Show(title + QStringLiteral(": give the file on the command line."));
    return {};
}

QString TCtlPrompts::AskSaveFileName(const QString& title, const QString&)
{
    Show(title + QStringLiteral(": give the file on the command line."));
    return {};
}
