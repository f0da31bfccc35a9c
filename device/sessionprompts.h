#pragma once

#include <QString>

#include <optional>

// What a passcode prompt asks for: the level's passcode, and whether the instrument refused
// the one given before.
struct TPasscodeQuestion
{
    bool full = false;
    bool again = false;

    // "Enter Full Passcode", "Enter Safe Passcode".
    [[nodiscard]] QString Caption() const
    {
        return full ? QStringLiteral("Enter Full Passcode") : QStringLiteral("Enter Safe Passcode");
    }
    // What to type, beside the field.
    [[nodiscard]] QString Label() const
    {
        return QStringLiteral("%1 Setup passcode of the instrument")
            .arg(full ? QStringLiteral("Full") : QStringLiteral("Safe"));
    }
    // Said before asking again; empty the first time.
    [[nodiscard]] QString Refusal() const
    {
        return again ? QStringLiteral("Wrong passcode") : QString();
    }
};

// What a setup session asks of the user (the security level and the passcode) and shows
// (that it is busy). The program shows its dialogs; tests answer with a recording
// implementation; a command-line tool answers from its options.
class ISessionPrompts
{
public:
    virtual ~ISessionPrompts() = default;
    // "Read Instrument Settings": true for Full Setup, false for Safe Setup, none on Cancel.
    virtual std::optional<bool> AskSetupLevel() = 0;
    // The passcode of a level: the digits typed, none on Cancel.
    virtual std::optional<QString> AskPasscode(const TPasscodeQuestion& question) = 0;
    // The program is busy with the instrument (the hourglass), or no longer; calls nest.
    virtual void ShowBusy(bool busy) { (void)busy; }
};
