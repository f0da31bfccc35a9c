#pragma once

#include "ctlcontext.h"
#include "exitcode.h"
#include "menunode.h"
#include "passcodeprompts.h"
#include "sessioncontroller.h"

#include <optional>

// Setup sessions for the tool: the viewer's session controller with passcodes from the
// command line, the environment or the terminal, the whole menu tree read at the start, and
// what a session that did not open means for the exit code.
class TCtlSession : public ISessionView
{
public:
    // The passcode given on the command line or in Q900_PASSCODE, if any.
    TCtlSession(TCtlContext& context, bool full, std::optional<QString> passcode);

    // Opens the level, asking for its passcode when it is locked; Done, or why not with the
    // message shown.
    [[nodiscard]] TExitCode OpenLevel();
    // Starts a session as the viewer's Start Session does, the tree read in full (the same
    // reads as Expand All); Done, or why not with the message shown.
    [[nodiscard]] TExitCode Start();
    // The tree read at the start: its top node is the holder's first child.
    [[nodiscard]] const TMenuNode& Tree() const { return m_tree; }
    // Ends as End Session does: tells the instrument, locks it, has it store its settings.
    void End();
    // Locks both levels again.
    void Lock() { m_controller.Lock(); }
    // Locks the instrument and has it store its settings, as after a settings transfer.
    void LockAndStore();
    // The next instrument of a ring: the passcode that worked may be offered to it.
    void NextInstrument() { m_passcodes.NextInstrument(); }

    void BuildTree(bool full) override;
    void ClearTree() override { m_tree.Clear(); }

private:
    [[nodiscard]] TExitCode Failure(bool identityRead);

    TCtlContext& m_context;
    bool m_full;
    TPasscodePrompts m_passcodes;
    TSessionController m_controller;
    TMenuNode m_tree;
};
