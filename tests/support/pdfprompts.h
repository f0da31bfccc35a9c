#pragma once

#include "printprompts.h"

#include <QPrinter>
#include <QString>

#include <functional>

// Prints to a PDF file instead of asking for a printer; the preview paints into the same
// file, as the preview window's pages would be.
class PdfPrompts : public IPrintPrompts
{
public:
    explicit PdfPrompts(QString path) : m_path(std::move(path)) {}
    bool accept = true;
    int previews = 0;

    bool ChoosePrinter(QPrinter& printer) override
    {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(m_path);
        return accept;
    }
    void ShowPreview(QPrinter& printer, const std::function<void(QPrinter*)>& paint) override
    {
        ++previews;
        ChoosePrinter(printer);
        paint(&printer);
    }

private:
    QString m_path;
};
