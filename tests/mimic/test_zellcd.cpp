// The segment LCD: building the map from the pictures, the cache file, drawing a frame.
#include "mimictestdata.h"

#include "q910panel.h"
#include "zellcd.h"

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

// The Q910 LCD's colours.
const QRgb kUnlit = qRgb(200, 200, 0);
const QRgb kLit = qRgb(0, 0, 0);

class ZelLcdTest : public ::testing::Test
{
protected:
    ZelLcdTest() { Configure(lcd); }

    void Configure(TZelLCD& target)
    {
        q910panel::ConfigureLcd(target);
        target.Directory = dir.Path();
    }

    // A fresh LCD's first frame at full size; its error.
    QString FreshFrame()
    {
        TZelLCD fresh;
        Configure(fresh);
        QString error;
        EXPECT_FALSE(fresh.Frame(kH, kW, &error).isNull());
        return error;
    }

    // A picture of black and white in a palette that lists white first.
    void WritePicture(const QString& name, QSize size, std::initializer_list<QPoint> black)
    {
        QImage picture(size, QImage::Format_Indexed8);
        picture.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0), qRgb(10, 0, 0)});
        picture.fill(0);
        for (const QPoint& p : black)
            picture.setPixel(p, 1);
        picture.setPixel(0, 1, 2); // nearly black is not black
        ASSERT_TRUE(picture.save(dir.File(name), "BMP"));
    }

    ProgramDir dir;
    TZelLCD lcd;
};

// The Q910 cache file: every segment covers exactly the black pixels of its picture.
TEST_F(ZelLcdTest, FirstDrawingWritesTheCacheOfTheSegmentPictures)
{
    ASSERT_FALSE(QFile::exists(dir.Map()));
    ASSERT_EQ(FreshFrame(), QString());
    const QByteArray bytes = Contents(dir.Map());
    ASSERT_EQ(bytes.size(), 594672);
    EXPECT_EQ(bytes.left(8), QByteArray("\x0C\x04\0\0\x1F\x01\0\0", 8)); // 1036, 287
    EXPECT_TRUE(QFile::exists(dir.File(QStringLiteral("Q910LCD.bmp"))));
    TZelBitmap map;
    ASSERT_EQ(map.LoadFromFile(dir.Map()), QString());
    TZelBitmap expected;
    expected.SetSize(kW, kH);
    expected.Fill(500);
    std::set<int> drawn;
    for (int n = 0; n < 72; ++n) {
        const TSegmentDefinition& def = lcd.Segments[size_t(n)];
        const QImage picture(dir.File(QString(def.FileName).replace(u'\\', u'/')));
        ASSERT_FALSE(picture.isNull()) << def.FileName.toStdString();
        for (int r = 0; r < picture.height() && def.Top + r < kH; ++r)
            for (int c = 0; c < picture.width() && def.Left + c < kW; ++c)
                if ((picture.pixel(c, r) & RGB_MASK) == 0)
                    expected.Set(def.Left + c, def.Top + r, uint16_t(n % 4 * 18 + n / 4));
    }
    EXPECT_EQ(map, expected);
    for (int x = 0; x < kW; ++x)
        for (int y = 0; y < kH; ++y)
            drawn.insert(map.At(x, y));
    EXPECT_EQ(drawn.size(), 73u); // every segment shows somewhere: none hides another
}

TEST_F(ZelLcdTest, DeletedOrDamagedCacheIsRebuiltByteIdenticalWithoutError)
{
    ASSERT_EQ(FreshFrame(), QString());
    const QByteArray good = Contents(dir.Map());
    const QByteArray damaged[] = {
        {},
        good.left(good.size() / 2),
        good + QByteArray(100, '\x01'),
        good.left(8) + QByteArray(good.size() - 8, '\x7F'),
        QByteArray("\xFF\xFF\xFF\x7F\xFF\xFF\xFF\x7F", 8) + good.mid(8),
    };
    for (const QByteArray& bytes : damaged) {
        QFile::remove(dir.Map());
        if (!bytes.isEmpty()) {
            QFile file(dir.Map());
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        }
        EXPECT_EQ(FreshFrame(), QString());
        EXPECT_EQ(Contents(dir.Map()), good);
    }
    // A sound cache is used as it is: the pictures are not needed any more.
    QDir(dir.File(QStringLiteral("segs"))).removeRecursively();
    EXPECT_EQ(FreshFrame(), QString());
}

TEST_F(ZelLcdTest, CacheThatCannotBeWrittenStillDraws)
{
    ASSERT_TRUE(QDir().mkpath(dir.Map())); // a folder where the cache file belongs
    lcd.SegmentState.fill(1);
    QString error;
    const QImage& frame = lcd.Frame(kH, kW, &error);
    EXPECT_EQ(error, QString());
    ASSERT_FALSE(frame.isNull());
    EXPECT_EQ(frame.pixel(kW / 2, 128), kLit); // a g stroke
}

TEST_F(ZelLcdTest, MissingPictureFailsWritesNoCacheAndDrawsBlank)
{
    QFile::remove(dir.File(QStringLiteral("segs/7d.bmp")));
    lcd.SegmentState.fill(1);
    QString error;
    const QImage& frame = lcd.Frame(50, 100, &error);
    EXPECT_TRUE(error.contains(QStringLiteral("7d.bmp"))) << error.toStdString();
    EXPECT_EQ(lcd.MapError(), error);
    EXPECT_FALSE(QFile::exists(dir.Map()));
    EXPECT_EQ(frame.pixel(25, 25), kUnlit);
}

TEST_F(ZelLcdTest, LoadSegmentMarksBlackByColourAndClipsAtTheEdges)
{
    WritePicture(QStringLiteral("p.bmp"), QSize(4, 3), {{1, 0}, {2, 1}, {3, 2}});
    lcd.Segments[2 * 4 + 1] = {7, 6, QStringLiteral("p.bmp"), 0};
    TZelBitmap map;
    map.SetSize(9, 9);
    map.Fill(500);
    ASSERT_EQ(lcd.LoadSegment(2, 1, map), QString());
    EXPECT_EQ(map.At(7, 7), 1 * 18 + 2);
    EXPECT_EQ(map.At(8, 8), 1 * 18 + 2); // (3, 2) falls off the map's corner
    EXPECT_EQ(map.At(6, 7), 500);
    EXPECT_EQ(map.At(6, 8), 500); // the nearly black pixel

    QImage black(2, 2, QImage::Format_RGB32);
    black.fill(Qt::black);
    const QList<QImage> images{QImage(), black};
    lcd.ImageList = &images;
    lcd.UseImageList = true;
    lcd.Segments[4 * 4 + 3] = {1, 1, QString(), 1};
    ASSERT_EQ(lcd.LoadSegment(4, 3, map), QString());
    EXPECT_EQ(map.At(2, 2), 3 * 18 + 4);
    lcd.Segments[0].ImageIndex = 7;
    EXPECT_FALSE(lcd.LoadSegment(0, 0, map).isEmpty());
}

TEST_F(ZelLcdTest, UnlitFrameIsAllOffAndOneStateLightsExactlyItsSegment)
{
    const QImage unlit = lcd.Frame(kH, kW).copy();
    ASSERT_EQ(unlit.format(), QImage::Format_RGB32); // the window's: painted without converting
    lcd.SegmentState[9 * 4 + 2] = 1;
    const QImage& lit = lcd.Frame(kH, kW);
    int on = 0;
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            ASSERT_EQ(unlit.pixel(x, y), kUnlit);
            const bool mine = lcd.ScaledMap().At(x, y) == 2 * 18 + 9;
            on += mine;
            ASSERT_EQ(lit.pixel(x, y), mine ? kLit : kUnlit);
        }
    }
    EXPECT_GT(on, 500);
}

TEST_F(ZelLcdTest, NewColoursRepaintTheSameStates)
{
    lcd.SegmentState.fill(1);
    const QPoint stroke(kW / 2, 128);
    ASSERT_EQ(lcd.Frame(kH, kW).pixel(stroke), kLit);
    lcd.OnColour = 0x0000FF; // 0x00BBGGRR: red
    lcd.OffColour = 0xFFFFFF;
    const QImage& frame = lcd.Frame(kH, kW);
    EXPECT_EQ(frame.pixel(stroke), qRgb(255, 0, 0));
    EXPECT_EQ(frame.pixel(2, 2), qRgb(255, 255, 255));
}

TEST_F(ZelLcdTest, RebuildsOnlyOnANewSizeRepaintsOnlyOnNewStates)
{
    const qint64 first = lcd.Frame(100, 360).cacheKey();
    ASSERT_TRUE(QFile::remove(dir.Map()));
    EXPECT_EQ(lcd.Frame(100, 360).cacheKey(), first);
    EXPECT_FALSE(QFile::exists(dir.Map())); // the cache was not even looked for
    lcd.SegmentState[7] = 1;
    EXPECT_NE(lcd.Frame(100, 360).cacheKey(), first);
    lcd.Frame(101, 360);
    EXPECT_TRUE(QFile::exists(dir.Map()));
}

TEST_F(ZelLcdTest, UnsupportedSizesDrawNothing)
{
    for (const auto& [w, h] : {std::pair(1, 100), std::pair(100, 1), std::pair(50, 3001)})
        EXPECT_TRUE(lcd.Frame(h, w).isNull()) << w << "x" << h;
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
    const QImage& frame = lcd.Frame(60, 150);
    for (int y = 8; y < 72; ++y) {
        for (int x = 18; x < 172; ++x) {
            const bool inside = x >= 20 && x < 170 && y >= 10 && y < 70;
            ASSERT_EQ(canvas.pixel(x, y), inside ? frame.pixel(x - 20, y - 10) : qRgb(0, 0, 255))
                << x << "," << y;
        }
    }
}

} // namespace
