#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class TFrmSilencePrompt;
}

// Shown in place of the first no-response message on the optical link: how to wake the
// instrument's optical port.
class TFrmSilencePrompt : public QDialog
{
    Q_OBJECT
public:
    explicit TFrmSilencePrompt(QWidget* parent = nullptr);
    ~TFrmSilencePrompt() override;

private:
    std::unique_ptr<Ui::TFrmSilencePrompt> ui;
};
