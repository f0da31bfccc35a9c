#include "artgen.h"
#include "segmentart.h"

#include <QDir>

namespace artgen {

namespace {

bool Save(const QImage& image, const QString& path, QString* error)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (image.save(path, nullptr, 92))
        return true;
    *error = QStringLiteral("cannot write %1").arg(path);
    return false;
}

} // namespace

bool WriteAll(const QString& resourcesDir, QString* error)
{
    const QDir dir(resourcesDir);
    return Save(DrawAppIcon(), dir.filePath(QStringLiteral("desktop/q900viewer.png")), error) &&
           Save(DrawLogo(), dir.filePath(QStringLiteral("images/logo.jpg")), error) &&
           Save(DrawLogo(), dir.filePath(QStringLiteral("data/logo.jpg")), error) &&
           Save(DrawOpticalPrompt(), dir.filePath(QStringLiteral("images/opticallink.jpg")),
                error) &&
           Save(DrawFrontPanel(), dir.filePath(QStringLiteral("data/Q910.jpg")), error) &&
           WriteSegmentPictures(dir.filePath(QStringLiteral("data")), error);
}

} // namespace artgen
