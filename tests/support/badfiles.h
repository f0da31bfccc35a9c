#pragma once

// Damaged and hostile files for the readers' tests: sparse giants, junk, pipes, and the
// memory a reader took for them.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <random>

#ifdef __linux__
#include <sys/resource.h>
#include <sys/stat.h>
#endif

namespace badfiles {

inline constexpr qint64 kGigabyte = qint64(1) << 30;

// A file of `size` bytes that starts with `head` and takes no disk space beyond it (as
// `truncate -s` makes it): the rest reads as zeros.
inline bool WriteSparse(const QString& path, qint64 size, const QByteArray& head = {})
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(head) == head.size() && file.resize(size);
}

inline bool WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

// `size` random bytes, the same for the same seed.
inline QByteArray Junk(qsizetype size, unsigned seed = 14)
{
    std::mt19937 random(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& c : bytes)
        c = char(random() & 0xFF);
    return bytes;
}

// `size` random printable characters in lines of about 100: junk no binary check catches.
inline QByteArray TextJunk(qsizetype size, unsigned seed = 14)
{
    std::mt19937 random(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = random() % 100 == 0 ? '\n' : char(' ' + random() % 95);
    return bytes;
}

// A named pipe, which blocks whoever opens it for reading until a writer comes.
inline bool MakeFifo(const QString& path)
{
#ifdef __linux__
    return mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
#else
    (void)path;
    return false;
#endif
}

// The process's peak resident memory so far in MiB; a reader that took a giant file whole
// shows here however briefly it held it.
inline long PeakResidentMiB()
{
#ifdef __linux__
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
#else
    return 0;
#endif
}

} // namespace badfiles
