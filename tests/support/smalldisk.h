#pragma once

// A 64 kB tmpfs of the test's own, on which a writer meets a full or read-only disk as a user
// whose disk fills would. Mounting needs root (CI runs as root); where it is not allowed the
// test is skipped and says why. Unmounted when the test ends.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/mount.h>

#include <cerrno>
#include <cstring>
#include <ostream>

// What the disk is like when the writer runs.
enum class TDiskState
{
    Full,
    Room4k, // one page left: the write fails part-way
    ReadOnly,
};

inline const char* ReasonFor(TDiskState state)
{
    return state == TDiskState::ReadOnly ? "Read-only file system" : "No space left on device";
}

inline void PrintTo(TDiskState state, std::ostream* out)
{
    *out << (state == TDiskState::Full     ? "full disk"
             : state == TDiskState::Room4k ? "4 kB left"
                                           : "read-only disk");
}

class TSmallDisk
{
public:
    TSmallDisk()
    {
        const QByteArray path = QFile::encodeName(m_dir.path());
        if (::mount("tmpfs", path.constData(), "tmpfs", 0, "size=64k") == 0)
            m_mounted = true;
        else
            m_whyNot =
                std::string("cannot mount a tmpfs here (needs root): ") + std::strerror(errno);
    }
    ~TSmallDisk()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
    }
    TSmallDisk(const TSmallDisk&) = delete;
    TSmallDisk& operator=(const TSmallDisk&) = delete;

    // Empty when the disk is there.
    [[nodiscard]] const std::string& WhyNot() const { return m_whyNot; }
    [[nodiscard]] QString Path(const QString& name) const { return m_dir.filePath(name); }

    [[nodiscard]] bool Put(const QString& name, const QByteArray& bytes) const
    {
        QFile file(Path(name));
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }
    [[nodiscard]] QByteArray Bytes(const QString& name) const
    {
        QFile file(Path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(no file)");
    }

    // Fills the disk or makes it read-only.
    [[nodiscard]] bool Bring(TDiskState state) const
    {
        if (state == TDiskState::ReadOnly)
            return ::mount(nullptr, QFile::encodeName(m_dir.path()).constData(), nullptr,
                           MS_REMOUNT | MS_RDONLY, nullptr) == 0;
        QFile filler(Path(QString::fromLatin1(kFiller)));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return false;
        const QByteArray page(kPage, 'f');
        while (filler.write(page) == kPage) {
        }
        return state == TDiskState::Full || filler.resize(filler.size() - kPage);
    }
    // Room again, as when the user deleted something.
    [[nodiscard]] bool MakeRoom() const
    {
        return QFile::remove(Path(QString::fromLatin1(kFiller)));
    }

    // Files on the disk other than `expected`: temporary files left behind.
    [[nodiscard]] QStringList Others(const QStringList& expected) const
    {
        QStringList others = QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden);
        others.removeAll(QString::fromLatin1(kFiller));
        for (const QString& name : expected)
            others.removeAll(name);
        return others;
    }

    // What every failed write must leave: the earlier file's bytes as they were, the system's
    // reason in the message, and no temporary file.
    void ExpectEarlierKept(const QString& name, const QByteArray& earlier, const QString& message,
                           TDiskState state, const QStringList& alsoThere = {}) const
    {
        EXPECT_EQ(Bytes(name), earlier) << "the earlier file";
        EXPECT_TRUE(message.contains(QLatin1String(ReasonFor(state))))
            << "the message: " << message.toStdString();
        EXPECT_EQ(Others(QStringList(alsoThere) << name), QStringList()) << "left behind";
    }

private:
    static constexpr const char* kFiller = ".filler";
    static constexpr int kPage = 4096;

    QTemporaryDir m_dir;
    bool m_mounted = false;
    std::string m_whyNot;
};

// Skips the test where no small disk can be had.
#define REQUIRE_SMALL_DISK(disk)                                                                   \
    if (!(disk).WhyNot().empty())                                                                  \
    GTEST_SKIP() << (disk).WhyNot()
