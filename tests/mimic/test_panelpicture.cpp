// The front-panel picture: decoded once, read again only when the file changes.
#include "mimictestdata.h"

#include "panelpicture.h"

#include <QDateTime>
#include <QFile>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using Status = TPanelPicture::Status;

class PanelPictureTest : public ::testing::Test
{
protected:
    void WritePicture(QColor colour, int width, int ageSeconds)
    {
        QImage image(width, 20, QImage::Format_RGB32);
        image.fill(colour);
        ASSERT_TRUE(image.save(path, "JPEG", 100));
        SetAge(ageSeconds);
    }
    void SetAge(int seconds)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(QDateTime::fromSecsSinceEpoch(1700000000 - seconds),
                                     QFileDevice::FileModificationTime));
    }

    ProgramDir dir;
    QString path = dir.File(QStringLiteral("panel.jpg"));
    TPanelPicture picture{path};
};

TEST_F(PanelPictureTest, ReadAgainOnlyWhenTimeOrSizeChange)
{
    WritePicture(Qt::red, 40, 60);
    EXPECT_EQ(picture.Refresh().status, Status::Loaded);
    EXPECT_EQ(picture.Refresh().status, Status::Unchanged);
    // Garbled at the same length and time: trusted, not read again.
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.write(QByteArray(int(file.size()), 'x'));
    file.close();
    SetAge(60);
    EXPECT_EQ(picture.Refresh().status, Status::Unchanged);
    EXPECT_GT(qRed(picture.Scaled(QSize(40, 20)).pixel(0, 0)), 240);
    // A new size is made from the picture as it was read, not from the file as it is now.
    EXPECT_GT(qRed(picture.Scaled(QSize(20, 10)).pixel(0, 0)), 240);

    WritePicture(Qt::blue, 40, 30); // new time
    EXPECT_EQ(picture.Refresh().status, Status::Loaded);
    EXPECT_GT(qBlue(picture.Scaled(QSize(20, 10)).pixel(0, 0)), 240);
    WritePicture(Qt::green, 80, 30); // new size
    EXPECT_EQ(picture.Refresh().status, Status::Loaded);
    EXPECT_EQ(picture.ImageSize().width(), 80);
}

TEST_F(PanelPictureTest, VanishedFailsEveryTimeUnreadableUntilChangedLastGoodKept)
{
    WritePicture(Qt::red, 40, 60);
    ASSERT_EQ(picture.Refresh().status, Status::Loaded);
    QFile::remove(path);
    for (int i = 0; i < 2; ++i) {
        const auto result = picture.Refresh();
        EXPECT_EQ(result.status, Status::Failed);
        EXPECT_TRUE(result.error.contains(QStringLiteral("missing")));
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\xFF\xD8 broken");
    file.close();
    const auto first = picture.Refresh();
    EXPECT_EQ(first.status, Status::Failed);
    EXPECT_EQ(picture.Refresh().error, first.error);
    EXPECT_EQ(picture.ImageSize().width(), 40);
    WritePicture(Qt::blue, 40, 10);
    EXPECT_EQ(picture.Refresh().status, Status::Loaded);
}

TEST_F(PanelPictureTest, CommittedQ910PictureHasThePanelsAspectAndScalesOnce)
{
    TPanelPicture q910(dir.Picture());
    ASSERT_EQ(q910.Refresh().status, Status::Loaded);
    const QSize size = q910.ImageSize();
    EXPECT_EQ(size.width() * 491, size.height() * 1000);
    EXPECT_TRUE(q910.Scaled(QSize(10, 0)).isNull());
    const qint64 key = q910.Scaled(QSize(400, 196)).cacheKey();
    EXPECT_EQ(q910.Scaled(QSize(400, 196)).cacheKey(), key); // kept while the size stays
    EXPECT_EQ(q910.Scaled(QSize(200, 100)).size(), QSize(200, 100));
}

TEST_F(PanelPictureTest, ANewSizeAfterThePictureWentComesFromThePictureAsRead)
{
    WritePicture(Qt::red, 40, 60);
    ASSERT_EQ(picture.Refresh().status, Status::Loaded);
    ASSERT_EQ(picture.Scaled(QSize(40, 20)).size(), QSize(40, 20));
    QFile::remove(path);
    EXPECT_EQ(picture.Refresh().status, Status::Failed);
    const QImage scaled = picture.Scaled(QSize(30, 15));
    ASSERT_EQ(scaled.size(), QSize(30, 15));
    EXPECT_GT(qRed(scaled.pixel(29, 14)), 240);
    EXPECT_EQ(picture.ImageSize(), QSize(40, 20));
}

// Every copy is ready for the screen (32-bit RGB) whatever the file held; the channels keep
// their order on the 24-bit path JPEG pictures take.
TEST_F(PanelPictureTest, ScaledCopiesAre32BitWithTheirColoursInPlace)
{
    QImage halves(64, 32, QImage::Format_RGB32);
    halves.fill(QColor(250, 10, 10));
    for (int y = 0; y < 32; ++y)
        for (int x = 32; x < 64; ++x)
            halves.setPixel(x, y, qRgb(10, 10, 250));
    ASSERT_TRUE(halves.save(path, "JPEG", 100));
    ASSERT_EQ(picture.Refresh().status, Status::Loaded);
    for (const QSize size : {QSize(16, 8), QSize(24, 12), QSize(64, 32), QSize(100, 50)}) {
        const QImage scaled = picture.Scaled(size);
        ASSERT_EQ(scaled.format(), QImage::Format_RGB32) << size.width();
        const QRgb left = scaled.pixel(2, size.height() / 2);
        const QRgb right = scaled.pixel(size.width() - 3, size.height() / 2);
        EXPECT_GT(qRed(left), 235) << size.width();
        EXPECT_LT(qBlue(left), 25) << size.width();
        EXPECT_GT(qBlue(right), 235) << size.width();
        EXPECT_LT(qRed(right), 25) << size.width();
    }
}

// A reduction by a whole factor is the mean of each block: 2 x 2 blocks of a bitmap.
TEST_F(PanelPictureTest, WholeFactorReductionAveragesEachBlock)
{
    const QString bitmap = dir.File(QStringLiteral("panel.bmp"));
    QImage image(4, 2, QImage::Format_RGB32);
    const QRgb block[4] = {qRgb(10, 20, 30), qRgb(30, 40, 50), qRgb(50, 60, 70), qRgb(71, 81, 91)};
    for (int x = 0; x < 4; ++x) {
        image.setPixel(x, 0, x < 2 ? block[x] : qRgb(255, 255, 255));
        image.setPixel(x, 1, x < 2 ? block[2 + x] : qRgb(0, 0, 0));
    }
    ASSERT_TRUE(image.save(bitmap, "BMP"));
    TPanelPicture panel(bitmap);
    ASSERT_EQ(panel.Refresh().status, Status::Loaded);
    const QImage half = panel.Scaled(QSize(2, 1));
    EXPECT_EQ(half.pixel(0, 0), qRgb(40, 50, 60)); // 161 / 4 and the like, rounded
    EXPECT_EQ(half.pixel(1, 0), qRgb(128, 128, 128));
}

// Mean difference per colour channel between a scaling of ours and Qt's smooth scaling of the
// whole decoded picture.
double MeanDifferenceFromQt(const QImage& ours, const QImage& full)
{
    const QImage qts = full.scaled(ours.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                           .convertToFormat(QImage::Format_RGB32);
    double difference = 0;
    for (int y = 0; y < ours.height(); ++y) {
        for (int x = 0; x < ours.width(); ++x) {
            const QRgb a = ours.pixel(x, y), b = qts.pixel(x, y);
            difference += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                          std::abs(qBlue(a) - qBlue(b));
        }
    }
    return difference / (3.0 * ours.width() * ours.height());
}

// Told the size it is drawn at, the picture is decoded no finer than that needs (a half, a
// quarter or an eighth of the committed panel), and still looks as Qt's scaling of the whole
// picture would, down to the Calibration tab's small copy and up again to a larger window.
TEST_F(PanelPictureTest, DecodedOnlyAsFinelyAsTheDrawnSizeNeeds)
{
    const QImage full(dir.Picture());
    ASSERT_FALSE(full.isNull());
    for (const QSize first : {QSize(900, 442), QSize(177, 57)}) {
        TPanelPicture q910(dir.Picture());
        ASSERT_EQ(q910.Refresh(first).status, Status::Loaded);
        EXPECT_EQ(q910.ImageSize(), full.size()) << "the picture's own size, for the LCD";
        for (const QSize size : {first, QSize(1400, 688), first}) {
            const QImage ours = q910.Scaled(size);
            ASSERT_EQ(ours.size(), size);
            EXPECT_LE(MeanDifferenceFromQt(ours, full), size.width() < 200 ? 4.0 : 1.5)
                << size.width();
        }
    }
}

// Large reductions take a cheaper path than Qt's smooth scaling alone and must look as that
// would make them: the same but for rounding at a whole factor and a larger size, a little
// softer at a small fraction (the Calibration tab's copy), in mean difference per colour
// channel.
TEST_F(PanelPictureTest, CommittedPictureScalesAsQtsSmoothScalingWould)
{
    TPanelPicture q910(dir.Picture());
    ASSERT_EQ(q910.Refresh().status, Status::Loaded);
    const QImage full(dir.Picture()); // Qt's own reader as the yardstick
    ASSERT_FALSE(full.isNull());
    const struct
    {
        QSize size;
        double meanDifference;
    } cases[] = {{{1000, 491}, 0.5}, {{2400, 1178}, 0.5}, {{800, 393}, 1.0}, {{177, 57}, 4.0}};
    for (const auto& c : cases) {
        const QImage ours = q910.Scaled(c.size);
        const QImage qts = full.scaled(c.size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                               .convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(ours.size(), c.size);
        double difference = 0;
        for (int y = 0; y < c.size.height(); ++y) {
            for (int x = 0; x < c.size.width(); ++x) {
                const QRgb a = ours.pixel(x, y), b = qts.pixel(x, y);
                difference += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                              std::abs(qBlue(a) - qBlue(b));
            }
        }
        const double pixels = double(c.size.width()) * c.size.height();
        EXPECT_LE(difference / (3 * pixels), c.meanDifference) << c.size.width();
    }
}

} // namespace
