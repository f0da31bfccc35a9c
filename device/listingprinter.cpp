#include "listingprinter.h"

#include "printfile.h"

#include <QFont>
#include <QPainter>
#include <QPrinter>

namespace listingprinter {

namespace {

QFont ListingFont()
{
    QFont font(QStringLiteral("Courier"), 12);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}

int LineHeight(int dpi)
{
    const int points = 12 * dpi / 72;
    return std::max(1, points * 9 / 8);
}

QString PrintPages(QPagedPaintDevice& device, int dpi, const std::vector<QStringList>& pages)
{
    QPainter painter;
    if (!painter.begin(&device))
        return QStringLiteral("The printer could not be started.");
    painter.setFont(QFont(ListingFont(), &device));
    const int lineHeight = LineHeight(dpi);
    const int ascent = painter.fontMetrics().ascent();
    for (size_t page = 0; page < pages.size(); ++page) {
        if (page > 0)
            device.newPage();
        int y = ascent;
        for (const QString& line : pages[page]) {
            painter.drawText(0, y, line);
            y += lineHeight;
        }
    }
    painter.end();
    return {};
}

} // namespace

int LineHeight(const QPrinter& printer)
{
    return LineHeight(printer.resolution());
}

int LinesPerPage(const QPrinter& printer)
{
    const int height = printer.pageLayout().paintRectPixels(printer.resolution()).height();
    return std::max(1, height / LineHeight(printer));
}

QString Print(QPrinter& printer, const std::vector<QStringList>& pages)
{
    return printfile::Print(printer, [&pages](QPagedPaintDevice& device, int dpi) {
        return PrintPages(device, dpi, pages);
    });
}

} // namespace listingprinter
