#pragma once

#include <QString>

#include <optional>

// What a setup session asks of the user (the security level and the passcode) and shows
// (that it is busy). The program shows its dialogs; tests answer with a recording
// implementation; a command-line tool answers from its options.
class ISessionPrompts
{
public:
    virtual ~ISessionPrompts() = default;
    // "Read Instrument Settings": true for Full Setup, false for Safe Setup, none on Cancel.
    virtual std::optional<bool> AskSetupLevel() = 0;
    // "Enter Passcode" with the given caption: the digits typed, none on Cancel.
    virtual std::optional<QString> AskPasscode(const QString& caption) = 0;
    // The program is busy with the instrument (the hourglass), or no longer; calls nest.
    virtual void ShowBusy(bool busy) { (void)busy; }
};
