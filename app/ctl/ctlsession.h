#pragma once

#include "ctlcontext.h"
#include "exitcode.h"
#include "menunode.h"
#include "passcodeprompts.h"
#include "sessioncontroller.h"

#include <optional>

// Setup sessions for the tool: the viewer's session controller with passcodes from the
// command line, the environment or the terminal, the whole menu tree read at the start as
// Expand All reads it, and what a session that did not open means for the exit code.
class TCtlSession
{
public:
    // The passcode given on the command line or in Q900_PASSCODE, if any.
    TCtlSession(TCtlContext& context, bool full, std::optional<QString> passcode);

    // Opens the level, asking for its passcode when it is locked; Done, or why not with the
    // message shown.
    [[nodiscard]] TExitCode OpenLevel();
    // Starts a session as the viewer's Start Session does and reads every menu as Expand All
    // does; Done, or why not with the message shown. A session left open is ended by End().
    [[nodiscard]] TExitCode Start();
    // The tree read at the start: its top node is the holder's first child.
    [[nodiscard]] const TMenuNode& Tree() { return m_controller.Tree().Root(); }
    // Ends as End Session does, when a session is open: tells the instrument, locks it, has
    // it store its settings.
    void End();
    // Locks both levels again.
    void Lock() { m_controller.Lock(); }
    // Locks the instrument and has it store its settings, as after a settings transfer.
    TReply LockAndStore() { return m_controller.LockAndStore(); }
    [[nodiscard]] TSessionController& Controller() { return m_controller; }
    // The next instrument of a ring: the passcode that worked may be offered to it.
    void NextInstrument() { m_passcodes.NextInstrument(); }

private:
    [[nodiscard]] TExitCode Failure(bool identityRead);

    TCtlContext& m_context;
    bool m_full;
    TPasscodePrompts m_passcodes;
    TSessionController m_controller;
};
