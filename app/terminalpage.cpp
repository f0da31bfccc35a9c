#include "terminalpage.h"

#include "commsengine.h"
#include "terminalrender.h"
#include "ui_terminalpage.h"

#include <QScrollBar>
#include <QTextCursor>

TTerminalPage::TTerminalPage(TCommsEngine& engine, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::TTerminalPage>()), m_engine(engine)
{
    ui->setupUi(this);
    // One line more than the limit: the line being received is a block of its own.
    ui->MemoRx->setMaximumBlockCount(kLines + 1);
    connect(ui->BtnSend, &QPushButton::clicked, this, &TTerminalPage::BtnSendClick);
    connect(ui->EdtSendStr, &QLineEdit::returnPressed, this, &TTerminalPage::EdtSendStrKeyPress);
    connect(ui->BtnClear, &QPushButton::clicked, this, [this] {
        ui->MemoRx->clear();
        m_lineLength = 0;
        ui->EdtSendStr->setFocus();
    });
    connect(ui->CbControl, &QCheckBox::clicked, this, [this] { ui->EdtSendStr->setFocus(); });
    connect(&m_engine, &TCommsEngine::Traffic, this, &TTerminalPage::EchoTraffic);
}

TTerminalPage::~TTerminalPage() = default;

void TTerminalPage::Entered()
{
    m_inFront = true;
    ui->EdtSendStr->setFocus();
}

void TTerminalPage::LinkChanged(const TLinkState& state)
{
    ui->BtnSend->setEnabled(!state.session);
}

void TTerminalPage::MessageReceived(const Tcommsobj& message, bool requestWaiting)
{
    if (!requestWaiting && message.ErrorBit)
        m_engine.ReportReplyError(message);
}

void TTerminalPage::EchoTraffic(const QString& text)
{
    if (m_engine.WaitState() != TCommsEngine::TWaitState::Waiting && !m_inFront)
        return;
    QPlainTextEdit* view = ui->MemoRx;
    view->setUpdatesEnabled(false);
    AppendBounded(terminalrender::Render(text, ui->CbControl->isChecked()));
    view->setUpdatesEnabled(true);
    view->ensureCursorVisible();
}

// Inserting into one ever-growing line costs more with every character, so an endless
// stream without line ends is cut into lines of kLongestLine.
void TTerminalPage::AppendBounded(const QString& rendered)
{
    QString out;
    out.reserve(rendered.size() + rendered.size() / kLongestLine + 1);
    for (QChar c : rendered) {
        if (c == u'\n') {
            m_lineLength = 0;
        } else if (m_lineLength == kLongestLine) {
            out += u'\n';
            m_lineLength = 1;
        } else {
            ++m_lineLength;
        }
        out += c;
    }
    QTextCursor end(ui->MemoRx->document());
    end.movePosition(QTextCursor::End);
    end.insertText(out);
    ui->MemoRx->setTextCursor(end);
}

void TTerminalPage::BtnSendClick()
{
    m_engine.SendRaw(ui->EdtSendStr->text(), ui->cbCRC->isChecked());
    ui->EdtSendStr->setFocus();
    emit TerminalUsed();
}

void TTerminalPage::EdtSendStrKeyPress()
{
    if (!ui->BtnSend->isEnabled())
        return;
    m_engine.SendRaw(ui->EdtSendStr->text(), ui->cbCRC->isChecked());
    ui->BtnSend->setFocus();
    ui->EdtSendStr->setFocus();
}
