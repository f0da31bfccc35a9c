#include "logstream.h"

#include "atomicfile.h"

#include <QDir>

namespace {

constexpr qsizetype kFlushSize = 64 * 1024;

TLogFileResult Success()
{
    return {true, false, {}};
}

} // namespace

TLogStream::~TLogStream()
{
    if (m_file.isOpen())
        (void)Close();
}

TLogFileResult TLogStream::Begin(const QString& path, const QString& comment,
                                 const TLogHeader& header, int decimals, const ITraceSource* sofar)
{
    Drop();
    m_file.setFileName(logfile::WithDefaultExtension(path));
    m_decimals = decimals;
    m_rows = sofar ? sofar->PointCount(traces::Weight) : 0;
    QByteArray head = logfile::LiveHead(comment, header);
    if (sofar)
        logfile::AppendRows(head, *sofar, 0, m_rows, decimals);
    // The head goes in whole through a temporary file, so that an earlier file stays as it
    // was when it cannot be written; the rows are added to it.
    QString error = TAtomicFile::WriteFile(m_file.fileName(), head);
    if (error.isEmpty() && !m_file.open(QIODevice::Append | QIODevice::Unbuffered))
        error = m_file.errorString();
    m_size = m_wholeSize = head.size();
    if (error.isEmpty())
        return Success();
    return {false, false,
            QStringLiteral("Cannot write %1: %2")
                .arg(QDir::toNativeSeparators(m_file.fileName()), error)};
}

void TLogStream::Append(const TLogPoint& point)
{
    if (!IsOpen())
        return;
    logfile::AppendPointRow(m_buffer, point, m_decimals);
    ++m_rows;
    if (m_buffer.size() > kFlushSize)
        (void)Flush(); // a failure shows again at the caller's next timed Flush()
}

// What the system took leaves the buffer and what it refused stays, so a disk that is full
// for a while loses no row.
TLogFileResult TLogStream::Flush()
{
    qint64 done = 0;
    while (m_file.isOpen() && done < m_buffer.size()) {
        const qint64 written = m_file.write(m_buffer.constData() + done, m_buffer.size() - done);
        if (written <= 0)
            break;
        done += written;
    }
    if (done > 0) {
        m_size += done;
        const qsizetype lastEnd = m_buffer.lastIndexOf('\n', done - 1);
        if (lastEnd >= 0)
            m_wholeSize = m_size - (done - 1 - lastEnd);
    }
    m_buffer.remove(0, done);
    if (!m_file.isOpen() || m_buffer.isEmpty())
        return Success();
    return {false, false, m_file.errorString()};
}

// Rows the disk never took are lost then; a row it took in part is cut off, so the file ends
// at a whole row.
TLogFileResult TLogStream::Close()
{
    const TLogFileResult result = Flush();
    if (!result.ok)
        m_file.resize(m_wholeSize);
    Drop();
    return result;
}

void TLogStream::Drop()
{
    m_file.close();
    m_buffer.clear();
}
