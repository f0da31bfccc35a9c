#include "sendsettings.h"

#include "menunode.h"
#include "ui_sendsettings.h"

#include <QFontDatabase>

namespace {

void AddItems(QTreeWidgetItem* parent, const TMenuNode& node)
{
    auto* item = new QTreeWidgetItem(parent, {node.Caption});
    for (const auto& child : node.Children())
        AddItems(item, *child);
}

} // namespace

TFrmSendSettings::TFrmSendSettings(const TMenuNode& tree, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TFrmSendSettings>())
{
    ui->setupUi(this);
    ui->tvSettings->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    for (const auto& top : tree.Children()) {
        auto* item = new QTreeWidgetItem(ui->tvSettings, {top->Caption});
        for (const auto& child : top->Children())
            AddItems(item, *child);
    }
    ui->tvSettings->expandAll();
    if (QTreeWidgetItem* top = ui->tvSettings->topLevelItem(0))
        ui->tvSettings->setCurrentItem(top);
    ui->tvSettings->setFocus();
}

TFrmSendSettings::~TFrmSendSettings() = default;

bool TFrmSendSettings::IncludeCalibration() const
{
    return ui->CBxCal->isChecked();
}
