#include "listingprinter.h"

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

int PrintableHeight(const QPrinter& printer)
{
    return printer.pageLayout().paintRectPixels(printer.resolution()).height();
}

} // namespace

int LineHeight(const QPrinter& printer)
{
    const int points = 12 * printer.resolution() / 72;
    return std::max(1, points * 9 / 8);
}

int LinesPerPage(const QPrinter& printer)
{
    return std::max(1, PrintableHeight(printer) / LineHeight(printer));
}

QString Print(QPrinter& printer, const std::vector<QStringList>& pages)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return QStringLiteral("The printer could not be started.");
    painter.setFont(QFont(ListingFont(), &printer));
    const int lineHeight = LineHeight(printer);
    const int ascent = painter.fontMetrics().ascent();
    for (size_t page = 0; page < pages.size(); ++page) {
        if (page > 0)
            printer.newPage();
        int y = ascent;
        for (const QString& line : pages[page]) {
            painter.drawText(0, y, line);
            y += lineHeight;
        }
    }
    painter.end();
    return {};
}

} // namespace listingprinter
