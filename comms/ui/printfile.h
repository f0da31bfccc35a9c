#pragma once

#include <QString>

#include <functional>

class QPagedPaintDevice;
class QPrinter;

// Printing as every file the program writes is made: when the print dialog's choice is a PDF
// file, the document is made in memory and written whole or not at all, so a full disk never
// leaves a cut-off document in place of an earlier one.
namespace printfile {

// Paints the pages, given the device and its resolution in dots per inch: the error text, or
// empty.
using TPaint = std::function<QString(QPagedPaintDevice& device, int dpi)>;

// Paints on the printer, or for a printer that prints to a PDF file on a document in memory
// laid out as its pages, then written to that file; the error text, or empty.
[[nodiscard]] QString Print(QPrinter& printer, const TPaint& paint);

} // namespace printfile
