#include "main.h"

#include "about.h"
#include "comdialog.h"
#include "silenceprompt.h"
#include "dmviewer.h"
#include "identitypanel.h"
#include "mimickeys.h"
#include "q910lcd.h"
#include "resizerule.h"
#include "ui_main.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QStyle>
#include <QUrl>
#include <QVBoxLayout>

#include <clocale>

namespace {

// Message texts keep the CR LF line breaks of the instrument's world; Qt wants LF.
QString ForDisplay(const QString& text)
{
    QString shown = text;
    return shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

// Puts `child` into `panel` so that it always fills it.
void FillWith(QWidget* panel, QWidget* child)
{
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(child);
}

} // namespace

TFrmMain::TFrmMain(TdatViewer& config, QWidget* parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::TFrmMain>()), m_config(config)
{
    ui->setupUi(this);
    setMinimumSize(resizerule::kMinWidth, resizerule::kMinHeight);
    SetUpStatusBar();
    SetUpTimers();
    ConnectActions();
    ui->TSDisplay->installEventFilter(this);
    ui->TSCal->installEventFilter(this);
}

TFrmMain::~TFrmMain()
{
    // The mimics hold the key helper and go with the widgets, after the members; end them
    // while everything they refer to is still there.
    delete m_frontPanel;
    delete m_calPanel;
}

QString TFrmMain::StartupFailureText(const QString& failure)
{
    return failure + QStringLiteral("\r\nThe Application will terminate now");
}

QString TFrmMain::FormCreate()
{
    if (!m_config.ConfigValid())
        return QStringLiteral("The Ini file for this Viewer is corrupt.");
    setWindowTitle(m_config.ViewerName());
    // "." as the decimal separator for everything formatted or parsed, whatever the locale.
    QLocale::setDefault(QLocale::c());
    std::setlocale(LC_NUMERIC, "C");
    m_ring = std::make_unique<TRingNetwork>();
    m_device = std::make_unique<TDevice>(*m_ring);
    if (!CreateMimics())
        return QStringLiteral("The Instrument image file for this Viewer is missing.");

    SessionActive = false;
    EnableMenuItems(ui->MenuInstrument, false);
    ui->tbStartSession->setEnabled(false);
    ui->tbEndSession->setEnabled(false);
    CreateComms();

    for (QWidget* hidden : {ui->TSCal, ui->TSSettings, ui->TSTest})
        ui->PgCMain->setTabVisible(ui->PgCMain->indexOf(hidden), false);
    ui->PgCMain->setCurrentWidget(ui->TSDisplay);

    const QFileInfo program(QCoreApplication::applicationFilePath());
    m_helpFile = program.dir().filePath(program.completeBaseName() + QStringLiteral(".chm"));
    SetTerminalDirty(false);
    tmrViewerMode.start();
    return {};
}

bool TFrmMain::CreateMimics()
{
    const QString picture = m_config.InstrumentImage();
    if (!QFileInfo(picture).isFile())
        return false;
    m_frontPanel = new TQ910LCD(picture);
    m_calPanel = new TQ910LCD(picture);
    for (TQ910LCD* mimic : {m_frontPanel, m_calPanel}) {
        mimic->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
        mimic->LCD.Directory = m_config.ProgramDir(); // segment pictures and the map cache
        mimic->SetErrorHandler([this](const QString& error) { ShowError(error); });
    }
    FillWith(ui->PnlFront, m_frontPanel);
    FillWith(ui->PnlMimicCal, m_calPanel);
    return true;
}

void TFrmMain::SetUpStatusBar()
{
    m_panel0 = new QLabel(this);
    m_panel1 = new QLabel(this);
    m_panel2 = new TIdentityPanel(this);
    m_panel0->setFixedWidth(120);
    m_panel1->setFixedWidth(200);
    for (QLabel* panel : {m_panel0, m_panel1})
        panel->setFrameShape(QFrame::Panel), panel->setFrameShadow(QFrame::Sunken);
    ui->StatusBar->addWidget(m_panel0);
    ui->StatusBar->addWidget(m_panel1);
    ui->StatusBar->addWidget(m_panel2, 1);
    ui->StatusBar->setSizeGripEnabled(true);
}

void TFrmMain::SetUpTimers()
{
    tmrViewerMode.setInterval(5000);
    connect(&tmrViewerMode, &QTimer::timeout, this, &TFrmMain::tmrViewerModeTimer);
}

void TFrmMain::ConnectActions()
{
    QStyle* s = style();
    ui->ToolButton1->setIcon(s->standardIcon(QStyle::SP_DialogOpenButton));
    ui->ToolButton2->setIcon(s->standardIcon(QStyle::SP_DialogSaveButton));
    ui->ToolButton4->setIcon(s->standardIcon(QStyle::SP_DriveNetIcon));
    ui->tbStartSession->setIcon(s->standardIcon(QStyle::SP_MediaPlay));
    ui->tbEndSession->setIcon(s->standardIcon(QStyle::SP_MediaStop));
    connect(ui->Exit1, &QAction::triggered, qApp, &QCoreApplication::quit);
    connect(ui->ToolButton4, &QAction::triggered, this, &TFrmMain::Connect2Click);
    connect(ui->Connect2, &QAction::triggered, this, &TFrmMain::Connect2Click);
    connect(ui->muHelp, &QAction::triggered, this, &TFrmMain::muHelpClick);
    connect(ui->About1, &QAction::triggered, this, &TFrmMain::About1Click);
    connect(ui->PgCMain, &QTabWidget::currentChanged, this, &TFrmMain::PgCMainChange);
}

void TFrmMain::EnableMenuItems(QMenu* menu, bool enabled)
{
    for (QAction* item : menu->actions())
        item->setEnabled(enabled);
}


void TFrmMain::SetTerminalDirty(bool dirty)
{
    TerminalDirty = dirty;
    UpdateIdentityPanel();
}

void TFrmMain::PgCMainChange(int)
{
    if (!m_engine)
        return;
    QWidget* page = ui->PgCMain->currentWidget();
    int activity = TCommsEngine::ActNone;
    if (page == ui->TSDisplay) {
        activity = TCommsEngine::ActDisplay;
    } else if (page == ui->TSCal) {
        activity = TCommsEngine::ActCalibration;
    } else if (page == ui->TSTest) {
        activity = TCommsEngine::ActTest;
        ui->EdtSendStr->setFocus();
    } else if (page == ui->TSLog) {
        activity = TCommsEngine::ActLog;
    }
    m_engine->Activity = activity;
}

// The rule needs the tab pages' own heights, which are final only once every layout has run,
// so it follows the pages' resize events and runs once they have settled.
bool TFrmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize && (watched == ui->TSDisplay || watched == ui->TSCal) &&
        !m_resizePending) {
        m_resizePending = true;
        QMetaObject::invokeMethod(this, [this] {
            m_resizePending = false;
            FormResize();
        }, Qt::QueuedConnection);
    }
    return QMainWindow::eventFilter(watched, event);
}

void TFrmMain::FormResize()
{
    const resizerule::TWindowFit fit =
        resizerule::FitDisplayTab(width(), height(), ui->TSDisplay->height());
    if (fit.width != width() || fit.height != height())
        resize(fit.width, fit.height);
    ui->PnlFrontFill->setFixedHeight(fit.fillerHeight);
    ui->PnlCal->setGeometry(0, 0, ui->TSCal->width(), ui->PnlCal->height());
    const QRect cal = resizerule::FitCalibrationMimic(
        ui->TSCal->width(), ui->TSCal->height(), ui->PnlCal->height(), ui->PnlMimicCal->y());
    ui->PnlMimicCal->setGeometry(cal);
}

void TFrmMain::closeEvent(QCloseEvent* event)
{
    if (m_engine) {
        m_engine->WaitState = 0;
        m_engine->Close();
    }
    event->accept();
}

void TFrmMain::muHelpClick()
{
    if (!QFileInfo(m_helpFile).isFile()) {
        Inform(QStringLiteral("The help file %1 was not found.").arg(m_helpFile));
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(m_helpFile)))
        Inform(QStringLiteral("No program is available to open the help file %1.").arg(m_helpFile));
}

void TFrmMain::About1Click()
{
    TfrmAbout about(this);
    const QString error = about.FormCreate(m_config);
    if (!error.isEmpty()) {
        ShowError(error);
        return;
    }
    about.exec();
}

void TFrmMain::tmrViewerModeTimer()
{
    if (SessionActive && m_engine)
        m_engine->KeepAlivePending = true;
}

void TFrmMain::Inform(const QString& text)
{
    if (m_prompts)
        return m_prompts->Inform(text);
    QMessageBox::information(this, m_config.ViewerName(), ForDisplay(text));
}

void TFrmMain::ShowError(const QString& text)
{
    if (m_prompts)
        return m_prompts->ShowError(text);
    QMessageBox::critical(this, m_config.ViewerName(), ForDisplay(text));
}

bool TFrmMain::Confirm(const QString& text)
{
    if (m_prompts)
        return m_prompts->Confirm(text);
    return QMessageBox::question(this, m_config.ViewerName(), ForDisplay(text),
                                 QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

void TFrmMain::ShowOpticalPrompt()
{
    if (m_prompts)
        return m_prompts->ShowOpticalPrompt();
    if (m_silencePrompt)
        m_silencePrompt->exec();
}
