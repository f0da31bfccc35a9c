#pragma once

// A 64 kB tmpfs of the test's own, on which a writer meets a full or read-only disk as a user
// whose disk fills would. Mounting needs root (CI runs as root); elsewhere the test skips.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/mount.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <string>

enum class TDiskState
{
    Full,
    Room4k,
    ReadOnly
}; // Room4k: a write fails part-way

class TSmallDisk
{
public:
    TSmallDisk()
    {
        if (::mount("tmpfs", m_native.constData(), "tmpfs", 0, "size=64k") != 0)
            whyNot = std::string("cannot mount a tmpfs here: ") + std::strerror(errno);
    }
    ~TSmallDisk()
    {
        if (whyNot.empty())
            ::umount2(m_native.constData(), MNT_DETACH);
    }
    [[nodiscard]] QString Path(const QString& name) const { return m_dir.filePath(name); }
    [[nodiscard]] bool Bring(TDiskState state) const
    {
        if (state == TDiskState::ReadOnly)
            return ::mount({}, m_native.constData(), {}, MS_REMOUNT | MS_RDONLY, {}) == 0;
        QFile filler(Path(".filler"));
        filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
        while (filler.write(QByteArray(4096, 'f')) == 4096) {
        }
        return state == TDiskState::Full || filler.resize(filler.size() - 4096);
    }
    // Room again, as when the user deleted something.
    [[nodiscard]] bool MakeRoom() const { return QFile::remove(Path(".filler")); }

    std::string whyNot; // empty when the disk is there

private:
    QTemporaryDir m_dir;
    QByteArray m_native = QFile::encodeName(m_dir.path());
};

// The table of every writer: `write` (returning its message) on a full disk, one with 4 kB
// left and a read-only one, each holding the earlier file `name`. Each failed write must leave
// the earlier file's bytes as they were, the system's reason in the message and no temporary
// file. Why no disk could be had, or empty.
[[nodiscard]] inline std::string OnSmallDisks(const QString& name, const QByteArray& earlier,
                                              const std::function<QString(TSmallDisk&)>& write,
                                              std::initializer_list<TDiskState> states = {
                                                  TDiskState::Full, TDiskState::Room4k,
                                                  TDiskState::ReadOnly})
{
    for (TDiskState state : states) {
        SCOPED_TRACE(int(state)); // 0 full, 1 4 kB left, 2 read-only
        TSmallDisk disk;
        QFile file(disk.Path(name));
        if (!disk.whyNot.empty() || !file.open(QIODevice::WriteOnly))
            return disk.whyNot;
        file.write(earlier);
        file.close();
        EXPECT_TRUE(disk.Bring(state));
        const QString message = write(disk);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly) && file.readAll() == earlier) << "earlier file";
        EXPECT_TRUE(message.contains(state == TDiskState::ReadOnly ? "Read-only file system"
                                                                   : "No space left on device"))
            << message.toStdString();
        QStringList left = QDir(disk.Path({})).entryList(QDir::Files | QDir::Hidden);
        left.removeAll(".filler");
        EXPECT_EQ(left, QStringList{name}) << "left behind";
    }
    return {};
}

#define SKIP_UNLESS_RUN(onSmallDisks)                                                              \
    if (const std::string whyNot = (onSmallDisks); !whyNot.empty())                                \
    GTEST_SKIP() << whyNot
