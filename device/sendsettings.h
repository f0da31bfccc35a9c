#pragma once

#include <QDialog>

#include <memory>

class TMenuNode;
namespace Ui {
class TFrmSendSettings;
}

// "Settings to Send": the outline of a settings file, fully open, and whether its calibration
// goes with it. Send accepts, Cancel (or Escape) sends nothing.
class TFrmSendSettings : public QDialog
{
    Q_OBJECT
public:
    // `tree`: the holder node whose child is the file's top node.
    explicit TFrmSendSettings(const TMenuNode& tree, QWidget* parent = nullptr);
    ~TFrmSendSettings() override;

    [[nodiscard]] bool IncludeCalibration() const;

private:
    std::unique_ptr<Ui::TFrmSendSettings> ui;
};
