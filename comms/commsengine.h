#pragma once

#include "activity.h"
#include "comms.h"
#include "receiver.h"
#include "request.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <deque>
#include <functional>

class IUserPrompts;
class TRingNetwork;
class TTickSource;
class TTransport;

// The comms engine: sends one request at a time over its transport, cuts the received
// characters into messages, hands them to the activity in front, waits for replies with
// time-outs counted in ticks and with retries, and sends the idle poll. Everything runs on
// the thread that owns it. A waiting request sleeps in the event loop for the line, the
// ticks and the window's painting, but the user's input waits until the request has ended:
// no click can start a second conversation inside the first. Message boxes it asks for run
// after the request, tick or receive loop that caused them, never inside one.
class TCommsEngine : public QObject, public IRequester
{
    Q_OBJECT
public:
    enum class TWaitState
    {
        Idle,
        Waiting,
        Done
    };

    static constexpr int kSendTicks = 10;
    static constexpr int kTransactTicks = 5;
    static constexpr int kPollTicks = 5;
    static constexpr int kRetries = 2;
    static constexpr int kEchoTicks = 10; // received characters reach the terminal each second

    // The address requests go to, and the ring framing, are the ring's.
    TCommsEngine(TRingNetwork& ring, IUserPrompts& prompts, TTickSource& ticks,
                 QObject* parent = nullptr);
    ~TCommsEngine() override;

    // The stream to talk over, open or not; none detaches. The engine does not own it.
    void Attach(TTransport* transport);
    void Close();
    [[nodiscard]] bool IsOpen() const;
    [[nodiscard]] QString PortName() const;

    // One request to the instrument address; the reply, an error reply too, comes back with
    // its outcome.
    TReply SendCommand(const TRequest& request) override;
    // Writes one text as it stands (CR LF added unless it ends with ";"), or in CRC form.
    void SendRaw(const QString& text, bool crc);
    // Pauses n ticks while the line and the ticks go on.
    void WaitTicks(int n);
    // The error box for an error reply, shown once the current request or loop has ended.
    void ReportReplyError(const Tcommsobj& record);
    // Ends a waiting request at once with TOutcome::Cancelled (its job was ended).
    void AbortWait();

    [[nodiscard]] TWaitState WaitState() const { return m_waitState; }
    // True while a request is under way (a second one is refused then).
    [[nodiscard]] bool Busy() const { return m_busy; }

    // The page or dialog received messages are for; none: nothing is polled.
    void SetActivity(IActivity* activity) { m_activity = activity; }
    [[nodiscard]] IActivity* CurrentActivity() const { return m_activity; }
    [[nodiscard]] int Activity() const;
    // Whether the activity in front holds the session keep-alive back (the raw terminal).
    [[nodiscard]] bool KeepAliveHeld() const;

    void SetOpticalLink(bool on) { m_opticalLink = on; }
    // The next idle poll is the session keep-alive.
    void RequestKeepAlive() { m_keepAlivePending = true; }
    // Sends the keep-alive when one is due and the activity in front does not hold it back;
    // `waitForReply`: answered before this returns (between a job's requests).
    bool SendKeepAliveIfDue(bool waitForReply);
    [[nodiscard]] bool KeepAlivePending() const { return m_keepAlivePending; }
    void ClearKeepAlive() { m_keepAlivePending = false; }
    void ClearBuffers();
    void MarkDisplayStale() { emit DisplayStale(); }

signals:
    void Sent(const QString& framed);   // every text written
    void Received(const QString& text); // every message text, parsed or not
    void Traffic(const QString& text);  // characters crossing the link, for the terminal
    void ReceivedCharacters(const QString& characters); // the received ones alone
    // What the mimics show is no longer the instrument's: an idle poll went unanswered for its
    // ticks, or a settings transfer took the link over.
    void DisplayStale();
    // A waiting request's reply, error or not, and whether its errors are reported.
    void ReplyAccepted(const Tcommsobj& reply, bool errorsReported);
    void RequestEnded(); // the link is free for the next request; connect only while waiting
    void PortLost(const QString& message); // after any waiting request has let go

private:
    void OnReadyRead();
    void OnTransportLost(const QString& message);
    void HandleMessage(const QString& text);
    void MatchReply(const QString& text);
    void Tick();
    bool SendIdlePoll();
    void ShowNoResponse();
    void PumpWhile(const std::function<bool()>& condition);
    void EndWaitOnLoss();
    bool WaitForReply(int ticks);
    TOutcome Exchange(const TRequest& request);
    bool BeginRequest(const TRequest& request);
    void EndRequest(TOutcome outcome);
    void QueueReport(std::function<void()> report);
    void ScheduleFlush();
    void FlushReports();

    TRingNetwork& m_ring;
    IUserPrompts& m_prompts;
    TTickSource& m_ticks;
    TReceiver m_receiver;
    QPointer<TTransport> m_transport;
    QMetaObject::Connection m_readyRead;
    QMetaObject::Connection m_lost;
    IActivity* m_activity = nullptr;
    std::deque<std::function<void()>> m_reports;

    Tcommsobj m_messageRecord;
    Tcommsobj m_requestRecord;
    Tcommsobj m_replyRecord;
    TWaitState m_waitState = TWaitState::Idle;
    bool m_waiting = false; // replies are matched against the request
    bool m_accepted = false;
    bool m_aborted = false;
    int m_timeoutTicks = 0;
    int m_retriesLeft = 0;
    bool m_reportErrors = false;
    int m_noResponseCount = 0;
    int m_pollTicks = 0;
    int m_echoTicks = 0;
    bool m_opticalLink = false;
    bool m_keepAlivePending = false;
    bool m_busy = false;
    bool m_receiving = false;
    bool m_inTick = false;
    bool m_flushScheduled = false;
    bool m_flushing = false;
};
