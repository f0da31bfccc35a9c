#pragma once

#include <QDialog>

#include <memory>

class TSettingsTransfer;
namespace Ui {
class TFrmTraffic;
}

// "Write Settings to Instrument": a settings transfer's progress while it runs, the lines sent
// of all, a busy animation, and Cancel. It closes with OK when every request was answered.
class TFrmTraffic : public QDialog
{
    Q_OBJECT
public:
    TFrmTraffic(TSettingsTransfer& transfer, QWidget* parent = nullptr);
    ~TFrmTraffic() override;

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ShowProgress();

    std::unique_ptr<Ui::TFrmTraffic> ui;
    TSettingsTransfer& m_transfer;
};
