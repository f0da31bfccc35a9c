// The segment map and its cache file: layout, round trip, refusal of damaged files, scaling.
#include "zelbitmap.h"

#include "smalldisk.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

namespace {

TZelBitmap Numbered(int width, int height)
{
    TZelBitmap map;
    map.SetSize(width, height);
    for (int x = 0; x < width; ++x)
        for (int y = 0; y < height; ++y)
            map.Set(x, y, uint16_t((x * 7 + y * 3) % 72));
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
    void Write(const QByteArray& bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray Read() const
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("map.zmp"));
};

TEST_F(ZelBitmapFileTest, FileIsLittleEndianColumnMajorAfterAHeader)
{
    TZelBitmap map;
    map.SetSize(3, 2);
    map.Set(0, 1, 0x0102); // not a segment, but the layout is what is checked
    map.Set(1, 0, 500);
    map.Set(2, 1, 71);
    ASSERT_EQ(map.SaveToFile(path), QString());
    // Columns x = 0, 1, 2, each rows 0 and 1, low byte first.
    const QByteArray columns("\0\0\x02\x01"
                             "\xF4\x01\0\0"
                             "\0\0\x47\0",
                             12);
    EXPECT_EQ(Read(), Header(3, 2) + columns);

    map.SetSize(1036, 287);
    ASSERT_EQ(map.SaveToFile(path), QString());
    EXPECT_EQ(Read().size(), 594672);
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
        {"shorter than a header", good.left(5)},
        {"negative width", Header(-20, 10) + good.mid(8)},
        {"zero height", Header(20, 0)},
        // Claims gigabytes: refused from the header, before anything is allocated.
        {"huge claim", Header(0x7FFFFFFF, 0x7FFFFFFF) + good.mid(8)},
        {"claim overflowing 32 bits", Header(65536, 32769) + good.mid(8)},
        {"entry 72", good.left(good.size() - 2) + QByteArray("\x48\0", 2)},
        {"entry 499", good.left(8) + QByteArray("\xF3\x01", 2) + good.mid(10)},
    };
    for (const auto& c : cases) {
        Write(c.bytes);
        TZelBitmap map = Numbered(3, 3);
        EXPECT_FALSE(map.LoadFromFile(path).isEmpty()) << c.what;
        EXPECT_EQ(map.Width() * map.Height(), 0) << c.what;
    }
    TZelBitmap map;
    EXPECT_FALSE(map.LoadFromFile(dir.filePath(QStringLiteral("absent.zmp"))).isEmpty());
    EXPECT_FALSE(map.SaveToFile(dir.filePath(QStringLiteral("no/such.zmp"))).isEmpty());
}

// The cache file and its diagnostic picture, each larger than the 4 kB left.
TEST(ZelBitmapFiles, FullOrReadOnlyDiskKeepsTheEarlierFiles)
{
    const TZelBitmap map = Numbered(60, 60);
    SKIP_UNLESS_RUN(OnSmallDisks("Q910LCD.zmp", "earlier map", [&](TSmallDisk& disk) {
        return map.SaveToFile(disk.Path("Q910LCD.zmp"));
    }));
    SKIP_UNLESS_RUN(OnSmallDisks("Q910LCD.bmp", "earlier picture", [&](TSmallDisk& disk) {
        return map.SaveAsBitmap(disk.Path("Q910LCD.bmp"));
    }));
}

TEST(ZelBitmapScaleTest, SameSizeCopiesTwoByTwoTakesTheCorners)
{
    const TZelBitmap source = Numbered(1036, 287);
    TZelBitmap scaled;
    scaled.SetSize(1036, 287);
    ASSERT_TRUE(scaled.ScaleFrom(source));
    EXPECT_EQ(scaled, source);
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
    // Columns i * 4 / 2 = 0, 2, 4; rows j * 3 / 6 = 0, 0, 1, 1, 2, 2, 3.
    const int rows[] = {0, 0, 1, 1, 2, 2, 3};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 7; ++j)
            EXPECT_EQ(scaled.At(i, j), i * 2 * 10 + rows[j]) << i << "," << j;
}

} // namespace
