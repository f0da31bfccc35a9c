#pragma once

#include "request.h"
#include "settingstree.h"

#include <QObject>

class ISessionPrompts;
class IUserPrompts;
class TDevice;
class TInstrumentLink;

// Setup sessions: opening the instrument at its Safe or Full level with the passcode the user
// types, keeping the session alive, having the instrument store its settings, locking it,
// and ending the session. Owns the session's settings tree. Every request goes through the
// instrument link; the user is asked through the prompts interfaces.
class TSessionController : public QObject
{
    Q_OBJECT
public:
    TSessionController(TInstrumentLink& link, IUserPrompts& prompts,
                       ISessionPrompts& sessionPrompts, QObject* parent = nullptr);

    [[nodiscard]] TSettingsTree& Tree() { return m_tree; }
    // How often the keep-alive falls due while a session is open.
    void SetKeepAliveInterval(int ms);

    // Makes sure the instrument is open at the level, asking for the passcode as often as
    // needed; false when the user cancelled or the instrument does not answer.
    bool PromptPasscode(bool full);
    // Locks both levels.
    void Lock();
    // Makes the instrument store its settings, re-entering the session's passcodes after;
    // the store's reply: not Ok() when the instrument did not say it stored them.
    TReply StoreSettings(bool keepPasscodes);
    // Locks the instrument (the program busy meanwhile) and has it store its settings, as
    // after a settings transfer.
    TReply LockAndStore();
    // Why a store's reply means the settings were not stored; empty when they were.
    [[nodiscard]] static QString StoreFailure(const TReply& store);
    // Lock after a utility wrote to the instrument; inside an open session its levels stay
    // open, as a store keeps them.
    void LockUnlessInSession();
    // Reads the identity; false, with the message shown, for an instrument of another family.
    bool CheckCommsVersion();

    void StartSessionClick();
    // Ends the session: the job that holds the link first, then the instrument is told, locked
    // and has its settings stored.
    void EndSessionClick();
    void SafePasscode1Click();
    void FullPasscode1Click();
    void Lock1Click();
    // The connection changed under an open session: it is over, without a word to the link.
    void ConnectionChanged();

    [[nodiscard]] bool SessionActive() const { return m_active; }
    [[nodiscard]] bool FullSession() const { return m_active && m_full; }

signals:
    // Start of a session, before anything is read (the linearisation controls come back).
    void SessionStarting();
    // The session's level is open, the tree and the calibration figures are read.
    void SessionStarted(bool full);
    // The session is over, or End Session was asked for with the port closed.
    void SessionEnded();
    void SessionChanged(bool active, bool full);
    // The calibration figures were read again (or cleared for a Safe session).
    void CalibrationRead();
    void IdentityRead();
    // The instrument stored its settings: they match what it shows again.
    void Stored();

private:
    void EndSession();
    void SetActive(bool active, bool full);

    TInstrumentLink& m_link;
    TDevice& m_device;
    IUserPrompts& m_prompts;
    ISessionPrompts& m_sessionPrompts;
    TSettingsTree m_tree;
    bool m_active = false;
    bool m_full = false;
};
