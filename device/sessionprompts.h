#pragma once

#include <QString>

#include <optional>

// What a setup session asks of the user: the security level and the passcode. The program
// shows its dialogs; tests answer with a recording implementation.
class ISessionPrompts
{
public:
    virtual ~ISessionPrompts() = default;
    // "Read Instrument Settings": true for Full Setup, false for Safe Setup, none on Cancel.
    virtual std::optional<bool> AskSetupLevel() = 0;
    // "Enter Passcode" with the given caption: the digits typed, none on Cancel.
    virtual std::optional<QString> AskPasscode(const QString& caption) = 0;
};
