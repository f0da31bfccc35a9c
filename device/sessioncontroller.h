#pragma once

#include <QObject>
#include <QTimer>

class ISessionPrompts;
class IUserPrompts;
class TCommsEngine;
class TDevice;

// Where a session's settings tree is shown: built when a session starts, cleared when it ends.
class ISessionView
{
public:
    virtual ~ISessionView() = default;
    virtual void BuildTree(bool full) = 0;
    virtual void ClearTree() = 0;
};

// Setup sessions: opening the instrument at its Safe or Full level with the passcode the user
// types, keeping the session alive, having the instrument store its settings, locking it,
// and ending the session. Every request goes through the engine; the user is asked through
// the prompts interfaces.
class TSessionController : public QObject
{
    Q_OBJECT
public:
    static constexpr int kKeepAliveMs = 5000;

    TSessionController(TCommsEngine& engine, TDevice& device, IUserPrompts& prompts,
                       ISessionPrompts& sessionPrompts, QObject* parent = nullptr);

    void SetView(ISessionView* view) { m_view = view; }
    // How often the keep-alive is armed while a session is open.
    void SetKeepAliveInterval(int ms) { m_tmrViewerMode.setInterval(ms); }

    // Makes sure the instrument is open at the level, asking for the passcode as often as
    // needed; false when the user cancelled or the instrument does not answer.
    bool PromptPasscode(bool full);
    // Locks both levels.
    void Lock();
    // Makes the instrument store its settings, re-entering the session's passcodes after.
    void StoreSettings(bool keepPasscodes);
    // Reads the identity; false, with the message shown, for an instrument of another family.
    bool CheckCommsVersion();

    void StartSessionClick();
    void EndSessionClick();
    void SafePasscode1Click();
    void FullPasscode1Click();
    void Lock1Click();
    // The connection changed under an open session: it is over, without a word to the link.
    void ConnectionChanged();

    [[nodiscard]] bool SessionActive() const { return m_active; }

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
    void SetActive(bool active, bool full);
    void tmrViewerModeTimer();

    TCommsEngine& m_engine;
    TDevice& m_device;
    IUserPrompts& m_prompts;
    ISessionPrompts& m_sessionPrompts;
    ISessionView* m_view = nullptr;
    QTimer m_tmrViewerMode;
    bool m_active = false;
};
