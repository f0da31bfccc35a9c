#include "trafficdlg.h"

#include "commsengine.h"
#include "ui_trafficdlg.h"
#include "userprompts.h"

TFrmTraffic::TFrmTraffic(TCommsEngine& engine, IUserPrompts& prompts, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint),
      ui(std::make_unique<Ui::TFrmTraffic>()), m_engine(engine), m_prompts(prompts)
{
    ui->setupUi(this);
    m_timer1.setInterval(kTickMs);
    connect(&m_timer1, &QTimer::timeout, this, &TFrmTraffic::Timer1Timer);
    connect(ui->btnCancel, &QPushButton::clicked, this, &TFrmTraffic::reject);
    // A link that goes away ends the batch at once; the connection says why.
    connect(&m_engine, &TCommsEngine::PortLost, this, &TFrmTraffic::Abandon);
}

TFrmTraffic::~TFrmTraffic() = default;

void TFrmTraffic::SetRequests(const QStringList& requests)
{
    m_requests = requests;
    m_current = 0;
    ui->PBprogress->setRange(0, static_cast<int>(m_requests.size()));
    ui->PBprogress->setValue(0);
    ShowProgress();
}

void TFrmTraffic::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    m_awaitingReply = false;
    m_sendDelay = 2;
    m_tries = 0;
    m_timer1.start();
}

void TFrmTraffic::Timer1Timer()
{
    if (m_sendDelay > 0) {
        --m_sendDelay;
        return;
    }
    if (m_current >= m_requests.size()) {
        m_timer1.stop();
        accept();
        return;
    }
    const QString request = m_requests.at(m_current);
    Tcommsobj record;
    m_awaitedRegister = record.Parse(request) ? record.Register : -1;
    m_engine.SendRaw(request, false);
    m_sendDelay = kResendTicks;
    m_awaitingReply = true;
    if (++m_tries > kMaxTries) {
        m_timer1.stop();
        m_requests.clear();
        m_prompts.Inform(QStringLiteral("Instrument not Responding"));
        QDialog::reject();
    }
}

void TFrmTraffic::MessageReceived(const Tcommsobj& message, bool)
{
    HandleReply(message);
}

// A reply counts for the request in progress only when it names its register: a late
// answer to an earlier transmission must not confirm the next request.
void TFrmTraffic::HandleReply(const Tcommsobj& reply)
{
    if (m_awaitingReply && reply.Register != m_awaitedRegister)
        return;
    if (m_awaitingReply) {
        m_awaitingReply = false;
        m_tries = 0;
        if (reply.ErrorBit)
            m_engine.ReportReplyError(reply);
        ++m_current;
    }
    ui->PBprogress->setValue(std::min(ui->PBprogress->value() + 1, ui->PBprogress->maximum()));
    ShowProgress();
    m_sendDelay = 0;
}

void TFrmTraffic::ShowProgress()
{
    ui->LblSent->setText(
        QStringLiteral("%1 of %2 lines sent").arg(m_current).arg(m_requests.size()));
}

void TFrmTraffic::reject()
{
    m_requests.clear();
    m_sendDelay = 0;
    m_awaitingReply = false;
    m_timer1.stop();
    QDialog::reject();
}

void TFrmTraffic::Abandon()
{
    if (isVisible())
        reject();
}
