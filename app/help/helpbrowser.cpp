#include "helpbrowser.h"

#include <QImage>
#include <QScrollBar>

namespace {

constexpr int kNarrowest = 480; // pixels a picture keeps however narrow the view

} // namespace

QVariant THelpBrowser::loadResource(int type, const QUrl& name)
{
    QVariant resource = QTextBrowser::loadResource(type, name);
    if (type != QTextDocument::ImageResource || !resource.isValid())
        return resource;
    QImage picture = QImage::fromData(resource.toByteArray());
    const int room = viewport()->width() - verticalScrollBar()->sizeHint().width() -
                     2 * static_cast<int>(document()->documentMargin());
    const int width = std::max(room, kNarrowest);
    if (picture.isNull() || picture.width() <= width)
        return resource;
    return picture.scaledToWidth(width, Qt::SmoothTransformation);
}
