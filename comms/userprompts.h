#pragma once

#include <QString>
#include <QStringList>

// What the program's logic may ask of the user. The main window answers with message
// boxes; tests answer with a recording implementation.
class IUserPrompts
{
public:
    virtual ~IUserPrompts() = default;
    // Plain box with OK: information.
    virtual void Inform(const QString& text) = 0;
    // Warning box with OK: what the instrument refused (its error replies, a calibration it
    // could not do). Shown as information where nothing tells the two apart.
    virtual void Warn(const QString& text) { Inform(text); }
    // Error box with OK: failures caught in handlers.
    virtual void ShowError(const QString& text) = 0;
    // OK / Cancel confirmation; true for OK.
    virtual bool Confirm(const QString& text) = 0;
    // The optical-link prompt, shown modally in place of the first no-response message.
    virtual void ShowOpticalPrompt() = 0;
    // A question with the given buttons ("Yes", "No", "Cancel"...): the index of the one
    // pressed. The first is the default; Escape presses the last.
    virtual int Ask(const QString& text, const QStringList& buttons) = 0;
    // A file to open or to save to, from the system's dialog with that title and Qt name
    // filter ("Settings (*.VSF);;All Files (*.*)"); empty when cancelled.
    virtual QString AskOpenFileName(const QString& title, const QString& filter) = 0;
    virtual QString AskSaveFileName(const QString& title, const QString& filter) = 0;
};
