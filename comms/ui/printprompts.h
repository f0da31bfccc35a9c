#pragma once

#include <functional>

class QPrinter;

// Printing as the user chooses it: the print dialog and the preview window. The program shows
// Qt's dialogs; tests print to a PDF file.
class IPrintPrompts
{
public:
    virtual ~IPrintPrompts() = default;
    // The print dialog for `printer`; false when cancelled.
    virtual bool ChoosePrinter(QPrinter& printer) = 0;
    // The preview window, drawing the pages with `paint` as often as it needs them.
    virtual void ShowPreview(QPrinter& printer, const std::function<void(QPrinter*)>& paint) = 0;
};
