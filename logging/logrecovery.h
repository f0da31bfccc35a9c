#pragma once

#include "logfile.h"
#include "logstream.h"

#include <QLockFile>
#include <QString>

#include <memory>

// Keeps a live run on disk as it is recorded, so that a crash or a power cut loses at most
// the last second: every kept point is appended to a recovery file in the log file format
// (comment, header form A, rows), which a later start finds and offers to open.
//
// The recovery file is deleted only once the run's data was saved or discarded; while a
// program is recording, a lock file beside it tells other instances that it is not left over.
class TLogRecovery
{
public:
    // The recovery file, and the lock file of the run that writes it, in `folder`.
    explicit TLogRecovery(const QString& folder);
    // Writes what is buffered and releases the lock, keeping the file: an end without
    // Discard() leaves the data to be recovered.
    ~TLogRecovery() = default;
    TLogRecovery(const TLogRecovery&) = delete;
    TLogRecovery& operator=(const TLogRecovery&) = delete;

    static QString FileName(); // "log-recovery.csv"
    QString FilePath() const;

    // Starts a new recovery file for a run with the comment, the header (form A) and, for a
    // run that began before its file could be made, the rows of `sofar`. An old file is
    // replaced only once the new one is whole on disk. False with the system's reason when
    // it cannot.
    [[nodiscard]] TLogFileResult Begin(const QString& comment, const TLogHeader& header,
                                       int decimals, const ITraceSource* sofar = nullptr);
    bool IsOpen() const { return m_stream.IsOpen(); }
    // Buffers the point's row; writes the buffer out once it exceeds 64 kB.
    void Append(const TLogPoint& point);
    // Hands the buffered rows to the system (call at least once a second while running).
    // Rows a full disk refuses wait in memory for a later Flush().
    [[nodiscard]] TLogFileResult Flush();
    // The run has stopped: writes the rest and closes the file, which stays until Discard().
    [[nodiscard]] TLogFileResult Close();
    // The run's data was saved or thrown away: the file and its lock go.
    void Discard();

    // The recovery file in `folder` that no running program is writing, or an empty text.
    static QString FindLeftOver(const QString& folder);
    // Deletes a left-over recovery file once it was opened or declined.
    static bool RemoveLeftOver(const QString& folder);

private:
    static QString PathIn(const QString& folder);
    static QString LockPathIn(const QString& folder);
    // False only when another program holds the lock; one that cannot be made (a full disk)
    // is tried again at the next Flush(), and the file's own write says what is wrong.
    bool TakeLock();

    QString m_folder;
    std::unique_ptr<QLockFile> m_lock;
    TLogStream m_stream; // after the lock: written out before the lock goes
};
