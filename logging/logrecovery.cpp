#include "logrecovery.h"

#include <QDir>

namespace {

constexpr qsizetype kFlushSize = 64 * 1024;
constexpr char kLineEnd[] = "\r\n";

// Form A of the header needs no points; the recovery file has no traces to read.
class TNoTraces : public ITraceSource
{
public:
    qsizetype PointCount(int) const override { return 0; }
    TTracePoint Point(int, qsizetype) const override { return {}; }
};

TLogFileResult Success()
{
    return {true, false, {}};
}

} // namespace

TLogRecovery::TLogRecovery(const QString& folder) : mFolder(folder) {}

TLogRecovery::~TLogRecovery()
{
    if (IsOpen()) {
        mFile.write(mBuffer);
        mFile.close();
    }
}

QString TLogRecovery::FileName()
{
    return QStringLiteral("log-recovery.csv");
}

QString TLogRecovery::FilePath() const
{
    return PathIn(mFolder);
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
        mFile.close();
    mBuffer.clear();
    if (!mLock) {
        auto lock = std::make_unique<QLockFile>(LockPathIn(mFolder));
        lock->setStaleLockTime(0); // a long run is not stale; only a dead owner makes it so
        if (!lock->tryLock(0))
            return {false, false,
                    QStringLiteral("The recovery file is in use: %1")
                        .arg(QDir::toNativeSeparators(FilePath()))};
        mLock = std::move(lock);
    }
    mFile.setFileName(FilePath());
    if (!mFile.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return {false, false, mFile.errorString()};
    mDecimals = decimals;
    TLogHeader live = header;
    live.live = true;
    mBuffer += logfile::CommentLine(comment) + kLineEnd;
    mBuffer += logfile::HeaderLine(live, TNoTraces()) + kLineEnd;
    return Flush();
}

bool TLogRecovery::IsOpen() const
{
    return mFile.isOpen();
}

void TLogRecovery::Append(const TLogPoint& point)
{
    if (!IsOpen())
        return;
    logfile::AppendPointRow(mBuffer, point, mDecimals);
    if (mBuffer.size() > kFlushSize)
        (void)Flush(); // a failure shows again at the page's next timed Flush()
}

TLogFileResult TLogRecovery::Flush()
{
    if (!IsOpen())
        return Success();
    if (!mBuffer.isEmpty()) {
        if (mFile.write(mBuffer) != mBuffer.size())
            return {false, false, mFile.errorString()};
        mBuffer.clear();
    }
    if (!mFile.flush())
        return {false, false, mFile.errorString()};
    return Success();
}

TLogFileResult TLogRecovery::Close()
{
    const TLogFileResult result = Flush();
    mFile.close();
    return result;
}

void TLogRecovery::Discard()
{
    mFile.close();
    mBuffer.clear();
    QFile::remove(FilePath());
    mLock.reset();
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
