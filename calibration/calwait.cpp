#include "calwait.h"

#include "statuswait.h"
#include "ui_calwait.h"

#include <QCloseEvent>

namespace {

constexpr int kRefreshMs = 250;

} // namespace

TFrmCalWait::TFrmCalWait(TStatusWait& wait, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TFrmCalWait>()), m_wait(wait)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowModality(Qt::ApplicationModal);
    ui->LblBusy->setText(QStringLiteral("Waiting for the instrument"));
    connect(ui->BtnCancel, &QPushButton::clicked, this, &TFrmCalWait::reject);
    connect(&wait, &TStatusWait::StatusRead, this, &TFrmCalWait::ShowStatus);
    connect(&m_timer, &QTimer::timeout, this, &TFrmCalWait::ShowElapsed);
    m_clock.start();
    m_timer.start(kRefreshMs);
    ShowElapsed();
    ui->BtnCancel->setFocus();
}

TFrmCalWait::~TFrmCalWait() = default;

QString TFrmCalWait::ElapsedText(qint64 ms)
{
    return QStringLiteral("Elapsed: %1 s").arg(ms / 1000);
}

QString TFrmCalWait::StateText(bool busy, int readingsLeft)
{
    if (busy)
        return QStringLiteral("Instrument busy");
    return QStringLiteral("Instrument not busy (%1 of %2 readings)")
        .arg(TStatusWait::kQuietReadings - readingsLeft)
        .arg(TStatusWait::kQuietReadings);
}

void TFrmCalWait::reject()
{
    m_wait.Cancel();
    ui->BtnCancel->setEnabled(false);
    ui->LblBusy->setText(QStringLiteral("Cancelling..."));
}

void TFrmCalWait::closeEvent(QCloseEvent* event)
{
    event->ignore();
    reject();
}

void TFrmCalWait::ShowElapsed()
{
    ui->LblElapsed->setText(ElapsedText(m_clock.elapsed()));
}

void TFrmCalWait::ShowStatus(uint32_t, bool busy, int readingsLeft)
{
    if (!m_wait.Cancelled())
        ui->LblBusy->setText(StateText(busy, readingsLeft));
}
