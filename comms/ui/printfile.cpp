#include "printfile.h"

#include "atomicfile.h"

#include <QBuffer>
#include <QDir>
#include <QPdfWriter>
#include <QPrinter>

namespace printfile {

QString Print(QPrinter& printer, const TPaint& paint)
{
    const QString path = printer.outputFileName();
    if (path.isEmpty() || printer.outputFormat() != QPrinter::PdfFormat)
        return paint(printer, printer.resolution());
    QBuffer document;
    document.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&document);
        writer.setResolution(printer.resolution());
        writer.setPageLayout(printer.pageLayout());
        writer.setTitle(printer.docName());
        writer.setCreator(printer.creator());
        if (QString error = paint(writer, printer.resolution()); !error.isEmpty())
            return error;
    }
    const QString error = TAtomicFile::WriteFile(path, document.data());
    if (!error.isEmpty())
        return QStringLiteral("Cannot write %1: %2").arg(QDir::toNativeSeparators(path), error);
    return {};
}

} // namespace printfile
