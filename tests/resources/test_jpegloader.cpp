#include "jpegloader.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray SampleJpeg()
{
    QImage image(64, 32, QImage::Format_RGB32);
    image.fill(QColor(200, 40, 40));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 95);
    return bytes;
}

} // namespace

TEST(JpegLoader, DecodesThroughLibjpeg)
{
    const PictureResult r = jpegloader::DecodeJpeg(SampleJpeg(), "sample");
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_EQ(r.image.size(), QSize(64, 32));
    const QColor c = r.image.pixelColor(10, 10);
    EXPECT_NEAR(c.red(), 200, 6);
    EXPECT_NEAR(c.green(), 40, 6);
}

TEST(JpegLoader, CorruptDataIsAnErrorNotAnExit)
{
    QByteArray truncated = SampleJpeg().left(30);
    const PictureResult r1 = jpegloader::DecodeJpeg(truncated, "cut.jpg");
    EXPECT_FALSE(r1.ok());
    EXPECT_TRUE(r1.image.isNull());
    EXPECT_TRUE(r1.error.contains("cut.jpg"));

    EXPECT_FALSE(jpegloader::DecodeJpeg("plain text, no JPEG", "t.jpg").ok());
    EXPECT_FALSE(jpegloader::DecodeJpeg(QByteArray(), "empty.jpg").ok());
    // Still usable after failures: libjpeg's state is per call.
    EXPECT_TRUE(jpegloader::DecodeJpeg(SampleJpeg(), "again").ok());
}

TEST(JpegLoader, ChoosesDecoderByExtension)
{
    QTemporaryDir dir;
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::blue);
    ASSERT_TRUE(image.save(dir.filePath("a.bmp")));
    EXPECT_TRUE(jpegloader::LoadPicture(dir.filePath("a.bmp")).ok());
    QFile f(dir.filePath("b.JPEG"));
    f.open(QIODevice::WriteOnly);
    f.write(SampleJpeg());
    f.close();
    EXPECT_TRUE(jpegloader::IsJpegName(f.fileName()));
    EXPECT_TRUE(jpegloader::LoadPicture(f.fileName()).ok());
    EXPECT_FALSE(jpegloader::LoadPicture(dir.filePath("missing.jpg")).ok());
}
