#include "logrecovery.h"

#include <QDir>

namespace {

constexpr qsizetype kFlushSize = 64 * 1024;

TLogFileResult Success()
{
    return {true, false, {}};
}

} // namespace

TLogRecovery::TLogRecovery(const QString& folder) : m_folder(folder) {}

TLogRecovery::~TLogRecovery()
{
    if (IsOpen()) {
        m_file.write(m_buffer);
        m_file.close();
    }
}

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

TLogFileResult TLogRecovery::Begin(const QString& comment, const TLogHeader& header, int decimals)
{
    if (IsOpen())
        m_file.close();
    m_buffer.clear();
    if (!m_lock) {
        auto lock = std::make_unique<QLockFile>(LockPathIn(m_folder));
        lock->setStaleLockTime(0); // a long run is not stale; only a dead owner makes it so
        if (!lock->tryLock(0))
            return {false, false,
                    QStringLiteral("The recovery file is in use: %1")
                        .arg(QDir::toNativeSeparators(FilePath()))};
        m_lock = std::move(lock);
    }
    m_file.setFileName(FilePath());
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return {false, false, m_file.errorString()};
    m_decimals = decimals;
    m_buffer += logfile::LiveHead(comment, header);
    return Flush();
}

bool TLogRecovery::IsOpen() const
{
    return m_file.isOpen();
}

void TLogRecovery::Append(const TLogPoint& point)
{
    if (!IsOpen())
        return;
    logfile::AppendPointRow(m_buffer, point, m_decimals);
    if (m_buffer.size() > kFlushSize)
        (void)Flush(); // a failure shows again at the page's next timed Flush()
}

TLogFileResult TLogRecovery::Flush()
{
    if (!IsOpen())
        return Success();
    if (!m_buffer.isEmpty()) {
        if (m_file.write(m_buffer) != m_buffer.size())
            return {false, false, m_file.errorString()};
        m_buffer.clear();
    }
    if (!m_file.flush())
        return {false, false, m_file.errorString()};
    return Success();
}

TLogFileResult TLogRecovery::Close()
{
    const TLogFileResult result = Flush();
    m_file.close();
    return result;
}

void TLogRecovery::Discard()
{
    m_file.close();
    m_buffer.clear();
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
