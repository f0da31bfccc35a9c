#pragma once

#include "ratelimiter.h"

#include <QObject>
#include <QString>

class QLabel;
class QShortcut;
class QStatusBar;
class QToolButton;
class TCommsEngine;
class TIdentityPanel;

// The status bar's panels: the last request sent, the last message received, the identity of
// the connected instrument (red while hand-typed traffic may have changed it), while a job
// holds the link its progress with a Cancel button (Esc), and, only while there is any,
// trouble with a file the program keeps writing (a full disk under a run's recovery file).
// The first two keep a fixed size and cut a text that does not fit, so that the replies of
// the display poll, ten a second, repaint their panel alone instead of the whole bar.
class TStatusPanels : public QObject
{
    Q_OBJECT
public:
    static constexpr int kSentWidth = 120;
    static constexpr int kReceivedWidth = 200;
    // The traffic panels change at most this often: the display poll's replies, ten a
    // second, would otherwise cost a repaint each.
    static constexpr int kTrafficShowMs = 250;

    explicit TStatusPanels(QStatusBar& bar);

    // Panels 0 and 1 follow the engine's traffic.
    void Follow(const TCommsEngine& engine);
    void SetIdentity(const QString& text);
    void SetWarning(bool on);
    // The job's progress; empty: no job holds the link.
    void SetJob(const QString& progress);
    // Empty hides the panel.
    void SetFileTrouble(const QString& text);

signals:
    void CancelJob();

private:
    QStatusBar& m_bar;
    QLabel* m_sent;
    QLabel* m_received;
    TIdentityPanel* m_identity;
    QLabel* m_job;
    QToolButton* m_cancel;
    QShortcut* m_escape;
    QLabel* m_fileTrouble;
    QString m_newSent; // the newest text, shown when its panel may change again
    QString m_newReceived;
    TRateLimiter m_showSent;
    TRateLimiter m_showReceived;
};
