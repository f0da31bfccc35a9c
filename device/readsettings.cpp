#include "readsettings.h"

#include "ui_readsettings.h"

TFrmReadSettings::TFrmReadSettings(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TFrmReadSettings>())
{
    ui->setupUi(this);
    ui->rgSetup_0->setFocus();
}

TFrmReadSettings::~TFrmReadSettings() = default;

int TFrmReadSettings::SelectedIndex() const
{
    return ui->rgSetup_1->isChecked() ? 1 : 0;
}
