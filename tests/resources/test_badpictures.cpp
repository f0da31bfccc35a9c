// Picture files that are cut short, junk, enormous, claim enormous sizes or are no file at
// all: each gives an error naming the file, read within bounds, and never a picture.
#include "badfiles.h"
#include "jpegloader.h"

#include <QBuffer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

QByteArray Encoded(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, 90);
    return bytes;
}

// A picture with detail all over, so that every part of the file carries some of it.
QImage Detailed(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 7 % 256, y * 5 % 256, (x ^ y) % 256));
    return image;
}

// A JPEG start of frame that claims `width` x `height`: all a header needs to promise memory.
QByteArray Claiming(QByteArray jpeg, quint16 width, quint16 height)
{
    const qsizetype frame = jpeg.indexOf("\xFF\xC0");
    if (frame < 0)
        return {};
    jpeg[frame + 5] = char(height >> 8);
    jpeg[frame + 6] = char(height & 0xFF);
    jpeg[frame + 7] = char(width >> 8);
    jpeg[frame + 8] = char(width & 0xFF);
    return jpeg;
}

class BadPictures : public ::testing::Test
{
protected:
    PictureResult Load(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(name);
        EXPECT_TRUE(badfiles::WriteBytes(path, bytes));
        return jpegloader::LoadPicture(path);
    }
    QString Named(const char* message, const QString& name) const
    {
        return QString::fromLatin1(message).arg(m_dir.filePath(name));
    }

    QTemporaryDir m_dir;
};

struct BadCase
{
    const char* what;
    const char* name;
    QByteArray bytes;
    const char* error; // %1 for the path
};

// Named in test output by its case, not as a byte dump.
inline void PrintTo(const BadCase& c, std::ostream* out)
{
    *out << c.what;
}

class BadPicture : public BadPictures, public testing::WithParamInterface<BadCase>
{
};

TEST_P(BadPicture, IsAnErrorNamingTheFile)
{
    const BadCase& c = GetParam();
    ASSERT_FALSE(c.bytes.isEmpty());
    const PictureResult result = Load(QString::fromLatin1(c.name), c.bytes);
    EXPECT_EQ(result.error, Named(c.error, QString::fromLatin1(c.name)));
    EXPECT_TRUE(result.image.isNull());
}

const QByteArray kJpeg = Encoded(Detailed(320, 160), "JPEG");
const QByteArray kBmp = Encoded(Detailed(64, 32), "BMP");

INSTANTIATE_TEST_SUITE_P(
    Files, BadPicture,
    testing::Values(
        // Cut inside its picture data: a picture grey from there on is a damaged file.
        BadCase{"JpegCutShort", "cut.jpg", kJpeg.left(kJpeg.size() * 2 / 3),
                "%1 is not a valid JPEG picture (Premature end of JPEG file)."},
        BadCase{"JpegCutInHeader", "head.jpg", kJpeg.left(100),
                "%1 is not a valid JPEG picture (Premature end of JPEG file)."},
        BadCase{"JunkAsJpeg", "junk.jpg", "junk" + badfiles::Junk(4096),
                "%1 is not a valid JPEG picture (Not a JPEG file: starts with 0x6a 0x75)."},
        BadCase{"TenMegabytesOfJunk", "junk10.jpg", "junk" + badfiles::Junk(10 << 20),
                "%1 is not a valid JPEG picture (Not a JPEG file: starts with 0x6a 0x75)."},
        // A few hundred bytes whose header promises gigabytes.
        BadCase{"JpegClaimingGiantSize", "claim.jpg", Claiming(kJpeg, 60000, 60000),
                "%1 is not a valid JPEG picture (60000 x 60000 pixels, more than 4 "
                "megapixels)."},
        BadCase{"JpegJustOverTheBound", "over.jpg", Claiming(kJpeg, 2049, 2048),
                "%1 is not a valid JPEG picture (2049 x 2048 pixels, more than 4 "
                "megapixels)."},
        // Qt's reader refuses it before its own bound on memory does.
        BadCase{"BmpClaimingGiantSize", "claim.bmp",
                kBmp.left(18) + QByteArray("\x30\x75\0\0\x30\x75\0\0", 8) + kBmp.mid(26),
                "%1 is not a valid picture (Unable to read image data)."}),
    [](const testing::TestParamInfo<BadCase>& info) { return info.param.what; });

TEST_F(BadPictures, GiantFilesAreRefusedUnread)
{
    const long before = badfiles::PeakResidentMiB();
    for (const QString& name : {QStringLiteral("giant.jpg"), QStringLiteral("giant.bmp")}) {
        const QString path = m_dir.filePath(name);
        ASSERT_TRUE(badfiles::WriteSparse(path, badfiles::kGigabyte, kJpeg));
        const PictureResult result = jpegloader::LoadPicture(path);
        EXPECT_EQ(result.error, Named("The picture %1 is too large (over 32 MB).", name));
        EXPECT_TRUE(result.image.isNull());
    }
    EXPECT_LT(badfiles::PeakResidentMiB() - before, 64) << "the files were not read";
}

TEST_F(BadPictures, PicturesUpToTheBoundStillLoad)
{
    QImage plain(2048, 2048, QImage::Format_RGB32);
    plain.fill(Qt::gray);
    const PictureResult atBound = Load("bound.jpg", Encoded(plain, "JPEG"));
    ASSERT_TRUE(atBound.ok()) << atBound.error.toStdString();
    EXPECT_EQ(atBound.image.size(), QSize(2048, 2048));
    const PictureResult panel = Load("panel.jpg", Encoded(Detailed(2000, 982), "JPEG"));
    EXPECT_TRUE(panel.ok()) << panel.error.toStdString();
}

TEST_F(BadPictures, PipeIsNoPictureAndDoesNotBlock)
{
    const QString path = m_dir.filePath(QStringLiteral("pipe.jpg"));
    if (!badfiles::MakeFifo(path))
        GTEST_SKIP() << "no named pipes here";
    EXPECT_EQ(jpegloader::LoadPicture(path).error,
              Named("%1 is not a picture file.", QStringLiteral("pipe.jpg")));
}

} // namespace
