// The segment map and its cache file: layout, round trip, refusal of damaged files, scaling.
#include "zelbitmap.h"

#include <QFile>
#include <QImage>
#include <QSize>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

namespace {

TZelBitmap Numbered(int width, int height)
{
    TZelBitmap map;
    map.SetSize(width, height);
    for (int x = 0; x < width; ++x) {
        for (int y = 0; y < height; ++y)
            map.Set(x, y, uint16_t((x * 7 + y * 3) % 72));
    }
    return map;
}

QByteArray Header(qint32 width, qint32 height)
{
    QByteArray bytes(8, '\0');
    qToLittleEndian(width, bytes.data());
    qToLittleEndian(height, bytes.data() + 4);
    return bytes;
}

class ZelBitmapFileTest : public ::testing::Test
{
protected:
    QString Write(const QByteArray& bytes)
    {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        return path;
    }
    QByteArray Read() const
    {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }

    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("map.zmp"));
};

TEST(ZelBitmapTest, SetSizeAllocatesZeroedColumns)
{
    TZelBitmap map;
    map.SetSize(3, 2);
    map.Set(2, 1, 500);
    map.SetSize(4, 5);
    EXPECT_EQ(map.Width(), 4);
    EXPECT_EQ(map.Height(), 5);
    for (int x = 0; x < 4; ++x)
        for (int y = 0; y < 5; ++y)
            EXPECT_EQ(map.At(x, y), 0);
}

TEST_F(ZelBitmapFileTest, FileIsLittleEndianColumnMajorAfterAHeader)
{
    TZelBitmap map;
    map.SetSize(3, 2);
    map.Set(0, 1, 0x0102); // not a segment, but the layout is what is checked
    map.Set(1, 0, 500);
    map.Set(2, 1, 71);
    ASSERT_EQ(map.SaveToFile(path), QString());
    // Columns x = 0, 1, 2, each rows 0 and 1, low byte first.
    const QByteArray columns("\0\0\x02\x01" "\xF4\x01\0\0" "\0\0\x47\0", 12);
    const QByteArray expected = Header(3, 2) + columns;
    EXPECT_EQ(Read(), expected);
}

TEST_F(ZelBitmapFileTest, Q910SizedFileHasTheDocumentedLength)
{
    TZelBitmap map;
    map.SetSize(1036, 287);
    map.Fill(TZelBitmap::kBackground);
    ASSERT_EQ(map.SaveToFile(path), QString());
    EXPECT_EQ(QFile(path).size(), 594672);
    EXPECT_EQ(TZelBitmap::FileSize(1036, 287), 594672);
}

TEST_F(ZelBitmapFileTest, LoadThenSaveGivesTheSameFile)
{
    const TZelBitmap original = Numbered(37, 11);
    ASSERT_EQ(original.SaveToFile(path), QString());
    const QByteArray first = Read();
    TZelBitmap loaded;
    ASSERT_EQ(loaded.LoadFromFile(path), QString());
    EXPECT_EQ(loaded, original);
    ASSERT_EQ(loaded.SaveToFile(path), QString());
    EXPECT_EQ(Read(), first);
}

TEST_F(ZelBitmapFileTest, DamagedFilesAreRefusedAndLeaveAnEmptyMap)
{
    ASSERT_EQ(Numbered(20, 10).SaveToFile(path), QString());
    const QByteArray good = Read();
    const struct
    {
        const char* what;
        QByteArray bytes;
    } cases[] = {
        {"truncated", good.left(good.size() - 1)},
        {"oversized", good + QByteArray(2, '\0')},
        {"header only", good.left(8)},
        {"shorter than a header", good.left(5)},
        {"empty", QByteArray()},
        {"negative width", Header(-20, 10) + good.mid(8)},
        {"zero height", Header(20, 0)},
        // Claims several gigabytes: refused from the header, before anything is allocated.
        {"huge claim", Header(0x7FFFFFFF, 0x7FFFFFFF) + good.mid(8)},
        {"claim overflowing 32 bits", Header(65536, 32769) + good.mid(8)},
        {"entry 72", good.left(good.size() - 2) + QByteArray("\x48\0", 2)},
        {"entry 499", good.left(8) + QByteArray("\xF3\x01", 2) + good.mid(10)},
        {"entry 0xFFFF", good.left(10) + QByteArray("\xFF\xFF", 2) + good.mid(12)},
    };
    for (const auto& c : cases) {
        Write(c.bytes);
        TZelBitmap map = Numbered(3, 3);
        EXPECT_FALSE(map.LoadFromFile(path).isEmpty()) << c.what;
        EXPECT_EQ(map.Width() * map.Height(), 0) << c.what;
    }
}

TEST_F(ZelBitmapFileTest, MissingFileIsReported)
{
    TZelBitmap map;
    EXPECT_FALSE(map.LoadFromFile(dir.filePath(QStringLiteral("absent.zmp"))).isEmpty());
}

TEST_F(ZelBitmapFileTest, SaveIntoAMissingFolderFailsWithAMessage)
{
    EXPECT_FALSE(Numbered(4, 4).SaveToFile(dir.filePath(QStringLiteral("no/such.zmp"))).isEmpty());
}

TEST_F(ZelBitmapFileTest, DiagnosticPictureHasTheMapsSize)
{
    const TZelBitmap map = Numbered(30, 12);
    const QString picture = dir.filePath(QStringLiteral("map.bmp"));
    ASSERT_EQ(map.SaveAsBitmap(picture), QString());
    const QImage image(picture);
    EXPECT_EQ(image.size(), QSize(30, 12));
    EXPECT_NE(image.pixel(0, 0), image.pixel(1, 0)); // entries 0 and 7 differ in grey
}

TEST(ZelBitmapScaleTest, SameSizeIsAnExactCopy)
{
    const TZelBitmap source = Numbered(1036, 287);
    TZelBitmap scaled;
    scaled.SetSize(1036, 287);
    ASSERT_TRUE(scaled.ScaleFrom(source));
    EXPECT_EQ(scaled, source);
}

TEST(ZelBitmapScaleTest, TwoByTwoHoldsTheFourCorners)
{
    const TZelBitmap source = Numbered(1036, 287);
    TZelBitmap scaled;
    scaled.SetSize(2, 2);
    ASSERT_TRUE(scaled.ScaleFrom(source));
    EXPECT_EQ(scaled.At(0, 0), source.At(0, 0));
    EXPECT_EQ(scaled.At(1, 0), source.At(1035, 0));
    EXPECT_EQ(scaled.At(0, 1), source.At(0, 286));
    EXPECT_EQ(scaled.At(1, 1), source.At(1035, 286));
}

TEST(ZelBitmapScaleTest, SamplesByTruncatingDivision)
{
    TZelBitmap source;
    source.SetSize(5, 4);
    for (int x = 0; x < 5; ++x)
        for (int y = 0; y < 4; ++y)
            source.Set(x, y, uint16_t(x * 10 + y));
    TZelBitmap scaled;
    scaled.SetSize(3, 7);
    ASSERT_TRUE(scaled.ScaleFrom(source));
    // Columns 0, 4*1/2 = 2, 4; rows (3*j)/6 = 0, 0, 1, 1, 2, 2, 3.
    const int rows[] = {0, 0, 1, 1, 2, 2, 3};
    const int columns[] = {0, 2, 4};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 7; ++j)
            EXPECT_EQ(scaled.At(i, j), columns[i] * 10 + rows[j]) << i << "," << j;
}

TEST(ZelBitmapScaleTest, EnlargingRepeatsEntries)
{
    const TZelBitmap source = Numbered(3, 2);
    TZelBitmap scaled;
    scaled.SetSize(7, 5);
    ASSERT_TRUE(scaled.ScaleFrom(source));
    EXPECT_EQ(scaled.At(6, 4), source.At(2, 1));
    EXPECT_EQ(scaled.At(3, 2), source.At(1, 0));
}

TEST(ZelBitmapScaleTest, OnePixelDestinationsAreRefused)
{
    const TZelBitmap source = Numbered(10, 10);
    for (const QSize size : {QSize(1, 5), QSize(5, 1), QSize(0, 0)}) {
        TZelBitmap scaled;
        scaled.SetSize(size.width(), size.height());
        EXPECT_FALSE(scaled.ScaleFrom(source)) << size.width() << "x" << size.height();
    }
}

} // namespace
