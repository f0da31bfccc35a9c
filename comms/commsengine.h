#pragma once

#include "comms.h"

#include <QObject>
#include <QSerialPort>
#include <QString>
#include <QTimer>

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

// The comms engine: sends one request at a time on the serial port, cuts the received
// characters into messages, dispatches them, waits for replies with time-outs counted in
// 100 ms ticks and with retries, and sends the idle poll. Everything runs on the thread that
// owns it; a waiting request pumps events (sleeping until one arrives) so the program stays
// responsive, and handlers run nested inside it.
class TCommsEngine : public QObject
{
    Q_OBJECT
public:
    // Where received messages go, by what the user is looking at.
    enum Activities {
        ActNone = 0,
        ActDisplay = 1,
        ActLog = 2,
        ActTest = 3,
        ActTransfer = 5,
        ActCalibration = 6,
        ActClock = 10
    };
    static constexpr int kSendTicks = 10;
    static constexpr int kTransactTicks = 5;
    static constexpr int kPollTicks = 5;
    static constexpr int kMaxMessage = 1000;

    // Callbacks to the rest of the program; any may be left empty.
    struct THooks
    {
        std::function<void(int activity, const QString& data)> displayData; // 0x0009 replies
        std::function<void(const QString& data)> logData;
        std::function<void(const QString& text)> transferMessage;
        std::function<void(const QString& text)> clockText; // empty text: error reply
        std::function<void()> blankMimics;
        std::function<void(const QString& text)> echoTraffic;
        std::function<void(const QString& text)> sentText;     // status panel 0
        std::function<void(const QString& text)> receivedText; // status panel 1
        std::function<void(int reg)> linPointError;            // 0x0104 / 0x0114 error replies
        std::function<void(int reg)> linPointReply;            // accepted 0x0114..0x011D reply
        std::function<bool()> readingMenu;                     // error reports held back
        std::function<bool()> loggingActive;
        std::function<void(const QString& message)> portLost;  // the port went away
    };

    TCommsEngine(TRingNetwork& ring, IUserPrompts& prompts, QObject* parent = nullptr);
    ~TCommsEngine() override;

    THooks Hooks;

    // Opens the port with the given line settings; an error text naming what failed.
    [[nodiscard]] QString Open(const TLineSettings& settings);
    void Close();
    [[nodiscard]] bool IsOpen() const;
    [[nodiscard]] QSerialPort& Port() { return m_port; }

    bool SendCommand(int command, int reg, bool reportErrors, bool wait, const QString& data = {});
    [[nodiscard]] QString Transact(const QString& request);
    void SendRaw(const QString& text, bool crc);
    void HandleMessage(const QString& text);
    void WaitTicks(int n);
    void ReportReplyError(const Tcommsobj& record);

    void ComPortTriggerAvail();
    void Timer1Timer();
    void TmrCommsTimer();
    void ClearBuffers();

    // True while a request waits for its reply (a second one is refused then).
    [[nodiscard]] bool Busy() const { return m_busy; }

    Tcommsobj MessageRecord;
    Tcommsobj RequestRecord;
    Tcommsobj ReplyRecord;
    QString RxBuffer;
    QString EchoBuffer;
    int WaitState = 0;
    int TimeoutTicks = 0;
    int RetriesLeft = 0;
    bool ReportErrors = false;
    int NoResponseCount = 0;
    int PollTicks = 0;
    int Activity = ActNone;
    int InstrumentAddress = 0;
    bool OpticalLink = false;
    bool KeepAlivePending = false;
    int DelayTicks = 0;

private:
    enum class Handler { Idle, Match };

    void MatchReply(const QString& text);
    void IdleReply(const QString& text);
    void ReceiveChar(QChar c);
    void DispatchByActivity();
    void ShowNoResponse();
    void PumpWhile(const std::function<bool()>& condition);
    void EndWaitOnLoss();
    void OnPortError(QSerialPort::SerialPortError error);
    bool WaitForReply(int ticks);
    bool RequestWithRetries(int ticks);

    TRingNetwork& m_ring;
    IUserPrompts& m_prompts;
    QSerialPort m_port;
    QTimer m_timer1;
    QTimer m_tmrComms;
    Handler m_handler = Handler::Idle;
    bool m_busy = false;
    bool m_receiving = false;
};
