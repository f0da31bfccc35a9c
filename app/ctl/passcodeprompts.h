#pragma once

#include "sessionprompts.h"

#include <functional>

// The setup level and the passcode a session asks for, without a window: the level from the
// command line, the passcode from --passcode or Q900_PASSCODE, else typed without echo when
// standard input is a terminal (after "Wrong passcode" when the instrument refused the last).
// A passcode that was offered to an instrument is offered to the next one too (a ring backed
// up with one passcode), but never twice to the same one.
class TPasscodePrompts : public ISessionPrompts
{
public:
    using Reader = std::function<std::optional<QString>(const QString& prompt)>;
    static constexpr int kTypedTries = 3;

    // `reader` empty: nobody can type (standard input is no terminal).
    TPasscodePrompts(bool full, std::optional<QString> given, Reader reader);

    std::optional<bool> AskSetupLevel() override
    {
        m_levelAsked = true;
        return m_full;
    }
    std::optional<QString> AskPasscode(const TPasscodeQuestion& question) override;

    // The next instrument: the last passcode may be offered once more.
    void NextInstrument()
    {
        m_offered = false;
        m_typed = 0;
    }
    // Why no passcode came, once one did not: nobody could give one, or the user cancelled.
    [[nodiscard]] bool Missing() const { return m_missing; }
    [[nodiscard]] bool Cancelled() const { return m_cancelled; }
    // A session start asks for the level only once the instrument proved of the family.
    [[nodiscard]] bool LevelAsked() const { return m_levelAsked; }

private:
    std::optional<QString> Typed(const TPasscodeQuestion& question);

    bool m_full;
    std::optional<QString> m_known;
    Reader m_reader;
    bool m_offered = false;
    int m_typed = 0;
    bool m_missing = false;
    bool m_cancelled = false;
    bool m_levelAsked = false;
};
