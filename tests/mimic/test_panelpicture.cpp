// The front-panel picture: decoded once, read again only when the file changes.
#include "mimictestdata.h"

#include "panelpicture.h"

#include <QDateTime>
#include <QFile>

#include <gtest/gtest.h>

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
    EXPECT_GT(qRed(picture.Image().pixel(0, 0)), 240);

    WritePicture(Qt::blue, 40, 30); // new time
    EXPECT_EQ(picture.Refresh().status, Status::Loaded);
    EXPECT_GT(qBlue(picture.Image().pixel(0, 0)), 240);
    WritePicture(Qt::green, 80, 30); // new size
    EXPECT_EQ(picture.Refresh().status, Status::Loaded);
    EXPECT_EQ(picture.Image().width(), 80);
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
    EXPECT_EQ(picture.Image().width(), 40);
    WritePicture(Qt::blue, 40, 10);
    EXPECT_EQ(picture.Refresh().status, Status::Loaded);
}

TEST_F(PanelPictureTest, CommittedQ910PictureHasThePanelsAspectAndScalesOnce)
{
    TPanelPicture q910(dir.Picture());
    ASSERT_EQ(q910.Refresh().status, Status::Loaded);
    const QSize size = q910.Image().size();
    EXPECT_EQ(size.width() * 491, size.height() * 1000);
    EXPECT_TRUE(q910.Scaled(QSize(10, 0)).isNull());
    const qint64 key = q910.Scaled(QSize(400, 196)).cacheKey();
    EXPECT_EQ(q910.Scaled(QSize(400, 196)).cacheKey(), key); // kept while the size stays
    EXPECT_EQ(q910.Scaled(QSize(200, 100)).size(), QSize(200, 100));
}

} // namespace
