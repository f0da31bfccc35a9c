#include "terminalpage.h"

#include "commsengine.h"
#include "terminalrender.h"
#include "ui_terminalpage.h"
#include "userprompts.h"

#include <QFileInfo>
#include <QKeyEvent>
#include <QTextCursor>
#include <QTime>

TTerminalPage::TTerminalPage(TCommsEngine& engine, IUserPrompts& prompts, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::TTerminalPage>()), m_engine(engine),
      m_prompts(prompts)
{
    ui->setupUi(this);
    // One line more than the limit: the line being received is a block of its own.
    ui->MemoRx->setMaximumBlockCount(kLines + 1);
    connect(ui->BtnSend, &QPushButton::clicked, this, &TTerminalPage::BtnSendClick);
    connect(ui->EdtSendStr, &QLineEdit::returnPressed, this, &TTerminalPage::EdtSendStrKeyPress);
    connect(ui->BtnClear, &QPushButton::clicked, this, &TTerminalPage::ClearView);
    // A box ticked by its Alt key leaves the typing where it was.
    for (QCheckBox* box : {ui->CbControl, ui->CbHex, ui->CbTimestamps})
        connect(box, &QCheckBox::clicked, this, [this] { ui->EdtSendStr->setFocus(); });
    // The hexadecimal view shows every byte, so the choice of control characters is moot.
    connect(ui->CbHex, &QCheckBox::toggled, ui->CbControl, &QWidget::setDisabled);
    ui->EdtSendStr->installEventFilter(this);
    ui->LblSendRefused->setText(QString::fromLatin1(kSendRefused));
    ui->LblSendRefused->hide();
    connect(&m_engine, &TCommsEngine::Traffic, this, &TTerminalPage::EchoTraffic);
    connect(&m_engine, &TCommsEngine::Sent, this,
            [this](const QString& framed) { m_record.AddSent(framed); });
    connect(&m_engine, &TCommsEngine::ReceivedCharacters, this,
            [this](const QString& characters) { m_record.AddReceived(characters); });
    connect(ui->BtnSaveTraffic, &QPushButton::clicked, this, &TTerminalPage::BtnSaveTrafficClick);
    connect(&m_engine, &TCommsEngine::PortLost, this, [this](const QString& message) {
        m_record.AddNote(QStringLiteral("link lost: %1").arg(message));
        m_lossNoted = true;
    });
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
    const QString why = state.session ? QString::fromLatin1(kSendRefused) : QString();
    ui->BtnSend->setToolTip(why);
    ui->BtnSend->setStatusTip(why);
    ui->LblSendRefused->setVisible(state.session);
    // The record goes on across connections: what came before a loss is what a support call
    // asks for.
    if (state.connected && !m_connected) {
        if (m_record.Started())
            m_record.AddNote(QStringLiteral("link open again"));
        else
            m_record.Restart();
    }
    if (!state.connected && m_connected) {
        // A loss is told by the engine right after this; a closed link is noted only without.
        QTimer::singleShot(0, this, [this] {
            if (!std::exchange(m_lossNoted, false))
                m_record.AddNote(QStringLiteral("link closed"));
        });
    }
    m_connected = state.connected;
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
    static const QLatin1String kSent(">>>");
    if (!ui->CbHex->isChecked())
        AppendBounded(terminalrender::Render(text, ui->CbControl->isChecked()));
    else if (text.startsWith(kSent))
        AppendBounded(kSent + u' ' + terminalrender::Hex(text.mid(kSent.size())));
    else
        AppendBounded(terminalrender::Hex(text));
    m_show.Request();
}

bool TTerminalPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != ui->EdtSendStr || event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Up) {
        if (const std::optional<QString> line = m_history.Older())
            ui->EdtSendStr->setText(*line);
        return true;
    }
    if (key == Qt::Key_Down) {
        ui->EdtSendStr->setText(m_history.Newer());
        return true;
    }
    return false;
}

// Inserting into one ever-growing line costs more with every character, so an endless
// stream without line ends is cut into lines of kLongestLine.
void TTerminalPage::AppendBounded(const QString& rendered)
{
    const QString stamp = ui->CbTimestamps->isChecked()
                              ? QTime::currentTime().toString(QStringLiteral("hh:mm:ss.zzz  "))
                              : QString();
    for (QChar c : rendered) {
        if (m_lineLength == 0 && c != u'\n' && !stamp.isEmpty()) {
            m_pending += stamp;
            m_lineLength = static_cast<int>(stamp.size());
        }
        if (c == u'\n') {
            m_lineLength = 0;
        } else if (m_lineLength == kLongestLine) {
            m_pending += u'\n';
            m_lineLength = 1;
        } else {
            ++m_lineLength;
        }
        m_pending += c;
    }
}

void TTerminalPage::ShowPending()
{
    if (m_pending.isEmpty())
        return;
    QTextCursor end(ui->MemoRx->document());
    end.movePosition(QTextCursor::End);
    end.insertText(std::exchange(m_pending, QString()));
    ui->MemoRx->setTextCursor(end);
    ui->MemoRx->ensureCursorVisible();
}

void TTerminalPage::ClearView()
{
    m_show.Cancel();
    m_pending.clear();
    ui->MemoRx->clear();
    m_lineLength = 0;
    ui->EdtSendStr->setFocus();
}

void TTerminalPage::SendLine()
{
    m_history.Add(ui->EdtSendStr->text());
    m_engine.SendRaw(ui->EdtSendStr->text(), ui->cbCRC->isChecked());
}

void TTerminalPage::BtnSendClick()
{
    SendLine();
    ui->EdtSendStr->setFocus();
    emit TerminalUsed();
}

void TTerminalPage::EdtSendStrKeyPress()
{
    if (!ui->BtnSend->isEnabled())
        return;
    SendLine();
    ui->BtnSend->setFocus();
    ui->EdtSendStr->setFocus();
}

void TTerminalPage::BtnSaveTrafficClick()
{
    QString path = m_prompts.AskSaveFileName(QStringLiteral("Save Traffic"),
                                             QStringLiteral("Text (*.txt);;All Files (*.*)"));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".txt");
    const QString error = m_record.Save(path);
    if (!error.isEmpty())
        m_prompts.ShowError(error);
}
