// The one writer of every file: a failed write, whenever it fails, leaves the earlier file as
// it was, says the system's reason and leaves no temporary file; a whole one replaces it.
#include "atomicfile.h"

#include "smalldisk.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const QByteArray kEarlier = "the earlier file\n";

// Passes the bytes on to the temporary file until its budget is spent, then refuses as a full
// disk does: part of a write, then nothing, with the system's reason.
class TFullAfter : public QIODevice
{
public:
    TFullAfter(QFile& file, qint64 budget) : m_file(file), m_budget(budget)
    {
        open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        const qint64 room = std::min(size, m_budget);
        if (room <= 0) {
            setErrorString(qt_error_string(ENOSPC));
            return -1;
        }
        const qint64 written = m_file.write(data, room);
        m_budget -= written;
        return written;
    }

private:
    QFile& m_file;
    qint64 m_budget;
};

struct TBudgetCase
{
    const char* what;
    qint64 budget; // bytes the disk takes
    int writes;    // the 10,000 bytes in this many writes
};

void PrintTo(const TBudgetCase& c, std::ostream* out)
{
    *out << c.what;
}

class FullAfterBytes : public ::testing::TestWithParam<TBudgetCase>
{
};

TEST_P(FullAfterBytes, EarlierFileStaysWhole)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("file.txt");
    QFile earlier(path);
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly) && earlier.write(kEarlier) > 0);
    earlier.close();
    const QByteArray bytes(10000, 'n');
    const qint64 chunk = bytes.size() / GetParam().writes + 1;
    TAtomicFile file(path, [](QFile& temporary) {
        return std::make_unique<TFullAfter>(temporary, GetParam().budget);
    });
    ASSERT_TRUE(file.Open());
    bool written = true;
    for (qint64 at = 0; written && at < bytes.size(); at += chunk)
        written = file.Write(QByteArrayView(bytes).sliced(at, std::min(chunk, bytes.size() - at)));
    EXPECT_FALSE(written && file.Commit());
    ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
    EXPECT_EQ(earlier.readAll(), kEarlier);
    EXPECT_EQ(file.ErrorString(), "No space left on device");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"file.txt"});
}

INSTANTIATE_TEST_SUITE_P(Budgets, FullAfterBytes,
                         ::testing::Values(TBudgetCase{"nothing taken", 0, 1},
                                           TBudgetCase{"part of the only write", 3000, 1},
                                           TBudgetCase{"part of the second write", 4000, 3},
                                           TBudgetCase{"one byte short", 9999, 1},
                                           TBudgetCase{"at the end of a write", 5001, 2}));

class OnSmallDisk : public ::testing::TestWithParam<TDiskState>
{
};

TEST_P(OnSmallDisk, EarlierFileStaysWhole)
{
    TSmallDisk disk;
    REQUIRE_SMALL_DISK(disk);
    ASSERT_TRUE(disk.Put("file.txt", kEarlier));
    ASSERT_TRUE(disk.Bring(GetParam()));
    const QString error = TAtomicFile::WriteFile(disk.Path("file.txt"), QByteArray(20000, 'n'));
    disk.ExpectEarlierKept("file.txt", kEarlier, error, GetParam());
}

INSTANTIATE_TEST_SUITE_P(Disks, OnSmallDisk,
                         ::testing::Values(TDiskState::Full, TDiskState::Room4k,
                                           TDiskState::ReadOnly));

TEST(AtomicFile, WholeFileReplacesTheEarlierOneKeepingItsPermissionsAndLinks)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("file.txt");
    QFile earlier(path);
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly) && earlier.write(kEarlier) > 0);
    earlier.close();
    ASSERT_TRUE(earlier.setPermissions(QFile::ReadOwner | QFile::WriteOwner));
    ASSERT_TRUE(QFile::link(path, dir.filePath("link.txt")));
    ASSERT_EQ(TAtomicFile::WriteFile(dir.filePath("link.txt"), "new"), "");
    ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
    EXPECT_EQ(earlier.readAll(), "new");
    EXPECT_EQ(earlier.permissions() & QFile::Permissions(0x7077),
              QFile::ReadOwner | QFile::WriteOwner)
        << "owner, group and others as before";
    EXPECT_TRUE(QFileInfo(dir.filePath("link.txt")).isSymLink()) << "the link stays a link";
}

TEST(AtomicFile, FolderInTheWayIsRefusedWithTheSystemsReason)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir("taken"));
    EXPECT_EQ(TAtomicFile::WriteFile(dir.filePath("taken"), "x"), "Is a directory");
    EXPECT_EQ(TAtomicFile::WriteFile(dir.filePath("none/x"), "x"), "No such file or directory");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

} // namespace
