#pragma once

#include <QString>

// What the program's logic may ask of the user. The main window answers with message
// boxes; tests answer with a recording implementation.
class IUserPrompts
{
public:
    virtual ~IUserPrompts() = default;
    // Plain box with OK: information and instrument error reports.
    virtual void Inform(const QString& text) = 0;
    // Error box with OK: failures caught in handlers.
    virtual void ShowError(const QString& text) = 0;
    // OK / Cancel confirmation; true for OK.
    virtual bool Confirm(const QString& text) = 0;
    // The optical-link prompt, shown modally in place of the first no-response message.
    virtual void ShowOpticalPrompt() = 0;
};
