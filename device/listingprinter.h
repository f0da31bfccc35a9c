#pragma once

#include <QString>
#include <QStringList>

#include <vector>

class QPrinter;

// Prints a text listing as a line printer would: 12-point Courier, a line height of 9/8 of
// the font size, one given page after the other.
namespace listingprinter {

[[nodiscard]] int LineHeight(const QPrinter& printer);
[[nodiscard]] int LinesPerPage(const QPrinter& printer);
// Prints the pages (to a PDF file: whole or not at all); the error text when the printer
// could not be started or the file not written, else empty.
[[nodiscard]] QString Print(QPrinter& printer, const std::vector<QStringList>& pages);

} // namespace listingprinter
