#pragma once

#include "commsengine.h"
#include "device.h"
#include "ringnetwork.h"
#include "serialports.h"
#include "userprompts.h"

#include <QMainWindow>
#include <QTimer>

#include <memory>

class QLabel;
class QMenu;
class TdatViewer;
class TIdentityPanel;
class TFrmComDialog;
class TFrmSilencePrompt;
class TMimicKeys;
class TQ910LCD;
namespace Ui {
class TFrmMain;
}

// The main window: frames everything the user does and owns the port, the timers, the
// instrument model and the mimics for the whole run. Operations are grouped by subsystem
// into their own source files (main_*.cpp).
class TFrmMain : public QMainWindow, public IUserPrompts
{
    Q_OBJECT
public:
    explicit TFrmMain(TdatViewer& config, QWidget* parent = nullptr);
    ~TFrmMain() override;

    // Checks the configuration and the front-panel picture and sets the window up;
    // the failure text, or empty when the program can go on.
    [[nodiscard]] QString FormCreate();
    // The error box text of a start-up failure.
    [[nodiscard]] static QString StartupFailureText(const QString& failure);

    // Where the program's questions go: the window's own message boxes unless set.
    void SetPrompts(IUserPrompts* prompts) { m_prompts = prompts; }
    void Inform(const QString& text) override;
    void ShowError(const QString& text) override;
    bool Confirm(const QString& text) override;
    void ShowOpticalPrompt() override;

    void EnableMenuItems(QMenu* menu, bool enabled);
    void UpdateIdentityPanel();
    void SetTerminalDirty(bool dirty);
    void SetSessionControls(bool active, bool full);
    bool CheckCommsVersion();

    // The connect/disconnect toggle of the tool bar and the File menu.
    void Connect2Click();
    // Connects with the given choices as if confirmed in the port dialog, keeping them in
    // [Comms] when `remember`; false when the port could not be opened (the message has
    // been shown).
    bool ConnectWith(const TPortChoice& choice, bool remember = true);
    [[nodiscard]] bool Connected() const { return m_engine && m_engine->IsOpen(); }

    // Terminal page.
    void EchoTraffic(const QString& text);
    void BtnSendClick();
    void EdtSendStrKeyPress();

    [[nodiscard]] TCommsEngine& Engine() { return *m_engine; }
    [[nodiscard]] TDevice& Device() { return *m_device; }
    [[nodiscard]] TFrmComDialog& ComDialog() { return *m_comDialog; }
    [[nodiscard]] TQ910LCD& DisplayMimic() { return *m_frontPanel; }
    [[nodiscard]] TQ910LCD& CalibrationMimic() { return *m_calPanel; }
    [[nodiscard]] QString SentPanelText() const;
    [[nodiscard]] QString ReceivedPanelText() const;

    [[nodiscard]] Ui::TFrmMain& Form() { return *ui; }
    [[nodiscard]] TIdentityPanel& IdentityPanel() { return *m_panel2; }
    [[nodiscard]] QString HelpFile() const { return m_helpFile; }
    [[nodiscard]] int Activity() const { return m_engine ? m_engine->Activity : 0; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetUpStatusBar();
    void SetUpTimers();
    void ConnectActions();
    bool CreateMimics();
    void FormResize();
    void PgCMainChange(int index);
    void muHelpClick();
    void About1Click();
    void tmrViewerModeTimer();
    void CreateComms();
    void WireEngineHooks();
    void ConnectSteps();
    void DisconnectSteps();
    void AfterConnectionChange();
    void OnPortLost(const QString& message);
    void ConnectTerminal();

    std::unique_ptr<Ui::TFrmMain> ui;
    TdatViewer& m_config;
    std::unique_ptr<TRingNetwork> m_ring;
    std::unique_ptr<TCommsEngine> m_engine; // its records, its 100 ms and 1 s timers
    std::unique_ptr<TDevice> m_device;
    std::unique_ptr<TFrmComDialog> m_comDialog;
    std::unique_ptr<TFrmSilencePrompt> m_silencePrompt;

    QTimer tmrViewerMode;
    std::unique_ptr<TMimicKeys> m_keys; // the held-key timer tmrButton is its own

    QLabel* m_panel0 = nullptr;
    QLabel* m_panel1 = nullptr;
    TIdentityPanel* m_panel2 = nullptr;
    TQ910LCD* m_frontPanel = nullptr; // Display tab
    TQ910LCD* m_calPanel = nullptr;   // Calibration tab, without key handlers

    IUserPrompts* m_prompts = nullptr;
    QString m_helpFile;
    bool SessionActive = false;
    bool TerminalDirty = false;
    bool m_resizePending = false;
};
