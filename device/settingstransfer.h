#pragma once

#include "activity.h"
#include "linkjob.h"
#include "request.h"

#include <QObject>
#include <QStringList>

#include <vector>

class IUserPrompts;
class TInstrumentLink;

// Sends a batch of settings writes as a job on the link, one at a time: each waits up to 2 s
// for its reply and is sent again, four transmissions in all; an error reply is reported and
// the batch goes on. While it runs it is the engine's activity: every received message
// counts towards its progress.
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

    static constexpr int kPaceMs = 20;       // between one reply and the next request
    static constexpr int kAttemptTicks = 20; // 2 s
    static constexpr int kRetries = 3;

    TSettingsTransfer(TInstrumentLink& link, IUserPrompts& prompts, QObject* parent = nullptr);

    // The request lines to send, each to the link's instrument whatever address it names.
    void SetRequests(const QStringList& lines);
    // Takes the link over and starts sending; false when another job holds the link.
    bool Start();
    void Cancel();

    [[nodiscard]] int Current() const { return m_current; }
    [[nodiscard]] int Count() const { return static_cast<int>(m_requests.size()); }
    // Replies seen, awaited or not.
    [[nodiscard]] int Progress() const { return m_progress; }
    // Requests the instrument answered with an error.
    [[nodiscard]] int Errors() const { return m_errors; }
    [[nodiscard]] TResult Result() const { return m_result; }

    int ActivityCode() const override { return IActivity::Transfer; }
    void MessageReceived(const Tcommsobj& message, bool requestWaiting) override;

signals:
    void ProgressChanged();
    void Finished(TResult result);

private:
    class TJob;

    ILinkJob::TStep SendNext();
    void Finish(TResult result);

    TInstrumentLink& m_link;
    IUserPrompts& m_prompts;
    std::vector<TRequest> m_requests;
    int m_current = 0;
    int m_progress = 0;
    int m_errors = 0;
    TResult m_result = TResult::Running;
};
