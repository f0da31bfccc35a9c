#pragma once

#include <QDialog>
#include <QSize>

#include <memory>

namespace Ui {
class TFrmChartExport;
}

// How the chart is exported: as a PNG picture or a PDF document, at a size in pixels.
struct TExportChoice
{
    bool pdf = false;
    QSize size{1600, 1000};

    bool operator==(const TExportChoice&) const = default;
};

// The Export Chart dialog: the format and size of an exported chart.
class TFrmChartExport : public QDialog
{
    Q_OBJECT

public:
    explicit TFrmChartExport(QWidget* parent = nullptr);
    ~TFrmChartExport() override;

    void SetChoice(const TExportChoice& choice);
    [[nodiscard]] TExportChoice Choice() const;

private:
    std::unique_ptr<Ui::TFrmChartExport> ui;
};
