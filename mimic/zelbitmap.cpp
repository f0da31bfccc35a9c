#include "zelbitmap.h"

#include "atomicfile.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QtEndian>

#include <algorithm>

namespace {

// Far above any panel's map, far below an allocation that could hurt: a damaged header is
// refused before anything is allocated for it.
constexpr qint64 kMaxEntries = qint64(16) * 1024 * 1024;

QString Refused(const QString& path, const QString& reason)
{
    return QStringLiteral("The segment map %1 is not usable: %2").arg(path, reason);
}

} // namespace

void TZelBitmap::SetSize(int width, int height)
{
    m_width = std::max(width, 0);
    m_height = std::max(height, 0);
    m_entries.assign(size_t(m_width) * m_height, 0);
}

void TZelBitmap::Fill(uint16_t value)
{
    std::fill(m_entries.begin(), m_entries.end(), value);
}

QString TZelBitmap::LoadFromFile(const QString& path)
{
    SetSize(0, 0);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Refused(path, file.errorString());
    const QByteArray header = file.read(kHeaderBytes);
    if (header.size() != kHeaderBytes)
        return Refused(path, QStringLiteral("the header is incomplete"));
    const int width = qFromLittleEndian<qint32>(header.constData());
    const int height = qFromLittleEndian<qint32>(header.constData() + 4);
    if (width <= 0 || height <= 0 || qint64(width) * height > kMaxEntries)
        return Refused(path, QStringLiteral("the header claims %1 x %2").arg(width).arg(height));
    if (file.size() != FileSize(width, height))
        return Refused(path, QStringLiteral("%1 bytes where %2 x %3 needs %4")
                                 .arg(file.size())
                                 .arg(width)
                                 .arg(height)
                                 .arg(FileSize(width, height)));
    const QByteArray body = file.readAll();
    if (body.size() != FileSize(width, height) - kHeaderBytes)
        return Refused(path, file.errorString());
    std::vector<uint16_t> entries(size_t(width) * height);
    qFromLittleEndian<uint16_t>(body.constData(), qsizetype(entries.size()), entries.data());
    if (!std::all_of(entries.begin(), entries.end(), IsValidEntry))
        return Refused(path, QStringLiteral("it holds an entry that is no segment"));
    m_width = width;
    m_height = height;
    m_entries = std::move(entries);
    return {};
}

QString TZelBitmap::SaveToFile(const QString& path) const
{
    QByteArray bytes(FileSize(m_width, m_height), Qt::Uninitialized);
    qToLittleEndian<qint32>(m_width, bytes.data());
    qToLittleEndian<qint32>(m_height, bytes.data() + 4);
    // An empty map has no entries to copy (and no pointer to copy them from).
    if (!m_entries.empty())
        qToLittleEndian<uint16_t>(m_entries.data(), qsizetype(m_entries.size()),
                                  bytes.data() + kHeaderBytes);
    const QString error = TAtomicFile::WriteFile(path, bytes);
    if (!error.isEmpty())
        return QStringLiteral("Cannot write the segment map %1: %2").arg(path, error);
    return {};
}

QString TZelBitmap::SaveAsBitmap(const QString& path) const
{
    QImage image(m_width, m_height, QImage::Format_RGB16);
    for (int y = 0; y < m_height; ++y) {
        auto* line = reinterpret_cast<uint16_t*>(image.scanLine(y));
        for (int x = 0; x < m_width; ++x) {
            const unsigned grey = At(x, y) & 0xFF;
            line[x] = uint16_t(((grey >> 3) << 11) | ((grey >> 2) << 5) | (grey >> 3));
        }
    }
    QBuffer picture;
    picture.open(QIODevice::WriteOnly);
    const QString error = image.save(&picture, "BMP") ? TAtomicFile::WriteFile(path, picture.data())
                                                      : QStringLiteral("the map is empty");
    if (!error.isEmpty())
        return QStringLiteral("Cannot write the picture %1: %2").arg(path, error);
    return {};
}

bool TZelBitmap::ScaleFrom(const TZelBitmap& source)
{
    if (m_width < 2 || m_height < 2 || source.m_width < 1 || source.m_height < 1)
        return false;
    std::vector<int> sourceRow(m_height);
    for (int j = 0; j < m_height; ++j)
        sourceRow[j] = int(qint64(source.m_height - 1) * j / (m_height - 1));
    for (int i = 0; i < m_width; ++i) {
        const uint16_t* from = source.Column(int(qint64(i) * (source.m_width - 1) / (m_width - 1)));
        uint16_t* to = m_entries.data() + Index(i, 0);
        for (int j = 0; j < m_height; ++j)
            to[j] = from[sourceRow[j]];
    }
    return true;
}
