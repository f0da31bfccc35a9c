#include "panelpicture.h"
#include "mimiclog.h"

#include "jpegloader.h"

#include <QDir>
#include <QFileInfo>

TPanelPicture::TPanelPicture(QString path) : m_path(std::move(path)) {}

void TPanelPicture::SetPath(const QString& path)
{
    m_path = path;
    m_stampTime = {};
    m_stampSize = -1;
    m_stampError.clear();
}

TPanelPicture::Result TPanelPicture::Refresh()
{
    const QFileInfo info(m_path);
    if (!info.isFile()) {
        m_stampTime = {};
        m_stampSize = -1;
        return {Status::Failed, QStringLiteral("The Instrument image file %1 is missing.")
                                    .arg(QDir::toNativeSeparators(m_path))};
    }
    if (info.lastModified() == m_stampTime && info.size() == m_stampSize)
        return m_stampError.isEmpty() ? Result{} : Result{Status::Failed, m_stampError};
    m_stampTime = info.lastModified();
    m_stampSize = info.size();
    PictureResult picture = jpegloader::LoadPicture(m_path);
    m_stampError = picture.error;
    if (!picture.ok())
        return {Status::Failed, m_stampError};
    qCDebug(lcMimic) << "front-panel picture loaded" << m_path << picture.image.size();
    m_image = std::move(picture.image);
    m_scaled = {};
    return {Status::Loaded, {}};
}

const QImage& TPanelPicture::Scaled(QSize size)
{
    if (m_image.isNull() || size.isEmpty()) {
        static const QImage none;
        return none;
    }
    if (m_scaled.size() != size)
        m_scaled = m_image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return m_scaled;
}
