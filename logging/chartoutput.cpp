#include "chartoutput.h"

#include "logchart.h"
#include "logprint.h"
#include "printfile.h"
#include "printprompts.h"
#include "userprompts.h"
#include "waitcursor.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>

TChartOutput::TChartOutput(TLogChart& chart, IUserPrompts& prompts, IPrintPrompts& printPrompts,
                           QWidget& parent)
    : m_chart(chart), m_prompts(prompts), m_printPrompts(printPrompts), m_parent(parent)
{
}

void TChartOutput::Print(bool preview)
{
    QPrinter printer(QPrinter::HighResolution);
    if (preview) {
        m_printPrompts.ShowPreview(printer, [this](QPrinter* target) { PrintTo(*target); });
        return;
    }
    if (!m_printPrompts.ChoosePrinter(printer))
        return;
    TWaitCursor wait;
    PrintTo(printer);
}

// To a printer, or to a PDF file made whole in memory first (printfile).
void TChartOutput::PrintTo(QPrinter& printer)
{
    const QString error = printfile::Print(
        printer, [this](QPagedPaintDevice& device, int dpi) { return PaintPage(device, dpi); });
    if (!error.isEmpty())
        m_prompts.ShowError(error);
}

QString TChartOutput::PaintPage(QPagedPaintDevice& device, int dpi)
{
    const QString failed = QStringLiteral("The chart could not be printed.");
    QPainter painter;
    if (!painter.begin(&device))
        return failed;
    const QRect page(QPoint(0, 0), device.pageLayout().paintRectPixels(dpi).size());
    const bool printed = logprint::PaintLogPage(painter, page, m_chart);
    if (auto* printer = dynamic_cast<QPrinter*>(&device); printer && !printed)
        printer->abort();
    painter.end();
    return printed ? QString() : failed;
}

void TChartOutput::Export()
{
    TFrmChartExport dialog(&m_parent);
    dialog.SetChoice(m_export);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_export = dialog.Choice();
    const QString filter = m_export.pdf ? QStringLiteral("PDF Document (*.pdf);;All Files (*.*)")
                                        : QStringLiteral("PNG Picture (*.png);;All Files (*.*)");
    QString path = m_prompts.AskSaveFileName(QStringLiteral("Export Chart"), filter);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += m_export.pdf ? QStringLiteral(".pdf") : QStringLiteral(".png");
    QString error;
    TWaitCursor wait;
    const bool written = m_export.pdf ? m_chart.ExportPdf(path, m_export.size, &error)
                                      : m_chart.ExportPng(path, m_export.size, &error);
    if (!written)
        m_prompts.ShowError(QStringLiteral("The chart could not be written to %1: %2")
                                .arg(QDir::toNativeSeparators(path), error));
}
