#pragma once

#include "sessionprompts.h"

#include <QDialog>

#include <memory>

namespace Ui {
class TFrmPasscode;
}

// "Enter Full Passcode" / "Enter Safe Passcode": up to six digits, shown as stars, under the
// label naming the level, and "Wrong passcode" above them when the instrument refused the
// last one. Enter confirms, Escape cancels.
class TFrmPasscode : public QDialog
{
    Q_OBJECT
public:
    explicit TFrmPasscode(const TPasscodeQuestion& question, QWidget* parent = nullptr);
    ~TFrmPasscode() override;

    [[nodiscard]] QString Passcode() const;

private:
    std::unique_ptr<Ui::TFrmPasscode> ui;
};
