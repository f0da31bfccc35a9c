#pragma once

#include "chartexport.h"

#include <QString>

class IPrintPrompts;
class IUserPrompts;
class QPagedPaintDevice;
class QPrinter;
class QWidget;
class TLogChart;

// File > Print, Print Preview and Export Chart of the Log page: the chart, with the heading
// and legend it carries on paper, on a printer, in the preview, or as a PNG picture or a PDF
// document of the size chosen in the Export Chart dialog (kept for the next export).
class TChartOutput
{
public:
    TChartOutput(TLogChart& chart, IUserPrompts& prompts, IPrintPrompts& printPrompts,
                 QWidget& parent);

    void Print(bool preview);
    void Export();

private:
    void PrintTo(QPrinter& printer);
    [[nodiscard]] QString PaintPage(QPagedPaintDevice& device, int dpi);

    TLogChart& m_chart;
    IUserPrompts& m_prompts;
    IPrintPrompts& m_printPrompts;
    QWidget& m_parent;
    TExportChoice m_export;
};
