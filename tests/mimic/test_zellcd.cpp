// The segment LCD: building the map from the pictures, the cache file, drawing a frame.
#include "mimictestdata.h"

#include "q910panel.h"
#include "zellcd.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QPainter>

#include <gtest/gtest.h>

#include <set>

namespace {

constexpr int kW = q910panel::kMapWidth;
constexpr int kH = q910panel::kMapHeight;

QByteArray Contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void Overwrite(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class ZelLcdTest : public ::testing::Test
{
protected:
    ZelLcdTest()
    {
        q910panel::ConfigureLcd(lcd);
        lcd.Directory = dir.Path();
    }

    // The full-size map as written by the first drawing.
    TZelBitmap FullMap()
    {
        EXPECT_FALSE(lcd.Frame(kH, kW).isNull());
        TZelBitmap map;
        EXPECT_EQ(map.LoadFromFile(dir.Map()), QString());
        return map;
    }

    ProgramDir dir;
    TZelLCD lcd;
};

TEST(ZelLcdDefaultsTest, StartsUnlitWithTheSmallDefaultMap)
{
    TZelLCD lcd;
    EXPECT_EQ(lcd.MapWidth, 40);
    EXPECT_EQ(lcd.MapHeight, 20);
    EXPECT_FALSE(lcd.UseImageList);
    EXPECT_EQ(lcd.SegmentState, TSegmentStates{});
    EXPECT_EQ(lcd.ScaledMap().Width(), 0);
}

TEST(ZelLcdColourTest, ColoursAreRedInTheLowByte)
{
    EXPECT_EQ(TZelLCD::ToRgb(q910panel::kOffColour), qRgb(200, 200, 0));
    EXPECT_EQ(TZelLCD::ToRgb(0x00123456), qRgb(0x56, 0x34, 0x12));
}

TEST_F(ZelLcdTest, FirstDrawingWritesTheQ910CacheFile)
{
    ASSERT_FALSE(QFile::exists(dir.Map()));
    QString error;
    lcd.Frame(100, 300, &error);
    EXPECT_EQ(error, QString());
    const QByteArray bytes = Contents(dir.Map());
    ASSERT_EQ(bytes.size(), 594672);
    EXPECT_EQ(bytes.left(8), QByteArray("\x0C\x04\0\0\x1F\x01\0\0", 8)); // 1036, 287
    EXPECT_TRUE(QFile::exists(dir.File(QStringLiteral("Q910LCD.bmp"))));
}

TEST_F(ZelLcdTest, MapHoldsEverySegmentAndBackgroundOnlyOffThePictures)
{
    const TZelBitmap map = FullMap();
    std::set<int> numbers;
    for (int x = 0; x < kW; ++x)
        for (int y = 0; y < kH; ++y)
            numbers.insert(map.At(x, y));
    // All 72 segments are drawn somewhere, plus the background, and nothing else.
    EXPECT_EQ(numbers.size(), 73u);
    EXPECT_EQ(*numbers.rbegin(), 500);
    EXPECT_EQ(*std::prev(numbers.end(), 2), 71);
}

TEST_F(ZelLcdTest, EachSegmentCoversTheBlackPixelsOfItsPicture)
{
    const TZelBitmap map = FullMap();
    for (int position = 0; position < 18; ++position) {
        for (int segment = 0; segment < 4; ++segment) {
            const TSegmentDefinition& def = lcd.Segments[size_t(position * 4 + segment)];
            QString file = def.FileName;
            const QImage picture(dir.File(file.replace(u'\\', u'/')));
            ASSERT_FALSE(picture.isNull()) << file.toStdString();
            int black = 0;
            int marked = 0;
            for (int r = 0; r < picture.height() && def.Top + r < kH; ++r) {
                for (int c = 0; c < picture.width() && def.Left + c < kW; ++c) {
                    if ((picture.pixel(c, r) & RGB_MASK) != 0)
                        continue;
                    ++black;
                    marked += map.At(def.Left + c, def.Top + r) == segment * 18 + position;
                }
            }
            EXPECT_GT(black, 0) << file.toStdString();
            EXPECT_EQ(marked, black) << position << "/" << segment;
        }
    }
}

TEST_F(ZelLcdTest, DeletedCacheIsRebuiltByteIdentical)
{
    lcd.Frame(kH, kW);
    const QByteArray first = Contents(dir.Map());
    ASSERT_TRUE(QFile::remove(dir.Map()));
    TZelLCD again;
    q910panel::ConfigureLcd(again);
    again.Directory = dir.Path();
    again.Frame(kH, kW);
    EXPECT_EQ(Contents(dir.Map()), first);
}

TEST_F(ZelLcdTest, DamagedCacheIsRebuiltWithoutError)
{
    lcd.Frame(kH, kW);
    const QByteArray good = Contents(dir.Map());
    const QByteArray damaged[] = {
        good.left(good.size() / 2),
        good + QByteArray(100, '\x01'),
        good.left(8) + QByteArray(good.size() - 8, '\x7F'),
        QByteArray("\xFF\xFF\xFF\x7F\xFF\xFF\xFF\x7F", 8) + good.mid(8),
    };
    for (const QByteArray& bytes : damaged) {
        Overwrite(dir.Map(), bytes);
        TZelLCD fresh;
        q910panel::ConfigureLcd(fresh);
        fresh.Directory = dir.Path();
        QString error;
        fresh.Frame(kH, kW, &error);
        EXPECT_EQ(error, QString());
        EXPECT_EQ(Contents(dir.Map()), good);
        EXPECT_EQ(fresh.ScaledMap().At(0, 0), lcd.ScaledMap().At(0, 0));
    }
}

TEST_F(ZelLcdTest, ExistingCacheIsUsedWithoutThePictures)
{
    lcd.Frame(kH, kW);
    QDir(dir.File(QStringLiteral("segs"))).removeRecursively();
    TZelLCD fresh;
    q910panel::ConfigureLcd(fresh);
    fresh.Directory = dir.Path();
    QString error;
    fresh.Frame(kH, kW, &error);
    EXPECT_EQ(error, QString());
    EXPECT_EQ(fresh.ScaledMap(), lcd.ScaledMap());
}

TEST_F(ZelLcdTest, CacheSizeComesFromTheFileNotFromTheSettings)
{
    TZelBitmap small;
    small.SetSize(4, 3);
    small.Fill(500);
    small.Set(3, 2, 5);
    ASSERT_EQ(small.SaveToFile(dir.Map()), QString());
    const QImage& frame = lcd.Frame(3, 4);
    ASSERT_FALSE(frame.isNull());
    lcd.SegmentState[5 * 4 + 0] = 1; // segment number 5 = position 5, segment 0
    EXPECT_EQ(lcd.Frame(3, 4).pixelIndex(3, 2), TZelLCD::kOnIndex);
    EXPECT_EQ(lcd.Frame(3, 4).pixelIndex(0, 0), TZelLCD::kOffIndex);
}

TEST_F(ZelLcdTest, MissingPictureFailsAndWritesNoCache)
{
    QFile::remove(dir.File(QStringLiteral("segs/7d.bmp")));
    QString error;
    const QImage& frame = lcd.Frame(50, 100, &error);
    EXPECT_TRUE(error.contains(QStringLiteral("7d.bmp"))) << error.toStdString();
    EXPECT_EQ(lcd.MapError(), error);
    EXPECT_FALSE(QFile::exists(dir.Map()));
    lcd.SegmentState.fill(1);
    // Drawn blank rather than not at all.
    EXPECT_EQ(lcd.Frame(50, 100).pixelIndex(25, 25), TZelLCD::kOffIndex);
    EXPECT_FALSE(frame.isNull());
}

TEST_F(ZelLcdTest, BlackIsJudgedByColourWhateverThePaletteOrder)
{
    QImage picture(4, 2, QImage::Format_Indexed8);
    picture.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0), qRgb(10, 0, 0)});
    picture.fill(0);
    picture.setPixel(1, 0, 1); // black, palette index 1
    picture.setPixel(2, 1, 2); // nearly black: not part of the segment
    ASSERT_TRUE(picture.save(dir.File(QStringLiteral("p.bmp")), "BMP"));
    lcd.MapWidth = 10;
    lcd.MapHeight = 10;
    lcd.Segments.fill({0, 0, QStringLiteral("p.bmp"), 0});
    lcd.Segments[2 * 4 + 1] = {5, 6, QStringLiteral("p.bmp"), 0};
    TZelBitmap map;
    map.SetSize(10, 10);
    map.Fill(500);
    ASSERT_EQ(lcd.LoadSegment(2, 1, map), QString());
    EXPECT_EQ(map.At(7, 5), 1 * 18 + 2);
    EXPECT_EQ(map.At(6, 5), 500);
    EXPECT_EQ(map.At(8, 6), 500);
}

TEST_F(ZelLcdTest, PicturesPastTheMapEdgeAreClipped)
{
    QImage picture(6, 6, QImage::Format_RGB32);
    picture.fill(Qt::black);
    ASSERT_TRUE(picture.save(dir.File(QStringLiteral("big.bmp")), "BMP"));
    lcd.Segments[0] = {7, 8, QStringLiteral("big.bmp"), 0};
    TZelBitmap map;
    map.SetSize(10, 9);
    map.Fill(500);
    ASSERT_EQ(lcd.LoadSegment(0, 0, map), QString());
    EXPECT_EQ(map.At(9, 8), 0);
    EXPECT_EQ(map.At(8, 7), 0);
    EXPECT_EQ(map.At(7, 7), 500);
}

TEST_F(ZelLcdTest, ImageListSuppliesThePicturesWhenChosen)
{
    QImage black(2, 2, QImage::Format_RGB32);
    black.fill(Qt::black);
    const QList<QImage> images{QImage(), black};
    lcd.ImageList = &images;
    lcd.UseImageList = true;
    lcd.Segments[4 * 4 + 3] = {1, 1, QString(), 1};
    TZelBitmap map;
    map.SetSize(5, 5);
    map.Fill(500);
    ASSERT_EQ(lcd.LoadSegment(4, 3, map), QString());
    EXPECT_EQ(map.At(2, 2), 3 * 18 + 4);
    lcd.Segments[0].ImageIndex = 7;
    EXPECT_FALSE(lcd.LoadSegment(0, 0, map).isEmpty());
}

TEST_F(ZelLcdTest, UnlitFrameIsAllOffAndOneStateLightsExactlyItsSegment)
{
    const QImage unlit = lcd.Frame(kH, kW).copy();
    ASSERT_EQ(unlit.format(), QImage::Format_Indexed8);
    EXPECT_EQ(unlit.color(TZelLCD::kOffIndex), qRgb(200, 200, 0));
    EXPECT_EQ(unlit.color(TZelLCD::kOnIndex), qRgb(0, 0, 0));
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            ASSERT_EQ(unlit.pixelIndex(x, y), TZelLCD::kOffIndex);

    const int position = 9;
    const int segment = 2;
    lcd.SegmentState[size_t(position * 4 + segment)] = 1;
    const QImage& lit = lcd.Frame(kH, kW);
    int on = 0;
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            const bool mine = lcd.ScaledMap().At(x, y) == segment * 18 + position;
            on += mine;
            ASSERT_EQ(lit.pixelIndex(x, y), mine ? TZelLCD::kOnIndex : TZelLCD::kOffIndex);
        }
    }
    EXPECT_GT(on, 500);
}

TEST_F(ZelLcdTest, SameSizeDoesNotRebuildANewSizeRebuildsOnce)
{
    lcd.Frame(100, 360);
    ASSERT_TRUE(QFile::remove(dir.Map()));
    lcd.SegmentState.fill(1);
    lcd.Frame(100, 360);
    EXPECT_FALSE(QFile::exists(dir.Map())); // no rebuild: the cache was not looked for
    lcd.Frame(101, 360);
    EXPECT_TRUE(QFile::exists(dir.Map()));
    ASSERT_TRUE(QFile::remove(dir.Map()));
    lcd.Frame(101, 360);
    EXPECT_FALSE(QFile::exists(dir.Map()));
}

TEST_F(ZelLcdTest, FrameIsRepaintedOnlyWhenTheStatesChange)
{
    const qint64 first = lcd.Frame(120, 400).cacheKey();
    EXPECT_EQ(lcd.Frame(120, 400).cacheKey(), first);
    lcd.SegmentState[7] = 1;
    const QImage& changed = lcd.Frame(120, 400);
    EXPECT_NE(changed.cacheKey(), first);
    const qint64 second = changed.cacheKey();
    EXPECT_EQ(lcd.Frame(120, 400).cacheKey(), second);
}

TEST_F(ZelLcdTest, UnsupportedSizesDrawNothing)
{
    for (const QSize size : {QSize(1, 100), QSize(100, 1), QSize(0, 0), QSize(50, 3001)})
        EXPECT_TRUE(lcd.Frame(size.height(), size.width()).isNull()) << size.width();
    EXPECT_FALSE(QFile::exists(dir.Map()));
    EXPECT_FALSE(lcd.Frame(3000, 50).isNull());
}

TEST_F(ZelLcdTest, DrawCopiesTheFrameOpaquelyAtDevicePixels)
{
    QImage canvas(200, 100, QImage::Format_RGB32);
    canvas.setDevicePixelRatio(2);
    canvas.fill(Qt::blue);
    lcd.SegmentState.fill(1);
    {
        QPainter painter(&canvas);
        EXPECT_EQ(lcd.Draw(20, 10, painter, 60, 150), QString());
    }
    // The frame fills device pixels (20, 10) .. (169, 69) exactly, one map entry each.
    EXPECT_EQ(canvas.pixel(19, 10), qRgb(0, 0, 255));
    EXPECT_EQ(canvas.pixel(20, 9), qRgb(0, 0, 255));
    EXPECT_EQ(canvas.pixel(170, 69), qRgb(0, 0, 255));
    EXPECT_EQ(canvas.pixel(169, 70), qRgb(0, 0, 255));
    const QImage& frame = lcd.Frame(60, 150);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 150; ++x)
            ASSERT_EQ(canvas.pixel(20 + x, 10 + y), frame.pixel(x, y)) << x << "," << y;
}

TEST_F(ZelLcdTest, CacheThatCannotBeWrittenStillDraws)
{
    // A folder where the cache file belongs: it can be neither read nor replaced.
    ASSERT_TRUE(QDir().mkpath(dir.Map()));
    lcd.SegmentState.fill(1);
    QString error;
    const QImage& frame = lcd.Frame(kH, kW, &error);
    EXPECT_EQ(error, QString());
    ASSERT_FALSE(frame.isNull());
    EXPECT_EQ(lcd.ScaledMap().At(0, 0), 500);
    int lit = 0;
    for (int x = 0; x < kW; ++x)
        lit += frame.pixelIndex(x, 128) == TZelLCD::kOnIndex; // across the g strokes
    EXPECT_GT(lit, 300);
    EXPECT_TRUE(QFileInfo(dir.Map()).isDir());
}

} // namespace
