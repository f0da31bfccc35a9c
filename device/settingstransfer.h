#pragma once

#include "activity.h"

#include <QObject>
#include <QStringList>
#include <QTimer>

class IUserPrompts;
class TCommsEngine;

// Sends a batch of settings requests one at a time: each waits up to 2 s for its reply and is
// sent again, four transmissions in all; an error reply is reported and the batch goes on.
// While it runs it is the engine's activity: every received message comes to it.
class TSettingsTransfer : public QObject, public IActivity
{
    Q_OBJECT
public:
    enum class TResult
    {
        Running,
        Done,
        NoResponse,
        Cancelled,
        LinkLost
    };

    static constexpr int kTickMs = 20;
    static constexpr int kResendTicks = 100; // 2 s
    static constexpr int kMaxTries = 3;

    TSettingsTransfer(TCommsEngine& engine, IUserPrompts& prompts, QObject* parent = nullptr);

    void SetRequests(const QStringList& requests);
    // Starts sending, two ticks from now.
    void Start();
    void Cancel();

    [[nodiscard]] int Current() const { return m_current; }
    [[nodiscard]] int Count() const { return static_cast<int>(m_requests.size()); }
    // Replies seen, awaited or not.
    [[nodiscard]] int Progress() const { return m_progress; }
    [[nodiscard]] TResult Result() const { return m_result; }

    int ActivityCode() const override { return IActivity::Transfer; }
    void MessageReceived(const Tcommsobj& message, bool requestWaiting) override;

signals:
    void ProgressChanged();
    void Finished(TResult result);

private:
    void Timer1Timer();
    void Finish(TResult result);

    TCommsEngine& m_engine;
    IUserPrompts& m_prompts;
    QTimer m_timer1;
    QStringList m_requests;
    int m_current = 0;
    int m_progress = 0;
    int m_sendDelay = 0;
    int m_tries = 0;
    bool m_awaitingReply = false;
    int m_awaitedRegister = -1;
    TResult m_result = TResult::Running;
};
