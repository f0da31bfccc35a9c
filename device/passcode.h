#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class TFrmPasscode;
}

// "Enter Passcode": up to six digits, shown as stars. Enter confirms, Escape cancels.
class TFrmPasscode : public QDialog
{
    Q_OBJECT
public:
    explicit TFrmPasscode(const QString& caption, QWidget* parent = nullptr);
    ~TFrmPasscode() override;

    [[nodiscard]] QString Passcode() const;

private:
    std::unique_ptr<Ui::TFrmPasscode> ui;
};
