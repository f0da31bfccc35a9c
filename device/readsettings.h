#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class TFrmReadSettings;
}

// "Read Instrument Settings": the security level of the session to open, Safe preselected.
class TFrmReadSettings : public QDialog
{
    Q_OBJECT
public:
    explicit TFrmReadSettings(QWidget* parent = nullptr);
    ~TFrmReadSettings() override;

    // 0 Safe Setup, 1 Full Setup.
    [[nodiscard]] int SelectedIndex() const;

private:
    std::unique_ptr<Ui::TFrmReadSettings> ui;
};
