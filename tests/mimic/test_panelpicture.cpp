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
    void WritePicture(QColor colour, QSize size = QSize(40, 20))
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(colour);
        ASSERT_TRUE(image.save(path, "JPEG", 100));
    }
    void SetTime(const QDateTime& time)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(time, QFileDevice::FileModificationTime));
    }

    ProgramDir dir;
    QString path = dir.File(QStringLiteral("panel.jpg"));
    TPanelPicture picture{path};
};

TEST_F(PanelPictureTest, LoadsOnceThenReportsUnchanged)
{
    WritePicture(Qt::red);
    EXPECT_EQ(picture.Refresh().status, Status::Loaded);
    EXPECT_EQ(picture.Refresh().status, Status::Unchanged);
    EXPECT_EQ(picture.Image().size(), QSize(40, 20));
}

TEST_F(PanelPictureTest, ContentIsTrustedWhileTimeAndSizeStay)
{
    WritePicture(Qt::red);
    const QDateTime stamp = QDateTime::currentDateTime().addSecs(-60);
    SetTime(stamp);
    ASSERT_EQ(picture.Refresh().status, Status::Loaded);
    // Same length, same time: not read again, so the first picture stays.
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    const QByteArray bytes = file.readAll();
    file.seek(0);
    file.write(QByteArray(bytes.size(), 'x'));
    file.close();
    SetTime(stamp);
    EXPECT_EQ(picture.Refresh().status, Status::Unchanged);
    EXPECT_GT(qRed(picture.Image().pixel(0, 0)), 240);
}

TEST_F(PanelPictureTest, NewTimeOrSizeLoadsAgain)
{
    WritePicture(Qt::red);
    SetTime(QDateTime::currentDateTime().addSecs(-60));
    ASSERT_EQ(picture.Refresh().status, Status::Loaded);
    WritePicture(Qt::blue, QSize(40, 20));
    SetTime(QDateTime::currentDateTime().addSecs(-30));
    EXPECT_EQ(picture.Refresh().status, Status::Loaded);
    EXPECT_GT(qBlue(picture.Image().pixel(0, 0)), 240);
    WritePicture(Qt::green, QSize(80, 20));
    SetTime(QDateTime::currentDateTime().addSecs(-30)); // same time, new size
    EXPECT_EQ(picture.Refresh().status, Status::Loaded);
    EXPECT_EQ(picture.Image().width(), 80);
}

TEST_F(PanelPictureTest, VanishedFileFailsEveryTimeAndKeepsTheLastPicture)
{
    WritePicture(Qt::red);
    ASSERT_EQ(picture.Refresh().status, Status::Loaded);
    QFile::remove(path);
    for (int i = 0; i < 2; ++i) {
        const auto result = picture.Refresh();
        EXPECT_EQ(result.status, Status::Failed);
        EXPECT_TRUE(result.error.contains(QStringLiteral("missing")));
    }
    EXPECT_FALSE(picture.Image().isNull());
    WritePicture(Qt::blue);
    EXPECT_EQ(picture.Refresh().status, Status::Loaded);
}

TEST_F(PanelPictureTest, UnreadableFileFailsWithTheSameMessageUntilItChanges)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\xFF\xD8 broken");
    file.close();
    const auto first = picture.Refresh();
    EXPECT_EQ(first.status, Status::Failed);
    EXPECT_FALSE(first.error.isEmpty());
    const auto second = picture.Refresh();
    EXPECT_EQ(second.status, Status::Failed);
    EXPECT_EQ(second.error, first.error);
    EXPECT_TRUE(picture.Image().isNull());
    EXPECT_TRUE(picture.Scaled(QSize(10, 10)).isNull());
}

TEST_F(PanelPictureTest, ScaledCopyFollowsSizeAndPicture)
{
    WritePicture(Qt::red);
    ASSERT_EQ(picture.Refresh().status, Status::Loaded);
    const QImage& scaled = picture.Scaled(QSize(400, 300));
    EXPECT_EQ(scaled.size(), QSize(400, 300));
    const qint64 key = scaled.cacheKey();
    EXPECT_EQ(picture.Scaled(QSize(400, 300)).cacheKey(), key);
    EXPECT_EQ(picture.Scaled(QSize(200, 100)).size(), QSize(200, 100));
}

TEST_F(PanelPictureTest, TheCommittedQ910PictureHasThePanelsAspect)
{
    TPanelPicture q910(dir.Picture());
    ASSERT_EQ(q910.Refresh().status, Status::Loaded);
    const QSize size = q910.Image().size();
    EXPECT_EQ(size.width() * 491, size.height() * 1000);
    EXPECT_GE(size.width(), 1000);
}

} // namespace
