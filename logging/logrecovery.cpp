#include "logrecovery.h"

#include <QDir>

TLogRecovery::TLogRecovery(const QString& folder) : m_folder(folder) {}

QString TLogRecovery::FileName()
{
    return QStringLiteral("log-recovery.csv");
}

QString TLogRecovery::FilePath() const
{
    return PathIn(m_folder);
}

QString TLogRecovery::PathIn(const QString& folder)
{
    return QDir(folder).filePath(FileName());
}

QString TLogRecovery::LockPathIn(const QString& folder)
{
    return PathIn(folder) + QStringLiteral(".lock");
}

TLogFileResult TLogRecovery::Begin(const QString& comment, const TLogHeader& header, int decimals,
                                   const ITraceSource* sofar)
{
    m_stream.Drop();
    if (!TakeLock())
        return {false, false,
                QStringLiteral("The recovery file is in use: %1")
                    .arg(QDir::toNativeSeparators(FilePath()))};
    return m_stream.Begin(FilePath(), comment, header, decimals, sofar);
}

bool TLogRecovery::TakeLock()
{
    if (m_lock)
        return true;
    auto lock = std::make_unique<QLockFile>(LockPathIn(m_folder));
    lock->setStaleLockTime(0); // a long run is not stale; only a dead owner makes it so
    if (lock->tryLock(0))
        m_lock = std::move(lock);
    else if (lock->error() == QLockFile::LockFailedError)
        return false;
    return true;
}

void TLogRecovery::Append(const TLogPoint& point)
{
    m_stream.Append(point);
}

TLogFileResult TLogRecovery::Flush()
{
    if (m_stream.IsOpen())
        TakeLock();
    return m_stream.Flush();
}

TLogFileResult TLogRecovery::Close()
{
    return m_stream.Close();
}

void TLogRecovery::Discard()
{
    m_stream.Drop();
    QFile::remove(FilePath());
    m_lock.reset();
}

QString TLogRecovery::FindLeftOver(const QString& folder)
{
    const QString path = PathIn(folder);
    if (!QFile::exists(path))
        return {};
    QLockFile lock(LockPathIn(folder));
    lock.setStaleLockTime(0);
    if (!lock.tryLock(0))
        return {};
    lock.unlock();
    return path;
}

bool TLogRecovery::RemoveLeftOver(const QString& folder)
{
    const QString path = FindLeftOver(folder);
    return !path.isEmpty() && QFile::remove(path);
}
