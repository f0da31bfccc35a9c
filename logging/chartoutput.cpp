#include "chartoutput.h"

#include "logchart.h"
#include "logprint.h"
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

void TChartOutput::PrintTo(QPrinter& printer)
{
    const QString failed = QStringLiteral("The chart could not be printed.");
    QPainter painter;
    if (!painter.begin(&printer)) {
        m_prompts.ShowError(failed);
        return;
    }
    const QRect page(QPoint(0, 0),
                     printer.pageLayout().paintRectPixels(printer.resolution()).size());
    const bool printed = logprint::PaintLogPage(painter, page, m_chart);
    if (!printed)
        printer.abort();
    painter.end();
    if (!printed)
        m_prompts.ShowError(failed);
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
    TWaitCursor wait;
    const bool written = m_export.pdf ? m_chart.ExportPdf(path, m_export.size)
                                      : m_chart.ExportPng(path, m_export.size);
    if (!written)
        m_prompts.ShowError(QStringLiteral("The chart could not be written to %1.")
                                .arg(QDir::toNativeSeparators(path)));
}
