#include "chartexport.h"

#include "ui_chartexport.h"

namespace {

constexpr int kPng = 0;
constexpr int kPdf = 1;

} // namespace

TFrmChartExport::TFrmChartExport(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TFrmChartExport>())
{
    ui->setupUi(this);
}

TFrmChartExport::~TFrmChartExport() = default;

void TFrmChartExport::SetChoice(const TExportChoice& choice)
{
    ui->CbxFormat->setCurrentIndex(choice.pdf ? kPdf : kPng);
    ui->EdtWidth->setValue(choice.size.width());
    ui->EdtHeight->setValue(choice.size.height());
}

TExportChoice TFrmChartExport::Choice() const
{
    return {ui->CbxFormat->currentIndex() == kPdf,
            QSize(ui->EdtWidth->value(), ui->EdtHeight->value())};
}
