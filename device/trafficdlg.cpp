#include "trafficdlg.h"

#include "settingstransfer.h"
#include "ui_trafficdlg.h"

TFrmTraffic::TFrmTraffic(TSettingsTransfer& transfer, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint),
      ui(std::make_unique<Ui::TFrmTraffic>()), m_transfer(transfer)
{
    ui->setupUi(this);
    connect(ui->btnCancel, &QPushButton::clicked, this, &TFrmTraffic::reject);
    connect(&m_transfer, &TSettingsTransfer::ProgressChanged, this, &TFrmTraffic::ShowProgress);
    connect(&m_transfer, &TSettingsTransfer::Finished, this,
            [this](TSettingsTransfer::TResult result) {
                if (result == TSettingsTransfer::TResult::Done)
                    accept();
                else
                    QDialog::reject();
            });
    ShowProgress();
}

TFrmTraffic::~TFrmTraffic() = default;

void TFrmTraffic::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    m_transfer.Start();
}

void TFrmTraffic::reject()
{
    m_transfer.Cancel();
    QDialog::reject();
}

void TFrmTraffic::ShowProgress()
{
    ui->PBprogress->setRange(0, m_transfer.Count());
    ui->PBprogress->setValue(m_transfer.Progress());
    ui->LblSent->setText(
        QStringLiteral("%1 of %2 lines sent").arg(m_transfer.Current()).arg(m_transfer.Count()));
}
