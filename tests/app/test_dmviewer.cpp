#include "dmviewer.h"
#include "smalldisk.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

const char* kSample = "; top comment kept\n"
                      "[Images]\n"
                      "Instrument=panel.jpg\n"
                      "\n"
                      "; about the box\n"
                      "[About]\n"
                      "ViewerName=ViewX\n"
                      "Comment1=first line\n"
                      "Zeta=unknown key\n"
                      "Alpha=another\n"
                      "\n"
                      "[Comms]\n"
                      "; serial settings\n"
                      "Port=3\n"
                      "Cable=0\n"
                      "\n"
                      "[Custom]\n"
                      "Keep=me ; not a comment\n";

void Write(const QString& path, const QByteArray& text)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
}

QByteArray Read(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(TdatViewer, DefaultsWithoutFileAndNothingWritten)
{
    QTemporaryDir dir;
    {
        TdatViewer config(dir.path(), dir.filePath("user"));
        EXPECT_FALSE(config.ConfigValid());
        EXPECT_EQ(config.ViewerName(), "ViewQ900");
        EXPECT_EQ(config.InstrumentImage(), QDir(dir.path()).absolutePath() + "/");
        EXPECT_EQ(config.Comment(1), "");
        EXPECT_EQ(config.Port(), 0);
        EXPECT_EQ(config.Cable(), 1);
        EXPECT_EQ(config.Baud(), 2);
        EXPECT_EQ(config.Data(), 1);
        config.SetPort(7);
        EXPECT_EQ(config.Save(), "");
    }
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty())
        << "a missing config.ini is never created";
}

TEST(TdatViewer, ReadsValuesAndFillsMissingKeysWithDefaults)
{
    QTemporaryDir dir;
    Write(dir.filePath("config.ini"), kSample);
    TdatViewer config(dir.path());
    ASSERT_TRUE(config.ConfigValid());
    EXPECT_FALSE(config.UsesUserLayer());
    EXPECT_EQ(config.ViewerName(), "ViewX");
    EXPECT_EQ(config.InstrumentImage(), QDir(dir.path()).absolutePath() + "/panel.jpg");
    EXPECT_EQ(config.Comment(1), "first line");
    EXPECT_EQ(config.Port(), 3);
    EXPECT_EQ(config.Cable(), 0);
    EXPECT_EQ(config.Address(), 0);
    EXPECT_EQ(config.Baud(), 2);
}

TEST(TdatViewer, WriteBackKeepsCommentsOrderAndUnknownEntries)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("config.ini");
    Write(file, kSample);
    {
        TdatViewer unchanged(dir.path());
        unchanged.SetPort(3);
    }
    EXPECT_EQ(Read(file), QByteArray(kSample)) << "setting a value it already has changes nothing";

    {
        TdatViewer config(dir.path());
        config.SetPort(12);
        config.SetAddress(5);
    }
    const QString text = QString::fromUtf8(Read(file));
    EXPECT_TRUE(text.contains("; top comment kept"));
    EXPECT_TRUE(text.contains("; serial settings\nPort=12\nCable=0\nAddress=5"));
    EXPECT_LT(text.indexOf("Zeta="), text.indexOf("Alpha="));
    EXPECT_TRUE(text.contains("Keep=me ; not a comment"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"config.ini"})
        << "no temporary file left behind";

    const QByteArray once = Read(file);
    {
        TdatViewer config(dir.path());
        config.SetPort(13);
        config.SetPort(12);
    }
    EXPECT_EQ(Read(file), once) << "a second write-back is stable";
}

TEST(TdatViewer, FailedWriteIsReported)
{
    auto dir = std::make_unique<QTemporaryDir>();
    Write(dir->filePath("config.ini"), kSample);
    TdatViewer config(dir->path());
    config.SetPort(9);
    dir.reset(); // the program folder vanishes before exit
    EXPECT_NE(config.Save(), "");
}

TEST(TdatViewer, InstalledCopyKeepsCommsInUserLayer)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("config.ini");
    const QString user = dir.filePath("user");
    Write(file, kSample);
    {
        TdatViewer config(dir.path(), user);
        EXPECT_TRUE(config.UsesUserLayer());
        EXPECT_EQ(config.Port(), 3) << "installed value shows through";
    }
    EXPECT_FALSE(QFileInfo::exists(user + "/config.ini")) << "nothing changed, nothing written";
    {
        TdatViewer config(dir.path(), user);
        config.SetPort(4);
        config.SetPortName("/dev/ttyUSB0");
    }
    EXPECT_EQ(Read(file), QByteArray(kSample)) << "installed file untouched";
    TdatViewer again(dir.path(), user);
    EXPECT_EQ(again.Port(), 4);
    EXPECT_EQ(again.Cable(), 0);
    EXPECT_EQ(again.PortName(), "/dev/ttyUSB0");
    EXPECT_EQ(again.ViewerName(), "ViewX");
}

// config.ini beside the program, and the user's own copy of an installed one.
TEST(TdatViewer, FullOrReadOnlyDiskKeepsTheEarlierFile)
{
    const auto changed = [](const QString& program, const QString& user) {
        TdatViewer config(program, user);
        config.SetPortName(QString(5000, u'p')); // more than the 4 kB left
        return config.Save();
    };
    // A read-only program folder is an installed one, whose settings go to the user's copy.
    SKIP_UNLESS_RUN(OnSmallDisks("config.ini", kSample,
                                 [&](TSmallDisk& disk) { return changed(disk.Path({}), {}); },
                                 {TDiskState::Full, TDiskState::Room4k}));
    QTemporaryDir program;
    Write(program.filePath("config.ini"), kSample);
    SKIP_UNLESS_RUN(OnSmallDisks("config.ini", "[Comms]\nPort=5\n", [&](TSmallDisk& disk) {
        return changed(program.path(), disk.Path({}));
    }));
}
