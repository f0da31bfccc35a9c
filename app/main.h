#pragma once

#include "page.h"

#include <QMainWindow>

#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

class IPrintPrompts;
class ISessionPrompts;
class IUserPrompts;
class QAction;
class TCommandStates;
class TConnection;
class TDisplayPage;
class TdatViewer;
class TFileComparison;
class TFrmComDialog;
class THelpActions;
class TLogPage;
class TMessagePrompts;
class TSessionController;
class TSettingsFiles;
class TStatusPanels;
class TWindowTitle;
struct TPortChoice;
namespace Ui {
class TFrmMain;
}

// Where the window's questions go; any left out go to its own message boxes and dialogs.
struct TPromptSet
{
    IUserPrompts* user = nullptr;
    ISessionPrompts* session = nullptr;
    IPrintPrompts* print = nullptr;
};

// The main window: the frame around everything the user does. It creates the connection and
// the pages, puts the pages into its tabs, wires the menus and the tool bar to them and keeps
// menus, tabs and caption in step with the link; the work itself is the pages' own.
class TFrmMain : public QMainWindow
{
    Q_OBJECT
public:
    explicit TFrmMain(TdatViewer& config, const TPromptSet& prompts = {},
                      QWidget* parent = nullptr);
    ~TFrmMain() override;

    // Checks the configuration and the front-panel picture and sets the window up;
    // the failure text, or empty when the program can go on.
    [[nodiscard]] QString FormCreate();
    // The error box text of a start-up failure.
    [[nodiscard]] static QString StartupFailureText(const QString& failure);
    [[nodiscard]] IUserPrompts& Prompts() { return *m_prompts; }

    // The connect/disconnect toggle of the tool bar and the File menu.
    void Connect2Click();
    // Connects with the given choices as if confirmed in the port dialog, keeping them in
    // [Comms] when `remember`; false when the connection was refused (the message has been
    // shown).
    bool ConnectWith(const TPortChoice& choice, bool remember = true);
    [[nodiscard]] bool Connected() const;
    // Shows the Settings (and for Full the Calibration) tab while a setup session is open.
    void SetSessionControls(bool active, bool full);
    // Closes the link without asking the pages: the program is being ended from outside.
    void Shutdown();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void CreatePages();
    void WireSession(IPage& settingsPage);
    void Bind(std::initializer_list<QAction*> actions, const std::function<void()>& run);
    void AddPage(IPage& page);
    void ShowPage(IPage& page);
    // The file commands of the page in front, else the settings file's.
    IFileCommands& Files();
    void ConnectActions();
    void ApplyLinkState();
    void ShowTabs();
    void OnJobChanged();
    void OnConnectionChanged(bool connected);
    void UpdateIdentityPanel();
    bool PagesMayClose();
    void EndOpenSession();
    void PgCMainChange(int index);

    std::unique_ptr<Ui::TFrmMain> ui;
    std::unique_ptr<TCommandStates> m_commands;
    TdatViewer& m_config;
    std::unique_ptr<TMessagePrompts> m_ownPrompts;
    std::unique_ptr<ISessionPrompts> m_ownSessionPrompts;
    IUserPrompts* m_prompts;
    ISessionPrompts* m_sessionPrompts;
    IPrintPrompts* m_printPrompts;
    TConnection* m_connection = nullptr;
    TSessionController* m_session = nullptr;
    std::unique_ptr<TSettingsFiles> m_settingsFiles;
    std::unique_ptr<TFileComparison> m_comparison;
    std::unique_ptr<TFrmComDialog> m_comDialog;
    std::vector<IPage*> m_pages; // in tab order, whether shown or not
    IPage* m_current = nullptr;
    TDisplayPage* m_displayPage = nullptr;
    TLogPage* m_logPage = nullptr;
    TStatusPanels* m_panels = nullptr;
    std::unique_ptr<THelpActions> m_help;
    std::unique_ptr<TWindowTitle> m_title;
    TLinkState m_state;
};
