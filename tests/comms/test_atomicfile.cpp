// The one writer of every file: a failed write, whenever it fails, leaves the earlier file as
// it was, says the system's reason and leaves no temporary file; a whole one replaces it.
#include "atomicfile.h"

#include "smalldisk.h"

#include <gtest/gtest.h>

namespace {

const QByteArray kEarlier = "the earlier file\n";

// A disk that takes `budget` bytes, then refuses with the system's reason.
class TFullAfter : public QIODevice
{
public:
    explicit TFullAfter(qint64 budget) : m_budget(budget)
    {
        open(QIODevice::WriteOnly);
        setErrorString(qt_error_string(ENOSPC));
    }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 size) override
    {
        const qint64 taken = qMin(size, m_budget);
        m_budget -= taken;
        return taken > 0 ? taken : -1;
    }

private:
    qint64 m_budget;
};

// 10,000 bytes in one write or in several, the disk taking only so many of them.
TEST(AtomicFile, DiskFullAfterAnyByteKeepsTheEarlierFile)
{
    for (const auto& [budget, writes] : {std::pair{0, 1}, {3000, 1}, {4000, 3}, {9999, 1}}) {
        QTemporaryDir dir;
        const QString path = dir.filePath("file.txt");
        ASSERT_EQ(TAtomicFile::WriteFile(path, kEarlier), "");
        TAtomicFile file(
            path, [budget = budget](QFile&) { return std::make_unique<TFullAfter>(budget); });
        bool written = file.Open();
        for (int i = 0; written && i < writes; ++i)
            written = file.Write(QByteArray(10000 / writes, 'n'));
        EXPECT_FALSE(written && file.Commit()) << budget;
        EXPECT_EQ(file.ErrorString(), "No space left on device") << budget;
        QFile earlier(path);
        EXPECT_TRUE(earlier.open(QIODevice::ReadOnly) && earlier.readAll() == kEarlier);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"file.txt"}) << budget;
    }
}

TEST(AtomicFile, FullOrReadOnlyDiskKeepsTheEarlierFile)
{
    SKIP_UNLESS_RUN(OnSmallDisks("file.txt", kEarlier, [](TSmallDisk& disk) {
        return TAtomicFile::WriteFile(disk.Path("file.txt"), QByteArray(20000, 'n'));
    }));
}

TEST(AtomicFile, WholeFileReplacesTheEarlierOneKeepingItsPermissionsAndLinks)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("file.txt");
    ASSERT_EQ(TAtomicFile::WriteFile(path, kEarlier), "");
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner));
    ASSERT_TRUE(QFile::link(path, dir.filePath("link.txt")));
    ASSERT_EQ(TAtomicFile::WriteFile(dir.filePath("link.txt"), "new"), "");
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly) && file.readAll() == "new");
    EXPECT_EQ(file.permissions() & QFile::Permissions(0x7077), QFile::ReadOwner | QFile::WriteOwner)
        << "owner, group and others as before";
    EXPECT_TRUE(QFileInfo(dir.filePath("link.txt")).isSymLink()) << "the link stays a link";
    // A rename that fails removes the temporary file too.
    ASSERT_TRUE(QDir(dir.path()).mkdir("taken"));
    EXPECT_EQ(TAtomicFile::WriteFile(dir.filePath("taken"), "x"), "Is a directory");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"file.txt", "link.txt"}));
}

} // namespace
