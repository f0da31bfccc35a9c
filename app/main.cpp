#include "main.h"

#include "calibrationpage.h"
#include "comdialog.h"
#include "commandstates.h"
#include "connection.h"
#include "displaypage.h"
#include "dmviewer.h"
#include "factory.h"
#include "filecomparison.h"
#include "helpactions.h"
#include "logpage.h"
#include "messageprompts.h"
#include "pcclock.h"
#include "portconfig.h"
#include "printformat.h"
#include "recentfiles.h"
#include "resizerule.h"
#include "sessioncontroller.h"
#include "sessiondialogs.h"
#include "setclock.h"
#include "settingsfiles.h"
#include "settingspage.h"
#include "statuspanels.h"
#include "terminalpage.h"
#include "ui_main.h"
#include "windowlayout.h"
#include "windowtitle.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QLocale>
#include <QSignalBlocker>

#include <clocale>

TFrmMain::TFrmMain(TdatViewer& config, const TPromptSet& prompts, QWidget* parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::TFrmMain>()), m_config(config),
      m_ownPrompts(std::make_unique<TMessagePrompts>(this, config.ViewerName())),
      m_ownSessionPrompts(std::make_unique<TSessionDialogs>(this)),
      m_prompts(prompts.user ? prompts.user : m_ownPrompts.get()),
      m_sessionPrompts(prompts.session ? prompts.session : m_ownSessionPrompts.get()),
      m_printPrompts(prompts.print ? prompts.print : m_ownPrompts.get())
{
    ui->setupUi(this);
    m_commands = std::make_unique<TCommandStates>(*ui);
    setMinimumSize(resizerule::kMinWidth, resizerule::kMinHeight);
    m_panels = new TStatusPanels(*ui->StatusBar);
    m_help = std::make_unique<THelpActions>(m_config, *m_prompts, this);
    ConnectActions();
}

TFrmMain::~TFrmMain()
{
    // The pages refer to the connection: they go first.
    ui->PgCMain->clear();
    for (IPage* page : m_pages)
        delete page->Widget();
}

QString TFrmMain::StartupFailureText(const QString& failure)
{
    return failure + QStringLiteral("\r\nThe Application will terminate now");
}

QString TFrmMain::FormCreate()
{
    if (!m_config.ConfigValid())
        return QStringLiteral("The Ini file for this Viewer is corrupt.");
    m_title = std::make_unique<TWindowTitle>(*this, m_config.ViewerName());
    // "." as the decimal separator for everything formatted or parsed, whatever the locale.
    QLocale::setDefault(QLocale::c());
    std::setlocale(LC_NUMERIC, "C");
    if (!QFileInfo(m_config.InstrumentImage()).isFile())
        return QStringLiteral("The Instrument image file for this Viewer is missing.");
    m_connection = new TConnection(*m_prompts, this);
    connect(m_connection, &TConnection::Changed, this, &TFrmMain::OnConnectionChanged);
    connect(m_connection, &TConnection::IdentityChanged, this, &TFrmMain::UpdateIdentityPanel);
    connect(m_connection, &TConnection::Lost, this, [this](const QString& what, bool waiting) {
        const bool session = m_state.session;
        QMetaObject::invokeMethod(
            this,
            [this, what, waiting, session] {
                if (!waiting)
                    m_prompts->ShowError(what);
                else if (session)
                    m_prompts->Inform(QStringLiteral("The setup session has ended: %1").arg(what));
            },
            Qt::QueuedConnection);
    });
    m_panels->Follow(m_connection->Engine());
    connect(&m_connection->Link(), &TInstrumentLink::JobChanged, this, &TFrmMain::OnJobChanged);
    connect(m_panels, &TStatusPanels::CancelJob, this, [this] { m_connection->Link().EndJob(); });
    CreatePages();
    ApplyLinkState();
    ShowPage(*m_displayPage);
    PgCMainChange(ui->PgCMain->currentIndex());
    new TWindowLayout(m_config, *this, *ui->PgCMain); // owned by the window
    // Once the window shows: the data of a run that did not end normally.
    QMetaObject::invokeMethod(
        this, [this] { m_logPage->OfferLeftOverRun([this] { ShowPage(*m_logPage); }); },
        Qt::QueuedConnection);
    return {};
}

void TFrmMain::CreatePages()
{
    TInstrumentLink& link = m_connection->Link();
    TDevice& device = link.Device();
    m_session = new TSessionController(link, *m_prompts, *m_sessionPrompts, this);
    const auto onError = [this](const QString& error) { m_prompts->ShowError(error); };
    const QString picture = m_config.InstrumentImage();
    m_displayPage = new TDisplayPage(picture, m_config.ProgramDir(), link, onError);
    AddPage(*m_displayPage);
    AddPage(*new TCalibrationPage(picture, m_config.ProgramDir(), link, *m_session, *m_prompts,
                                  onError));
    auto* settings = new TSettingsPage(m_session->Tree(), device, *m_prompts);
    WireSession(*settings);
    AddPage(*settings);
    m_settingsFiles =
        std::make_unique<TSettingsFiles>(link, *m_session, *m_prompts, *m_printPrompts, this);
    m_comparison =
        std::make_unique<TFileComparison>(link, *m_session, *m_prompts, *m_printPrompts, this);
    Bind({ui->CompareWithFile1}, [this] { m_comparison->CompareWithFileClick(); });
    m_logPage = new TLogPage(link, *m_prompts, *m_printPrompts, m_config.DataDir());
    m_logPage->SetIdentitySource([this] { return m_connection->IdentityText(); });
    AddPage(*m_logPage);
    connect(m_logPage, &TLogPage::RecoveryTroubleChanged, m_panels, &TStatusPanels::SetFileTrouble);
    Bind({ui->SetupChart1}, [this] { m_logPage->ChartSetupClick(); });
    Bind({ui->ExportChart1}, [this] { m_logPage->ExportChartClick(); });
    auto* setClock = new TFrmSetClock(link, *m_session, *m_prompts, IPcClock::System(), this);
    Bind({ui->SetDateTime1}, [setClock] { setClock->SetDateTime1Click(); });
    Bind({ui->CustomPrintFormat1}, [this, &link] {
        TFrmPrintFormat::CustomPrintFormat1Click(link, *m_session, *m_prompts, this);
    });
    Bind({ui->FactoryTestResults1},
         [this] { TFrmFactory::FactoryTestResults1Click(*m_prompts, this); });
    auto* terminal = new TTerminalPage(link.Engine(), *m_prompts);
    connect(terminal, &TTerminalPage::TerminalUsed, this, [this] { m_panels->SetWarning(true); });
    AddPage(*terminal);
    auto* recent = new TRecentFiles(m_config, *ui->MenuRecent, this);
    recent->Track(QStringLiteral("Settings"), *m_settingsFiles);
    recent->Track(QStringLiteral("Log"), *m_logPage, [this] { ShowPage(*m_logPage); });
    connect(recent, &TRecentFiles::Current, this,
            [this](const QString& f) { m_title->SetFile(f); });
}

void TFrmMain::WireSession(IPage& settingsPage)
{
    TSessionController* s = m_session;
    connect(m_connection, &TConnection::Changed, s, &TSessionController::ConnectionChanged);
    connect(s, &TSessionController::SessionChanged, this, &TFrmMain::SetSessionControls);
    connect(s, &TSessionController::SessionStarted, this, [&, this] { ShowPage(settingsPage); });
    connect(s, &TSessionController::SessionEnded, this, [this] {
        if (m_current && !m_current->ShownIn({m_state.connected, false, false}))
            ShowPage(*m_displayPage);
    });
    connect(s, &TSessionController::Stored, this, [this] { m_panels->SetWarning(false); });
    connect(s, &TSessionController::IdentityRead, this, &TFrmMain::UpdateIdentityPanel);
    Bind({ui->StartSession, ui->tbStartSession}, [s] { s->StartSessionClick(); });
    Bind({ui->EndSession, ui->tbEndSession}, [s] { s->EndSessionClick(); });
    Bind({ui->SafePasscode1}, [s] { s->SafePasscode1Click(); });
    Bind({ui->FullPasscode1}, [s] { s->FullPasscode1Click(); });
    Bind({ui->Lock1}, [s] { s->Lock1Click(); });
}

void TFrmMain::Bind(std::initializer_list<QAction*> actions, const std::function<void()>& run)
{
    for (QAction* action : actions)
        connect(action, &QAction::triggered, this, run);
}

void TFrmMain::ShowPage(IPage& page)
{
    ui->PgCMain->setCurrentWidget(page.Widget());
}

IFileCommands& TFrmMain::Files()
{
    if (m_current && m_current->Files())
        return *m_current->Files();
    return *m_settingsFiles;
}

void TFrmMain::AddPage(IPage& page)
{
    m_pages.push_back(&page);
    ui->PgCMain->addTab(page.Widget(), QString::fromLatin1(page.Caption()));
}

// A page that must not be shown has no tab at all: a hidden tab would still be reached by
// Ctrl+Tab and the arrow keys.
void TFrmMain::ShowTabs()
{
    QTabWidget* tabs = ui->PgCMain;
    int index = 0;
    for (IPage* page : m_pages) {
        const int at = tabs->indexOf(page->Widget());
        if (!page->ShownIn(m_state)) {
            if (at >= 0)
                tabs->removeTab(at);
            continue;
        }
        if (at < 0)
            tabs->insertTab(index, page->Widget(), QString::fromLatin1(page->Caption()));
        ++index;
    }
}

void TFrmMain::ConnectActions()
{
    m_commands->SetLook();
    Bind({ui->Exit1}, [this] { close(); });
    Bind({ui->ToolButton4, ui->Connect2}, [this] { Connect2Click(); });
    Bind({ui->Open1, ui->ToolButton1}, [this] { Files().Open1Click(); });
    Bind({ui->Save1, ui->ToolButton2}, [this] { Files().Save1Click(); });
    Bind({ui->Print1}, [this] { Files().Print1Click(false); });
    Bind({ui->Preview1}, [this] { Files().Print1Click(true); });
    Bind({ui->muHelp}, [this] { m_help->muHelpClick(); });
    Bind({ui->About1}, [this] { m_help->About1Click(); });
    connect(ui->PgCMain, &QTabWidget::currentChanged, this, &TFrmMain::PgCMainChange);
}

void TFrmMain::Connect2Click()
{
    if (Connected()) {
        // Disconnect ends the job that holds the link first, and an open session as End
        // Session does: the instrument is never left open behind a window that shows none.
        m_connection->Link().EndJob([this] {
            if (!PagesMayClose())
                return;
            EndOpenSession();
            m_connection->Close();
        });
        return;
    }
    // The ports are listed as the dialog opens: an adapter plugged in since is there, and the
    // start-up does not wait for the system's whole list of terminals to be walked.
    // The last connection's choices stand, the address with them, even when not kept.
    m_comDialog = std::make_unique<TFrmComDialog>(*m_prompts, QStringList(), this);
    m_comDialog->SetPorts(portconfig::PortEntries(m_config));
    m_comDialog->SetChoice(
        m_connection->LastChoice().value_or(portconfig::LoadPortDialog(m_config)));
    if (m_comDialog->exec() == QDialog::Accepted && m_comDialog->PortSelected())
        ConnectWith(m_comDialog->Choice());
}

bool TFrmMain::ConnectWith(const TPortChoice& choice, bool remember)
{
    if (!m_connection)
        return false;
    const QString error = m_connection->Open(choice);
    if (!error.isEmpty()) {
        m_prompts->ShowError(error);
        return false;
    }
    if (remember)
        portconfig::SavePortDialog(m_config, choice);
    return true;
}

bool TFrmMain::Connected() const
{
    return m_connection && m_connection->IsOpen();
}

void TFrmMain::OnConnectionChanged(bool connected)
{
    // The caption names the address only once the port is really open.
    const int address = m_connection->Address();
    const QString tail = !connected     ? QString()
                         : address == 0 ? QStringLiteral("Address:Any")
                                        : QStringLiteral("Address:%1").arg(address);
    m_title->SetAddress(tail);
    // A connection change ends any session.
    m_state = TLinkState{connected, false, false, m_connection->Link().JobRunning()};
    ApplyLinkState();
}

void TFrmMain::SetSessionControls(bool active, bool full)
{
    m_state.session = active;
    m_state.full = active && full;
    ApplyLinkState();
}

void TFrmMain::ApplyLinkState()
{
    m_commands->Apply(m_state);
    ui->ExportChart1->setEnabled(!m_state.job && m_current == m_logPage);
    // A tab that goes (the session's) leaves the Display tab in front, not a neighbour.
    if (m_current && m_displayPage && !m_current->ShownIn(m_state))
        ShowPage(*m_displayPage);
    ShowTabs();
    for (IPage* page : m_pages)
        page->LinkChanged(m_state);
}

void TFrmMain::OnJobChanged()
{
    const TInstrumentLink& link = m_connection->Link();
    m_panels->SetJob(link.JobProgress());
    if (m_state.job == link.JobRunning())
        return;
    m_state.job = link.JobRunning();
    ApplyLinkState();
}

void TFrmMain::UpdateIdentityPanel()
{
    m_panels->SetIdentity(m_connection->IdentityText());
}

void TFrmMain::PgCMainChange(int)
{
    IPage* next = nullptr;
    for (IPage* page : m_pages)
        if (page->Widget() == ui->PgCMain->currentWidget())
            next = page;
    if (!next || next == m_current)
        return;
    QTabWidget* tabs = ui->PgCMain;
    if (m_current && !m_current->CanLeave() && tabs->indexOf(m_current->Widget()) >= 0) {
        const QSignalBlocker still(tabs);
        tabs->setCurrentWidget(m_current->Widget());
        return;
    }
    if (m_current)
        m_current->Left();
    m_current = next;
    ui->ExportChart1->setEnabled(!m_state.job && next == m_logPage);
    m_connection->Engine().SetActivity(next->Activity());
    next->Entered();
}

bool TFrmMain::PagesMayClose()
{
    for (IPage* page : m_pages)
        if (!page->CanClose())
            return false;
    return true;
}

// Exit ends the job that holds the link first, then asks the pages.
void TFrmMain::closeEvent(QCloseEvent* event)
{
    if (m_connection && m_connection->Link().JobRunning()) {
        event->ignore();
        m_connection->Link().EndJob(
            [this] { QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection); });
        return;
    }
    if (!PagesMayClose()) {
        event->ignore();
        return;
    }
    EndOpenSession();
    Shutdown();
    if (const QString error = m_config.Save(); !error.isEmpty())
        m_prompts->ShowError(error + QStringLiteral("\r\nThe changed settings were not kept."));
    event->accept();
}

void TFrmMain::EndOpenSession()
{
    if (m_session && m_session->SessionActive() && Connected())
        m_session->EndSessionClick();
}

void TFrmMain::Shutdown()
{
    if (m_connection)
        m_connection->Link().Close();
}
