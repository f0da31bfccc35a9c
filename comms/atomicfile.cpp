#include "atomicfile.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>

#include <string>
#else
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#endif

namespace {

constexpr int kNameTries = 16;

// Through a symbolic link the file it names is replaced, so that the link stays a link.
QString Target(const QString& path)
{
    const QFileInfo info(path);
    return info.isSymLink() ? info.symLinkTarget() : path;
}

QString TemporaryName(const QString& target)
{
    return QStringLiteral("%1.%2.tmp")
        .arg(target)
        .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
}

// The system's reason for the call that just failed.
QString SystemReason()
{
#ifdef Q_OS_WIN
    return qt_error_string(-1);
#else
    return qt_error_string(errno);
#endif
}

bool SyncToDisk(int handle)
{
#ifdef Q_OS_WIN
    return _commit(handle) == 0;
#else
    return ::fsync(handle) == 0;
#endif
}

bool ReplaceFile(const QString& from, const QString& to)
{
#ifdef Q_OS_WIN
    const std::wstring source = QDir::toNativeSeparators(from).toStdWString();
    const std::wstring target = QDir::toNativeSeparators(to).toStdWString();
    return MoveFileExW(source.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
#endif
}

// The rename is kept by the folder: without this a power cut can still bring the earlier
// file back. A folder that cannot be synced is no failure of the file.
void SyncFolderOf(const QString& path)
{
#ifndef Q_OS_WIN
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    const int handle = ::open(folder.constData(), O_RDONLY | O_DIRECTORY);
    if (handle >= 0) {
        ::fsync(handle);
        ::close(handle);
    }
#else
    Q_UNUSED(path)
#endif
}

} // namespace

TAtomicFile::TAtomicFile(const QString& path, TDeviceMaker makeDevice)
    : m_path(path), m_makeDevice(std::move(makeDevice))
{
}

TAtomicFile::~TAtomicFile()
{
    Cancel();
}

bool TAtomicFile::Open()
{
    Cancel();
    m_error.clear();
    const QString target = Target(m_path);
    // Unbuffered: every write reaches the system at once and its refusal is seen there.
    constexpr auto kMode = QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered;
    for (int i = 0; i < kNameTries && !m_file.isOpen(); ++i) {
        m_file.setFileName(TemporaryName(target));
        if (!m_file.open(kMode) && !QFileInfo::exists(m_file.fileName()))
            return Fail(m_file.errorString());
    }
    if (!m_file.isOpen())
        return Fail(m_file.errorString());
    m_created = true;
    if (QFileInfo::exists(target))
        m_file.setPermissions(QFile::permissions(target));
    if (m_makeDevice)
        m_device = m_makeDevice(m_file);
    return true;
}

QIODevice& TAtomicFile::Device()
{
    return m_device ? *m_device : static_cast<QIODevice&>(m_file);
}

bool TAtomicFile::Write(QByteArrayView bytes)
{
    if (!IsOpen())
        return Fail(m_error.isEmpty() ? QStringLiteral("The file is not open.") : m_error);
    qint64 done = 0;
    while (done < bytes.size()) {
        // A short write alone (the edge of a full disk) carries no reason: the next one does.
        const qint64 written = Device().write(bytes.data() + done, bytes.size() - done);
        if (written <= 0)
            return Fail(Device().errorString());
        done += written;
    }
    return true;
}

bool TAtomicFile::Commit()
{
    if (!IsOpen())
        return Fail(m_error.isEmpty() ? QStringLiteral("The file is not open.") : m_error);
    m_device.reset();
    if (!m_file.flush())
        return Fail(m_file.errorString());
    if (!SyncToDisk(m_file.handle()))
        return Fail(SystemReason());
    m_file.close();
    if (!ReplaceFile(m_file.fileName(), Target(m_path)))
        return Fail(SystemReason());
    m_created = false;
    SyncFolderOf(m_path);
    return true;
}

void TAtomicFile::Cancel()
{
    m_device.reset();
    if (m_file.isOpen())
        m_file.close();
    if (m_created)
        QFile::remove(m_file.fileName());
    m_created = false;
}

bool TAtomicFile::Fail(const QString& reason)
{
    m_error = reason;
    Cancel();
    return false;
}

QString TAtomicFile::WriteFile(const QString& path, QByteArrayView bytes)
{
    TAtomicFile file(path);
    if (!file.Open() || !file.Write(bytes) || !file.Commit())
        return file.ErrorString();
    return {};
}
