// The main window's side of the instrument link: the engine's wiring, the connection
// lifecycle, the state of menus and tabs that follows it, and the terminal page.
#include "main.h"

#include "comdialog.h"
#include "dmviewer.h"
#include "identitypanel.h"
#include "mimickeys.h"
#include "q910lcd.h"
#include "portconfig.h"
#include "silenceprompt.h"
#include "terminalrender.h"
#include "tools.h"
#include "ui_main.h"

#include <QApplication>
#include <QLabel>
#include <QScrollBar>
#include <QTextCursor>

namespace {

const QString kCaptionSeparator = QStringLiteral(" - ");
constexpr int kTerminalLines = 500;

} // namespace

void TFrmMain::CreateComms()
{
    m_engine = std::make_unique<TCommsEngine>(*m_ring, *this);
    m_device->OnTransact = [this](const QString& request) { return m_engine->Transact(request); };
    WireEngineHooks();
    const QStringList extra = m_config.ExtraPorts().split(u';', Qt::SkipEmptyParts);
    m_comDialog = std::make_unique<TFrmComDialog>(*this, serialports::EnumSerialPorts(extra), this);
    m_silencePrompt = std::make_unique<TFrmSilencePrompt>(this);
    m_keys = std::make_unique<TMimicKeys>(
        [this](const QString& data) { return m_engine->SendCommand(0x12, 0x0008, true, true, data); },
        [] { QApplication::beep(); });
    m_frontPanel->SetKeyHandlers(*m_keys);
    ConnectTerminal();
    // One line more than the limit: the line being received is a block of its own.
    ui->MemoRx->setMaximumBlockCount(kTerminalLines + 1);
}

void TFrmMain::WireEngineHooks()
{
    TCommsEngine::THooks& hooks = m_engine->Hooks;
    hooks.echoTraffic = [this](const QString& text) { EchoTraffic(text); };
    hooks.sentText = [this](const QString& text) {
        m_panel0->setText(terminalrender::Printable(text));
    };
    hooks.receivedText = [this](const QString& text) {
        m_panel1->setText(terminalrender::Printable(text));
    };
    hooks.readingMenu = [this] { return m_device->ReadingMenu == 1; };
    hooks.displayData = [this](int activity, const QString& data) {
        (activity == TCommsEngine::ActDisplay ? m_frontPanel : m_calPanel)->DecodeDisplay(data);
    };
    hooks.blankMimics = [this] {
        m_frontPanel->BlankDisplay();
        m_calPanel->BlankDisplay();
    };
    hooks.linPointReply = [this](int reg) {
        m_device->LinPointCount = std::min(std::max(m_device->LinPointCount, reg - 0x0113), 10);
    };
    hooks.portLost = [this](const QString& message) {
        // After the engine has let any waiting request go.
        QMetaObject::invokeMethod(this, [this, message] { OnPortLost(message); },
                                  Qt::QueuedConnection);
    };
}

QString TFrmMain::SentPanelText() const
{
    return m_panel0->text();
}

QString TFrmMain::ReceivedPanelText() const
{
    return m_panel1->text();
}

void TFrmMain::Connect2Click()
{
    if (Connected()) {
        DisconnectSteps();
    } else {
        m_comDialog->SetChoice(portconfig::LoadPortDialog(m_config));
        if (m_comDialog->exec() == QDialog::Accepted && m_comDialog->PortSelected()) {
            ConnectWith(m_comDialog->Choice()); // runs the common steps once connected
            return;
        }
    }
    AfterConnectionChange();
}

bool TFrmMain::ConnectWith(const TPortChoice& choice, bool remember)
{
    m_engine->Close();
    m_engine->OpticalLink = choice.cable == TPortChoice::OpticalLink;
    const int address = serialports::AddressFor(choice);
    m_engine->InstrumentAddress = address;
    m_ring->SetRingMode(choice.cable == TPortChoice::RS232Ring);
    m_device->SetAddress(address);
    const QString error = m_engine->Open(serialports::LineSettingsFor(choice));
    if (!error.isEmpty()) {
        ShowError(error);
        return false;
    }
    // The caption names the address only once the port is really open.
    const QString tail = address == 0 ? QStringLiteral("Address:Any")
                                      : QStringLiteral("Address:%1").arg(address);
    setWindowTitle(tools::ReplaceAfter(windowTitle(), kCaptionSeparator, tail));
    if (remember)
        portconfig::SavePortDialog(m_config, choice);
    ConnectSteps();
    AfterConnectionChange();
    return true;
}

void TFrmMain::ConnectSteps()
{
    ui->ToolButton4->setText(QStringLiteral("&Disconnect"));
    ui->ToolButton4->setToolTip(QStringLiteral("Disconnect from instrument"));
    m_engine->ClearBuffers();
    if (ui->PgCMain->currentWidget() == ui->TSDisplay)
        m_engine->Activity = TCommsEngine::ActDisplay;
    ui->PgCMain->setTabVisible(ui->PgCMain->indexOf(ui->TSTest), true);
    EnableMenuItems(ui->MenuInstrument, true);
    ui->tbStartSession->setEnabled(true);
    ui->tbEndSession->setEnabled(false);
    ui->EndSession->setEnabled(ui->tbEndSession->isEnabled());
}

void TFrmMain::DisconnectSteps()
{
    m_engine->Close();
    ui->ToolButton4->setText(QStringLiteral("&Connect"));
    ui->ToolButton4->setToolTip(QStringLiteral("Connect to instrument"));
    ui->PgCMain->setTabVisible(ui->PgCMain->indexOf(ui->TSTest), false);
    m_engine->ClearBuffers();
    EnableMenuItems(ui->MenuInstrument, false);
    ui->tbStartSession->setEnabled(false);
    ui->tbEndSession->setEnabled(false);
    setWindowTitle(tools::ReplaceAfter(windowTitle(), kCaptionSeparator, QString()));
}

void TFrmMain::AfterConnectionChange()
{
    ui->Connect2->setText(ui->ToolButton4->text());
    m_device->ClearAll();
    SetSessionControls(false, false);
    if (m_engine->Hooks.blankMimics)
        m_engine->Hooks.blankMimics();
    m_device->ReadIdentity();
    UpdateIdentityPanel();
}

void TFrmMain::OnPortLost(const QString& message)
{
    DisconnectSteps();
    AfterConnectionChange();
    ShowError(message);
}

void TFrmMain::SetSessionControls(bool active, bool full)
{
    QTabWidget* tabs = ui->PgCMain;
    tabs->setTabVisible(tabs->indexOf(ui->TSSettings), active);
    tabs->setTabVisible(tabs->indexOf(ui->TSCal), active && full);
    ui->BtnSend->setEnabled(!active);
    ui->tbEndSession->setEnabled(active);
    for (QAction* item : {ui->Lock1, ui->FullPasscode1, ui->SafePasscode1})
        item->setEnabled(!active);
    ui->EndSession->setEnabled(ui->tbEndSession->isEnabled());
    SessionActive = active;
}

void TFrmMain::UpdateIdentityPanel()
{
    QString text;
    if (m_device && !m_device->SerialNumber.isEmpty()) {
        text = QStringLiteral("Adr:%1, SN:%2, %3 Version:%4")
                   .arg(m_ring->LocalAddress())
                   .arg(m_device->SerialNumber, m_device->ModelVariant,
                        m_device->SoftwareVersion);
    }
    m_panel2->SetText(text);
    m_panel2->SetWarning(TerminalDirty);
    ui->StatusBar->update();
}

bool TFrmMain::CheckCommsVersion()
{
    m_device->ReadIdentity();
    if (m_device->CommsVersion.size() >= 2 && m_device->CommsVersion.at(1) == u'2')
        return true;
    Inform(QStringLiteral("Unknown Instrument Communications"));
    return false;
}

void TFrmMain::ConnectTerminal()
{
    connect(ui->BtnSend, &QPushButton::clicked, this, &TFrmMain::BtnSendClick);
    connect(ui->EdtSendStr, &QLineEdit::returnPressed, this, &TFrmMain::EdtSendStrKeyPress);
    connect(ui->BtnClear, &QPushButton::clicked, this, [this] {
        ui->MemoRx->clear();
        ui->EdtSendStr->setFocus();
    });
    connect(ui->CbControl, &QCheckBox::clicked, this, [this] { ui->EdtSendStr->setFocus(); });
}

void TFrmMain::EchoTraffic(const QString& text)
{
    if (m_engine->WaitState != 1 && ui->PgCMain->currentWidget() != ui->TSTest)
        return;
    QPlainTextEdit* view = ui->MemoRx;
    view->setUpdatesEnabled(false);
    QTextCursor end(view->document());
    end.movePosition(QTextCursor::End);
    end.insertText(terminalrender::Render(text, ui->CbControl->isChecked()));
    view->setTextCursor(end);
    view->setUpdatesEnabled(true);
    view->ensureCursorVisible();
}

void TFrmMain::BtnSendClick()
{
    m_engine->SendRaw(ui->EdtSendStr->text(), ui->cbCRC->isChecked());
    ui->EdtSendStr->setFocus();
    SetTerminalDirty(true);
}

void TFrmMain::EdtSendStrKeyPress()
{
    if (!ui->BtnSend->isEnabled())
        return;
    m_engine->SendRaw(ui->EdtSendStr->text(), ui->cbCRC->isChecked());
    ui->BtnSend->setFocus();
    ui->EdtSendStr->setFocus();
}
