#pragma once

#include "comms.h"
#include "ringnetwork.h"
#include "userprompts.h"

#include <QMainWindow>
#include <QTimer>

#include <memory>

class QLabel;
class QMenu;
class TdatViewer;
class TIdentityPanel;
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

    void Inform(const QString& text) override;
    void ShowError(const QString& text) override;
    bool Confirm(const QString& text) override;
    void ShowOpticalPrompt() override;

    void EnableMenuItems(QMenu* menu, bool enabled);
    void UpdateIdentityPanel();
    void SetTerminalDirty(bool dirty);

    [[nodiscard]] Ui::TFrmMain& Form() { return *ui; }
    [[nodiscard]] TIdentityPanel& IdentityPanel() { return *m_panel2; }
    [[nodiscard]] QString HelpFile() const { return m_helpFile; }
    [[nodiscard]] int Activity() const { return m_activity; }

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
    void Timer1Timer();
    void TmrCommsTimer();
    void tmrViewerModeTimer();

    std::unique_ptr<Ui::TFrmMain> ui;
    TdatViewer& m_config;
    std::unique_ptr<TRingNetwork> m_ring;
    std::unique_ptr<Tcommsobj> MessageRecord;
    std::unique_ptr<Tcommsobj> RequestRecord;
    std::unique_ptr<Tcommsobj> ReplyRecord;

    QTimer Timer1;
    QTimer TmrComms;
    QTimer tmrButton;
    QTimer tmrViewerMode;

    QLabel* m_panel0 = nullptr;
    QLabel* m_panel1 = nullptr;
    TIdentityPanel* m_panel2 = nullptr;
    QLabel* m_frontPanel = nullptr;
    QLabel* m_calPanel = nullptr;

    QString m_helpFile;
    QString m_identityText;
    bool SessionActive = false;
    bool KeepAlivePending = false;
    bool TerminalDirty = false;
    bool m_resizePending = false;
    int m_activity = 0;
};
