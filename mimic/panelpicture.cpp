#include "panelpicture.h"
#include "mimiclog.h"

#include "jpegloader.h"

#include <QDir>
#include <QFileInfo>

TPanelPicture::TPanelPicture(QString path) : path_(std::move(path)) {}

void TPanelPicture::SetPath(const QString& path)
{
    path_ = path;
    stampTime_ = {};
    stampSize_ = -1;
    stampError_.clear();
}

TPanelPicture::Result TPanelPicture::Refresh()
{
    const QFileInfo info(path_);
    if (!info.isFile()) {
        stampTime_ = {};
        stampSize_ = -1;
        return {Status::Failed, QStringLiteral("The Instrument image file %1 is missing.")
                                    .arg(QDir::toNativeSeparators(path_))};
    }
    if (info.lastModified() == stampTime_ && info.size() == stampSize_)
        return stampError_.isEmpty() ? Result{} : Result{Status::Failed, stampError_};
    stampTime_ = info.lastModified();
    stampSize_ = info.size();
    PictureResult picture = jpegloader::LoadPicture(path_);
    stampError_ = picture.error;
    if (!picture.ok())
        return {Status::Failed, stampError_};
    qCDebug(lcMimic) << "front-panel picture loaded" << path_ << picture.image.size();
    image_ = std::move(picture.image);
    scaled_ = {};
    return {Status::Loaded, {}};
}

const QImage& TPanelPicture::Scaled(QSize size)
{
    if (image_.isNull() || size.isEmpty()) {
        static const QImage none;
        return none;
    }
    if (scaled_.size() != size)
        scaled_ = image_.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return scaled_;
}
