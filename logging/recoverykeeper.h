#pragma once

#include "logfile.h"
#include "logrecovery.h"

#include <QObject>
#include <QTimer>

// Keeps a live run's recovery file going whatever happens to its disk, without ever holding
// the run up or asking the user inside it: rows are written once a second; rows the disk
// refuses wait in memory, a file that could not be started is started again with every row
// so far, and the trouble is told through TroubleChanged() with the system's reason until
// the file has caught up with the run.
class TRecoveryKeeper : public QObject
{
    Q_OBJECT

public:
    static constexpr int kFlushMs = 1000;

    // `run`: the run's points so far, to start a file late with.
    TRecoveryKeeper(const QString& folder, const ITraceSource& run, QObject* parent = nullptr);

    // A new run with this comment and header (form A).
    void Start(const QString& comment, const TLogHeader& header, int decimals);
    void Append(const TLogPoint& point);
    // The run has stopped: the file is finished as soon as the disk takes the rest, and stays
    // until Discard().
    void Stop();
    // The run's data was saved or thrown away: this program's file goes.
    void Discard();
    // The recovery file on disk is this run's (not one another program writes).
    [[nodiscard]] bool Owned() const { return m_owned; }
    [[nodiscard]] QString Trouble() const { return m_trouble; }

signals:
    // Why the file is behind the run; empty once it has caught up.
    void TroubleChanged(const QString& trouble);

private:
    void Flush();
    void SetTrouble(const QString& reason);

    TLogRecovery m_recovery;
    const ITraceSource& m_run;
    QTimer m_timer;
    QString m_comment;
    TLogHeader m_header;
    int m_decimals = 0;
    bool m_running = false;
    bool m_owned = false;
    QString m_trouble;
};
