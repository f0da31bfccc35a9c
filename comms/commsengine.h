#pragma once

#include "activity.h"
#include "comms.h"
#include "receiver.h"

#include <QObject>
#include <QSerialPort>
#include <QString>
#include <QTimer>

#include <deque>
#include <functional>

class IUserPrompts;
class TRingNetwork;

// Line settings of one connection, as the port dialog hands them over.
struct TLineSettings
{
    QString portName;
    int baud = 9600;
    int dataBits = 8;
    int stopBits = 1;
    int parity = 0; // 0 none, 1 odd, 2 even
};

// How a request ended.
enum class TOutcome
{
    Accepted,   // a reply without error came
    Sent,       // written without waiting for a reply
    ErrorReply, // the instrument answered with an error reply
    NoReply,    // every attempt timed out, or the port went away meanwhile
    Refused,    // another request was under way: nothing was sent
    Invalid,    // the request text is not a message: nothing was sent
    PortClosed  // nothing was sent
};

struct TRequestResult
{
    TOutcome outcome = TOutcome::PortClosed;

    [[nodiscard]] bool Ok() const
    {
        return outcome == TOutcome::Accepted || outcome == TOutcome::Sent;
    }
    explicit operator bool() const { return Ok(); }
};

// The comms engine: sends one request at a time on the serial port, cuts the received
// characters into messages, hands them to the activity in front, waits for replies with
// time-outs counted in 100 ms ticks and with retries, and sends the idle poll. Everything runs
// on the thread that owns it; a waiting request pumps events (sleeping until one arrives), so
// handlers run nested inside it. Message boxes it asks for run after the request, tick or
// receive loop that caused them, never inside one.
class TCommsEngine : public QObject
{
    Q_OBJECT
public:
    enum class TWaitState
    {
        Idle,
        Waiting,
        Done
    };

    static constexpr int kTickMs = 100;
    static constexpr int kSendTicks = 10;
    static constexpr int kTransactTicks = 5;
    static constexpr int kPollTicks = 5;
    static constexpr int kRetries = 2;

    TCommsEngine(TRingNetwork& ring, IUserPrompts& prompts, QObject* parent = nullptr);
    ~TCommsEngine() override;

    // Opens the port with the given line settings; an error text naming what failed.
    [[nodiscard]] QString Open(const TLineSettings& settings);
    void Close();
    [[nodiscard]] bool IsOpen() const;
    [[nodiscard]] QString PortName() const { return m_portPath; }

    // One request to the instrument address. With `wait`, Ok() only when a reply without
    // error came; the reply is then in ReplyRecord() (also an error reply).
    TRequestResult SendCommand(int command, int reg, bool reportErrors, bool wait,
                               const QString& data = {});
    // A complete request text, sent to the instrument address; the accepted reply rebuilt
    // (also an error reply), or empty. LastOutcome() tells why it is empty.
    [[nodiscard]] QString Transact(const QString& request);
    [[nodiscard]] TOutcome LastOutcome() const { return m_lastOutcome; }
    // Writes one text as it stands (CR LF added unless it ends with ";"), or in CRC form.
    void SendRaw(const QString& text, bool crc);
    // Pauses n ticks while events go on; waits nest, each counting its own ticks.
    void WaitTicks(int n);
    // The error box for an error reply, shown once the current request or loop has ended.
    void ReportReplyError(const Tcommsobj& record);

    [[nodiscard]] TWaitState WaitState() const { return m_waitState; }
    // True while a request is under way (a second one is refused then).
    [[nodiscard]] bool Busy() const { return m_busy; }
    [[nodiscard]] const Tcommsobj& ReplyRecord() const { return m_replyRecord; }
    [[nodiscard]] const Tcommsobj& RequestRecord() const { return m_requestRecord; }

    // The page or dialog received messages are for; none: nothing is polled.
    void SetActivity(IActivity* activity) { m_activity = activity; }
    [[nodiscard]] IActivity* CurrentActivity() const { return m_activity; }
    [[nodiscard]] int Activity() const;

    void SetInstrumentAddress(int address) { m_instrumentAddress = address; }
    [[nodiscard]] int InstrumentAddress() const { return m_instrumentAddress; }
    void SetOpticalLink(bool on) { m_opticalLink = on; }
    // The next idle poll is the session keep-alive.
    void RequestKeepAlive() { m_keepAlivePending = true; }
    [[nodiscard]] bool KeepAlivePending() const { return m_keepAlivePending; }
    // No not-responding message until the next reply (reads that may go unanswered).
    void HoldNoResponseMessages() { m_noResponseCount = 2; }
    // Ticks each attempt of a waiting request waits, and the attempts after the first, for
    // requests that may well go unanswered (looking for the instruments of a ring); 0 ticks
    // gives back the usual ones.
    void SetAttempts(int ticks, int retries)
    {
        m_attemptTicks = ticks;
        m_attemptRetries = retries;
    }
    // Error reports are dropped while the gate says false (a menu's child list being read).
    void SetReportGate(std::function<bool()> gate) { m_reportGate = std::move(gate); }
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
    void HandleMessage(const QString& text);
    void MatchReply(const QString& text);
    void Tick();
    bool SendIdlePoll();
    void ShowNoResponse();
    void PumpWhile(const std::function<bool()>& condition);
    void EndWaitOnLoss();
    void OnPortError(QSerialPort::SerialPortError error);
    bool WaitForReply(int ticks);
    bool RequestWithRetries(int ticks);
    TOutcome Exchange(int ticks);
    bool BeginRequest(bool wait);
    void EndRequest(TOutcome outcome);
    void QueueReport(std::function<void()> report);
    void ScheduleFlush();
    void FlushReports();

    TRingNetwork& m_ring;
    IUserPrompts& m_prompts;
    TReceiver m_receiver;
    QSerialPort m_port;
    QString m_portPath; // as the user named it; the port keeps only the last part
    QTimer m_tickTimer; // the 100 ms comms tick
    QTimer m_echoTimer; // flushes received characters to the terminal every second
    IActivity* m_activity = nullptr;
    std::function<bool()> m_reportGate;
    std::deque<std::function<void()>> m_reports;

    Tcommsobj m_messageRecord;
    Tcommsobj m_requestRecord;
    Tcommsobj m_replyRecord;
    TWaitState m_waitState = TWaitState::Idle;
    bool m_waiting = false; // replies are matched against the request
    bool m_accepted = false;
    TOutcome m_lastOutcome = TOutcome::PortClosed;
    quint64 m_ticks = 0;
    int m_timeoutTicks = 0;
    int m_retriesLeft = 0;
    int m_attemptTicks = 0; // 0: the request's own
    int m_attemptRetries = kRetries;
    bool m_reportErrors = false;
    int m_noResponseCount = 0;
    int m_pollTicks = 0;
    int m_instrumentAddress = 0;
    bool m_opticalLink = false;
    bool m_keepAlivePending = false;
    bool m_busy = false;
    bool m_receiving = false;
    bool m_inTick = false;
    bool m_flushScheduled = false;
    bool m_flushing = false;
};
