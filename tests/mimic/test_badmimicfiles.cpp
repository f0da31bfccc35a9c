// The mimic's files when they are cut short, junk or enormous: a segment-map cache that is
// refused before anything is allocated for it and built again from the segment pictures, and
// a front-panel picture that fails with the loader's message while the last good one stays.
#include "badfiles.h"
#include "mimictestdata.h"

#include "panelpicture.h"
#include "q910panel.h"
#include "zelbitmap.h"
#include "zellcd.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QImage>
#include <QtEndian>

#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr int kW = q910panel::kMapWidth;
constexpr int kH = q910panel::kMapHeight;

QByteArray Header(qint32 width, qint32 height)
{
    QByteArray header(8, '\0');
    qToLittleEndian<qint32>(width, header.data());
    qToLittleEndian<qint32>(height, header.data() + 4);
    return header;
}

QByteArray Contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class BadSegmentMaps : public ::testing::Test
{
protected:
    // The refusal of the map file, which must leave the map empty.
    QString Refusal()
    {
        TZelBitmap map;
        map.SetSize(3, 3);
        const QString refused = map.LoadFromFile(dir.Map());
        EXPECT_EQ(map.Width() * map.Height(), 0);
        return refused;
    }
    // What a fresh LCD draws at full size: its error, and the cache it leaves.
    QString Draw()
    {
        TZelLCD lcd;
        q910panel::ConfigureLcd(lcd);
        lcd.Directory = dir.Path();
        lcd.SegmentState.fill(1);
        QString error;
        EXPECT_FALSE(lcd.Frame(kH, kW, &error).isNull());
        return error;
    }

    ProgramDir dir;
};

TEST_F(BadSegmentMaps, SparseGigabyteIsRefusedFromItsHeaderAndBuiltAgain)
{
    ASSERT_EQ(Draw(), QString());
    const QByteArray good = Contents(dir.Map());
    const long before = badfiles::PeakResidentMiB();
    // A header of zeros, and one whose claim matches the file's gigabyte exactly.
    ASSERT_TRUE(badfiles::WriteSparse(dir.Map(), badfiles::kGigabyte));
    EXPECT_TRUE(Refusal().endsWith(QStringLiteral("the header claims 0 x 0")));
    ASSERT_TRUE(
        badfiles::WriteSparse(dir.Map(), TZelBitmap::FileSize(16384, 32768), Header(16384, 32768)));
    EXPECT_TRUE(Refusal().endsWith(QStringLiteral("the header claims 16384 x 32768")));
    EXPECT_EQ(Draw(), QString());
    EXPECT_EQ(Contents(dir.Map()), good) << "the cache is built again from the pictures";
    EXPECT_LT(badfiles::PeakResidentMiB() - before, 64) << "the gigabyte was not read";
}

TEST_F(BadSegmentMaps, CutJunkAndTextAreRefusedAndBuiltAgain)
{
    ASSERT_EQ(Draw(), QString());
    const QByteArray good = Contents(dir.Map());
    const struct
    {
        const char* what;
        QByteArray bytes;
        const char* reason;
    } cases[] = {
        {"cut in the header", good.left(6), "the header is incomplete"},
        {"cut in the entries", good.left(good.size() / 2),
         "297336 bytes where 1036 x 287 needs 594672"},
        {"ten megabytes of junk", badfiles::Junk(10 << 20, 7), "the header claims"},
        {"junk in the entries", good.left(8) + badfiles::Junk(good.size() - 8),
         "it holds an entry that is no segment"},
        {"a settings file", "1: FULL SETUP\r\n201200F0:00001A2B0000FFFF\r\n", "the header claims"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(badfiles::WriteBytes(dir.Map(), c.bytes));
        const QString refused = Refusal();
        EXPECT_TRUE(
            refused.startsWith(QStringLiteral("The segment map %1 is not usable: ").arg(dir.Map())))
            << c.what;
        EXPECT_TRUE(refused.contains(QLatin1String(c.reason)))
            << c.what << ": " << qPrintable(refused);
        EXPECT_EQ(Draw(), QString()) << c.what;
        EXPECT_EQ(Contents(dir.Map()), good) << c.what;
    }
}

class BadPanelPictures : public ::testing::Test
{
protected:
    BadPanelPictures()
    {
        // A good picture first: a bad one later must not take it away.
        QImage image(40, 20, QImage::Format_RGB32);
        image.fill(Qt::red);
        Replace([&](QIODevice& file) { image.save(&file, "JPEG"); });
        EXPECT_EQ(picture.Refresh().status, TPanelPicture::Status::Loaded);
    }

    // Writes the file anew with a new time, so the picture reads it again.
    void Replace(const std::function<void(QIODevice&)>& write)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        write(file);
        ASSERT_TRUE(file.setFileTime(QDateTime::fromSecsSinceEpoch(1700000000 + ++m_age),
                                     QFileDevice::FileModificationTime));
    }
    void ExpectFailedKeepingTheLastGood(const QString& error)
    {
        const TPanelPicture::Result result = picture.Refresh();
        EXPECT_EQ(result.status, TPanelPicture::Status::Failed);
        EXPECT_EQ(result.error, error.arg(path));
        EXPECT_EQ(picture.ImageSize(), QSize(40, 20));
    }

    ProgramDir dir;
    QString path = dir.Picture();
    TPanelPicture picture{path};
    int m_age = 0;
};

TEST_F(BadPanelPictures, CutShortPictureFails)
{
    const QByteArray whole = Contents(QStringLiteral(MIMIC_TEST_DATA "/Q910.jpg"));
    Replace([&](QIODevice& file) { file.write(whole.left(whole.size() / 2)); });
    ExpectFailedKeepingTheLastGood(
        QStringLiteral("%1 is not a valid JPEG picture (Premature end of JPEG file)."));
}

TEST_F(BadPanelPictures, JunkPictureFails)
{
    Replace([](QIODevice& file) { file.write(badfiles::Junk(10 << 20, 3)); });
    const TPanelPicture::Result result = picture.Refresh();
    EXPECT_EQ(result.status, TPanelPicture::Status::Failed);
    EXPECT_TRUE(result.error.startsWith(
        QStringLiteral("%1 is not a valid JPEG picture (Not a JPEG file").arg(path)));
    EXPECT_EQ(picture.ImageSize(), QSize(40, 20));
}

TEST_F(BadPanelPictures, SparseGigabyteFailsUnread)
{
    const long before = badfiles::PeakResidentMiB();
    ASSERT_TRUE(badfiles::WriteSparse(path, badfiles::kGigabyte, "\xFF\xD8\xFF\xE0"));
    ExpectFailedKeepingTheLastGood(QStringLiteral("The picture %1 is too large (over 32 MB)."));
    EXPECT_LT(badfiles::PeakResidentMiB() - before, 64) << "the gigabyte was not read";
}

} // namespace
