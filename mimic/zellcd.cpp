#include "zellcd.h"
#include "mimiclog.h"

#include "jpegloader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPainter>

#include <algorithm>

TZelLCD::TZelLCD()
{
    if (QCoreApplication::instance())
        Directory = QCoreApplication::applicationDirPath();
}

QRgb TZelLCD::ToRgb(uint32_t colour)
{
    return qRgb(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
}

QString TZelLCD::MapPath() const
{
    return QDir(Directory).filePath(Name + QStringLiteral(".zmp"));
}

QString TZelLCD::DiagnosticPath() const
{
    return QDir(Directory).filePath(Name + QStringLiteral(".bmp"));
}

QImage TZelLCD::SegmentPicture(const TSegmentDefinition& def, QString* error) const
{
    if (UseImageList) {
        if (ImageList && def.ImageIndex >= 0 && def.ImageIndex < ImageList->size())
            return ImageList->at(def.ImageIndex);
        *error = QStringLiteral("The image list holds no segment picture %1").arg(def.ImageIndex);
        return {};
    }
    QString relative = def.FileName;
    relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
    PictureResult picture = jpegloader::LoadPicture(QDir(Directory).filePath(relative));
    *error = picture.error;
    return picture.image;
}

QString TZelLCD::LoadSegment(int position, int segment, TZelBitmap& map) const
{
    QString error;
    // Black is judged by colour, so a picture's palette order does not matter.
    const QImage picture =
        SegmentPicture(Segments[position * kSegmentsPerPosition + segment], &error)
            .convertToFormat(QImage::Format_RGB32);
    if (!error.isEmpty())
        return error;
    const TSegmentDefinition& def = Segments[position * kSegmentsPerPosition + segment];
    const auto number = uint16_t(segment * kLcdPositions + position);
    for (int r = 0; r < picture.height(); ++r) {
        const int y = def.Top + r;
        if (y >= map.Height())
            break;
        const auto* line = reinterpret_cast<const QRgb*>(picture.constScanLine(r));
        for (int c = 0; c < picture.width(); ++c) {
            const int x = def.Left + c;
            if (x >= map.Width())
                break;
            if (y >= 0 && x >= 0 && (line[c] & RGB_MASK) == 0)
                map.Set(x, y, number);
        }
    }
    return {};
}

QString TZelLCD::BuildFromPictures(TZelBitmap& map) const
{
    map.SetSize(MapWidth, MapHeight);
    map.Fill(TZelBitmap::kBackground);
    for (int position = 0; position < kLcdPositions; ++position) {
        for (int segment = 0; segment < kSegmentsPerPosition; ++segment) {
            if (QString error = LoadSegment(position, segment, map); !error.isEmpty())
                return error;
        }
    }
    // The map is usable even where the program directory is read-only; the next run
    // simply builds it again.
    if (QString error = map.SaveToFile(MapPath()); !error.isEmpty())
        qCWarning(lcMimic) << error;
    else if (QString error = map.SaveAsBitmap(DiagnosticPath()); !error.isEmpty())
        qCWarning(lcMimic) << error;
    return {};
}

QString TZelLCD::FullSizeMap(TZelBitmap& map) const
{
    if (QFileInfo::exists(MapPath())) {
        const QString refused = map.LoadFromFile(MapPath());
        if (refused.isEmpty())
            return {};
        qCWarning(lcMimic) << refused << "- building it again from the segment pictures";
    }
    qCInfo(lcMimic) << "building the segment map" << MapPath();
    return BuildFromPictures(map);
}

QString TZelLCD::CreatePalette(int width, int height)
{
    m_palette = QList<QRgb>(256, qRgb(0, 0, 0));
    UpdatePalette();
    return BuildMap(width, height);
}

void TZelLCD::UpdatePalette()
{
    (*m_palette)[kOffIndex] = ToRgb(OffColour);
    (*m_palette)[kOnIndex] = ToRgb(OnColour);
    m_drawnState.reset(); // the frame's pixels hold the old colours
}

QString TZelLCD::BuildMap(int width, int height)
{
    if (!m_palette)
        return CreatePalette(width, height);
    m_drawnState.reset();
    // The window's own pixel format: painting it is a copy, never a conversion.
    m_outputBitmap = QImage(width, height, QImage::Format_RGB32);
    m_scaledMap.SetSize(width, height);
    TZelBitmap full;
    m_mapError = FullSizeMap(full);
    if (m_mapError.isEmpty())
        m_scaledMap.ScaleFrom(full);
    else
        m_scaledMap.Fill(TZelBitmap::kBackground);
    return m_mapError;
}

void TZelLCD::Repaint()
{
    const QRgb off = (*m_palette)[kOffIndex];
    const QRgb on = (*m_palette)[kOnIndex];
    m_lookup.fill(off);
    for (int position = 0; position < kLcdPositions; ++position) {
        for (int segment = 0; segment < kSegmentsPerPosition; ++segment) {
            const int state = SegmentState[position * kSegmentsPerPosition + segment];
            m_lookup[segment * kLcdPositions + position] = state ? on : off;
        }
    }
    // The map is column-major and the image row-major: a band of columns at a time keeps
    // both the reads and the writes sequential.
    constexpr int kBand = 16;
    constexpr uint16_t kLast = uint16_t(std::tuple_size_v<decltype(m_lookup)> - 1);
    uchar* bits = m_outputBitmap.bits();
    const qsizetype stride = m_outputBitmap.bytesPerLine();
    const int width = m_scaledMap.Width();
    const int height = m_scaledMap.Height();
    for (int x0 = 0; x0 < width; x0 += kBand) {
        const int band = std::min(kBand, width - x0);
        const uint16_t* columns = m_scaledMap.Column(x0);
        for (int y = 0; y < height; ++y) {
            auto* out = reinterpret_cast<QRgb*>(bits + y * stride) + x0;
            for (int i = 0; i < band; ++i)
                out[i] = m_lookup[std::min(columns[i * height + y], kLast)];
        }
    }
    m_drawnState = SegmentState;
}

const QImage& TZelLCD::Frame(int height, int width, QString* error)
{
    static const QImage none;
    if (!IsDrawableSize(width, height))
        return none;
    if (!m_palette || m_outputBitmap.width() != width || m_outputBitmap.height() != height) {
        const QString built = BuildMap(width, height);
        if (error)
            *error = built;
    }
    if ((*m_palette)[kOffIndex] != ToRgb(OffColour) || (*m_palette)[kOnIndex] != ToRgb(OnColour))
        UpdatePalette();
    if (m_drawnState != SegmentState)
        Repaint();
    return m_outputBitmap;
}

QString TZelLCD::Draw(int x, int y, QPainter& canvas, int height, int width)
{
    QString error;
    const QImage& frame = Frame(height, width, &error);
    if (frame.isNull())
        return error;
    const qreal ratio = canvas.device() ? canvas.device()->devicePixelRatioF() : 1.0;
    canvas.save();
    canvas.setCompositionMode(QPainter::CompositionMode_Source);
    canvas.drawImage(QRectF(x / ratio, y / ratio, width / ratio, height / ratio), frame);
    canvas.restore();
    return error;
}
