#include "logstream.h"

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
                                 const TLogHeader& header, int decimals)
{
    Drop();
    m_file.setFileName(logfile::WithDefaultExtension(path));
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return {false, false,
                QStringLiteral("Cannot write %1: %2").arg(m_file.fileName(), m_file.errorString())};
    m_decimals = decimals;
    m_rows = 0;
    m_buffer = logfile::LiveHead(comment, header);
    return Flush();
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

TLogFileResult TLogStream::Flush()
{
    if (!m_file.isOpen())
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

TLogFileResult TLogStream::Close()
{
    const TLogFileResult result = Flush();
    m_file.close();
    return result;
}

void TLogStream::Drop()
{
    m_file.close();
    m_buffer.clear();
}
