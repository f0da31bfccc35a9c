#pragma once

#include "commsengine.h"
#include "device.h"
#include "linkjob.h"
#include "ringnetwork.h"
#include "serialports.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

class IUserPrompts;
class TTickSource;
class TTransport;

// The program's one link to an instrument: the transport, the ring framing, the comms engine,
// the instrument model, the address, the session keep-alive and the long operation (the job)
// that holds the link. The viewer's connection, q900ctl, the benchmarks and the tests build
// it the same way; everything that talks to the instrument goes through it.
class TInstrumentLink : public QObject, public IRequester
{
    Q_OBJECT
public:
    static constexpr int kKeepAliveTicks = 50; // 5 s

    // `ticks`: the link's clock; none: a 100 ms timer of its own.
    explicit TInstrumentLink(IUserPrompts& prompts, TTickSource* ticks = nullptr,
                             QObject* parent = nullptr);
    ~TInstrumentLink() override;

    [[nodiscard]] TCommsEngine& Engine() { return m_engine; }
    [[nodiscard]] TDevice& Device() { return m_device; }
    [[nodiscard]] const TDevice& Device() const { return m_device; }
    [[nodiscard]] TTickSource& Ticks() { return *m_ticks; }

    // Opens the port as the choice says and addresses its instrument; the error text, or
    // empty once open. A network port is waited for as a request is: the line, the timers
    // and painting go on, the user's input waits.
    [[nodiscard]] QString Open(const TPortChoice& choice);
    // The same without waiting: Opened tells how it went.
    void BeginOpen(const TPortChoice& choice);
    void Close();
    [[nodiscard]] bool IsOpen() const { return m_engine.IsOpen(); }
    [[nodiscard]] QString PortName() const { return m_engine.PortName(); }
    [[nodiscard]] bool RingMode() const { return m_ring.RingMode(); }
    // Talks to another instrument of the ring from here on; its model starts empty.
    void SetAddress(int address);
    // The unit address requests go to; 0 for Any.
    [[nodiscard]] int Address() const { return m_ring.LocalAddress(); }

    // One request to the instrument. Inside a job that is being ended it is not sent
    // (Cancelled); a session keep-alive that fell due meanwhile goes out first.
    TReply SendCommand(const TRequest& request) override;
    // How the last request through the link ended.
    [[nodiscard]] TOutcome LastOutcome() const { return m_lastOutcome; }
    // Requests of the model that got no reply (time-out, port gone) since the last reset.
    [[nodiscard]] int Unanswered() const { return m_device.Unanswered(); }
    void ResetUnanswered() { m_device.ResetUnanswered(); }

    // While on, the session keep-alive falls due every `ticks` ticks (5 s).
    void SetKeepAlive(bool on);
    void SetKeepAliveTicks(int ticks) { m_keepAliveTicks = std::max(ticks, 1); }

    // Takes the link over for a job; false, with nothing started, while another job holds it.
    bool StartJob(std::unique_ptr<ILinkJob> job);
    // Starts a job and runs the event loop until it has ended (the command-line tool).
    TJobEnd RunJob(std::unique_ptr<ILinkJob> job);
    // Ends the job that holds the link, if any, then runs `then` once the link is free;
    // with no job, `then` runs at once.
    void EndJob(std::function<void()> then = {});
    // Lets go of a held job (its window has closed).
    void ReleaseJob();
    [[nodiscard]] TJobKind JobKind() const { return m_job ? m_job->Kind() : TJobKind::None; }
    [[nodiscard]] bool JobRunning() const { return m_job != nullptr; }
    [[nodiscard]] QString JobProgress() const { return m_job ? m_job->Progress() : QString(); }
    // Asked from within a job: it is being ended.
    [[nodiscard]] bool JobEnding() const { return m_ending; }

signals:
    // How a BeginOpen went: empty once open, else the error text.
    void Opened(const QString& error);
    // A job started, made progress or ended.
    void JobChanged();
    // The port went away under the link; after any waiting request has let go.
    void Lost(const QString& message);

private:
    void OnTransportOpened(const QString& error);
    void OnTick();
    void OnPortLost(const QString& message);
    void RunStep();
    void ScheduleStep(int pauseTicks);
    void Finish(TJobEnd end);

    std::unique_ptr<TTickSource> m_ownTicks;
    TTickSource* m_ticks;
    TRingNetwork m_ring;
    TCommsEngine m_engine;
    TDevice m_device;
    std::unique_ptr<TTransport> m_transport;
    bool m_opening = false;
    TOutcome m_lastOutcome = TOutcome::PortClosed;
    bool m_keepAlive = false;
    int m_keepAliveTicks = kKeepAliveTicks;
    int m_sinceKeepAlive = 0;

    std::unique_ptr<ILinkJob> m_job;
    std::vector<std::function<void()>> m_afterJob;
    QTimer m_stepTimer;
    int m_pauseLeft = 0;
    TJobEnd m_lastEnd = TJobEnd::Done;
    bool m_inStep = false;
    bool m_ending = false;
};
