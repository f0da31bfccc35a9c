#pragma once

#include "logfile.h"

#include <QByteArray>
#include <QFile>
#include <QString>

// A live run's CSV log file written while it is recorded, in the viewer's log file format
// (comment, header, one row per kept sample): rows are buffered and handed to the system at
// each Flush() or once 64 kB are waiting, so a run cut short keeps everything up to the last
// flush, and Close() leaves the complete file. Every write is checked: rows the disk refuses
// wait in memory and go out with a later Flush() once it has room again. The recovery file
// and q900ctl's log are ones.
class TLogStream
{
public:
    TLogStream() = default;
    ~TLogStream();
    TLogStream(const TLogStream&) = delete;
    TLogStream& operator=(const TLogStream&) = delete;

    // Starts the file with the comment, the header (form A) and, for a run that began before
    // its file could be made, the rows of `sofar`; ".CSV" is added to a name without
    // extension. An earlier file is replaced only once these are whole on disk. A file still
    // open is dropped first.
    [[nodiscard]] TLogFileResult Begin(const QString& path, const QString& comment,
                                       const TLogHeader& header, int decimals,
                                       const ITraceSource* sofar = nullptr);
    [[nodiscard]] bool IsOpen() const { return m_file.isOpen(); }
    // Buffers the point's row; nothing without an open file.
    void Append(const TLogPoint& point);
    // Writes what is waiting; when the disk refuses, its reason.
    [[nodiscard]] TLogFileResult Flush();
    // Writes the rest; when the disk still refuses it, the file keeps the whole rows it took.
    [[nodiscard]] TLogFileResult Close();
    // Closes the file without writing what is still buffered.
    void Drop();
    [[nodiscard]] qsizetype Rows() const { return m_rows; }
    [[nodiscard]] QString Path() const { return m_file.fileName(); }

private:
    QFile m_file;
    QByteArray m_buffer;
    int m_decimals = 0;
    qsizetype m_rows = 0;
    qint64 m_size = 0;      // bytes in the file
    qint64 m_wholeSize = 0; // of them, up to the end of the last whole row
};
