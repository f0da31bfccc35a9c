#include "panelpicture.h"
#include "mimiclog.h"

#include "jpegloader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <vector>

namespace {

// The mean of each `fx` x `fy` block of an 8-bit RGB or 32-bit RGB picture, as 32-bit RGB
// (the blocks at the right and bottom edges hold what is left): an exact area average, cheap
// enough to take most of a large reduction before the smooth scaling, which then works on a
// picture a fraction of the size. The rows of a block are summed byte by byte first (a loop
// the compiler vectorises), the columns once per block row.
QImage BoxReduced(const QImage& source, int fx, int fy)
{
    const bool packed = source.format() == QImage::Format_RGB888;
    const int step = packed ? 3 : 4;
    const int red = packed ? 0 : 2; // 32-bit pixels are B, G, R, A in memory
    const int blue = packed ? 2 : 0;
    const int sourceWidth = source.width();
    const int sourceHeight = source.height();
    const int width = (sourceWidth + fx - 1) / fx;
    const int height = (sourceHeight + fy - 1) / fy;
    const int lastColumns = sourceWidth - (width - 1) * fx;
    const size_t rowBytes = size_t(sourceWidth) * size_t(step);
    QImage reduced(width, height, QImage::Format_RGB32);
    std::vector<uint32_t> sums(rowBytes);
    for (int y = 0; y < height; ++y) {
        std::fill(sums.begin(), sums.end(), 0);
        const int rows = std::min(fy, sourceHeight - y * fy);
        for (int r = 0; r < rows; ++r) {
            const uchar* in = source.constScanLine(y * fy + r);
            uint32_t* sum = sums.data();
            for (size_t i = 0; i < rowBytes; ++i)
                sum[i] += in[i];
        }
        // Multiplied by the inverse area (rounding): a division per channel would cost more
        // than all the rest.
        auto* out = reinterpret_cast<QRgb*>(reduced.scanLine(y));
        const uint32_t* sum = sums.data();
        for (int x = 0; x < width; ++x) {
            const int columns = x + 1 < width ? fx : lastColumns;
            uint32_t rgb[3] = {};
            for (int c = 0; c < columns; ++c, sum += step) {
                rgb[0] += sum[red];
                rgb[1] += sum[1];
                rgb[2] += sum[blue];
            }
            const float f = 1.0f / float(rows * columns);
            out[x] = qRgb(int(float(rgb[0]) * f + 0.5f), int(float(rgb[1]) * f + 0.5f),
                          int(float(rgb[2]) * f + 0.5f));
        }
    }
    return reduced;
}

// `source` stretched smoothly to `size` as 32-bit RGB. Whole factors of a large reduction are
// taken by block averages first (what the smooth scaling would compute for them, at a
// fraction of the time and memory); the rest by Qt's smooth scaling.
QImage SmoothScaled(QImage source, QSize size)
{
    const int fx = std::max(1, source.width() / size.width());
    const int fy = std::max(1, source.height() / size.height());
    if (fx * fy >= 4 &&
        (source.format() == QImage::Format_RGB888 || source.format() == QImage::Format_RGB32))
        source = BoxReduced(source, fx, fy);
    else if (fx * fy >= 4)
        source = BoxReduced(source.convertToFormat(QImage::Format_RGB32), fx, fy);
    else
        source.convertTo(QImage::Format_RGB32);
    if (source.size() == size)
        return source;
    return source.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_RGB32);
}

} // namespace

TPanelPicture::TPanelPicture(QString path) : m_path(std::move(path)) {}

void TPanelPicture::SetPath(const QString& path)
{
    m_path = path;
    m_stampTime = {};
    m_stampSize = -1;
    m_stampError.clear();
}

TPanelPicture::Result TPanelPicture::Refresh(QSize drawnAt)
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
    QString error;
    QByteArray bytes = jpegloader::ReadPictureFile(m_path, error);
    const bool jpeg = jpegloader::IsJpegName(m_path);
    // Decoded now, so that a damaged file is reported at once; kept for the first paint.
    PictureResult picture = error.isEmpty() ? jpeg ? jpegloader::DecodeJpeg(bytes, m_path, drawnAt)
                                                   : jpegloader::LoadPicture(m_path)
                                            : PictureResult{{}, error, {}};
    m_stampError = picture.error;
    if (!picture.ok())
        return {Status::Failed, m_stampError};
    qCDebug(lcMimic) << "front-panel picture loaded" << m_path << picture.sourceSize << "decoded at"
                     << picture.image.size();
    // Kept encoded (a fraction of the decoded size) for the next change of size.
    m_file = std::move(bytes);
    m_jpeg = jpeg;
    m_imageSize = picture.sourceSize;
    m_full = std::move(picture.image);
    m_scaled = {};
    return {Status::Loaded, {}};
}

QImage TPanelPicture::Decoded(QSize size) const
{
    if (m_jpeg)
        return jpegloader::DecodeJpeg(m_file, m_path, size).image;
    return QImage::fromData(m_file);
}

bool TPanelPicture::FullServes(QSize size) const
{
    return !m_full.isNull() && (m_full.size() == m_imageSize || (m_full.width() >= size.width() &&
                                                                 m_full.height() >= size.height()));
}

const QImage& TPanelPicture::Scaled(QSize size)
{
    static const QImage none;
    if (m_imageSize.isEmpty() || size.isEmpty())
        return none;
    if (m_scaled.size() == size)
        return m_scaled;
    if (!FullServes(size)) {
        QImage finer = Decoded(size);
        if (!finer.isNull())
            m_full = std::move(finer);
    }
    QImage source = m_full;
    // The bytes decoded once already; should they not again, the copy at hand still serves.
    if (source.isNull())
        source = m_scaled;
    if (source.isNull())
        return none;
    m_scaled = SmoothScaled(std::move(source), size);
    return m_scaled;
}
