#include "instrumentlink.h"

#include "protocol.h"
#include "ticksource.h"
#include "transports.h"

#include <QCoreApplication>

using namespace protocol;

namespace {

// Sleeps in the event loop until `done`: the line, the ticks, timers and painting go on, the
// user's input waits.
template <typename Condition> void PumpUntil(Condition done)
{
    while (!done())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents |
                                        QEventLoop::ExcludeUserInputEvents);
}

} // namespace

TInstrumentLink::TInstrumentLink(IUserPrompts& prompts, TTickSource* ticks, QObject* parent)
    : QObject(parent), m_ownTicks(ticks ? nullptr : std::make_unique<TTimerTicks>()),
      m_ticks(ticks ? ticks : m_ownTicks.get()), m_engine(m_ring, prompts, *m_ticks, this),
      m_device(*this)
{
    connect(m_ticks, &TTickSource::Tick, this, &TInstrumentLink::OnTick);
    connect(&m_engine, &TCommsEngine::PortLost, this, &TInstrumentLink::OnPortLost);
    m_stepTimer.setSingleShot(true);
    m_stepTimer.setInterval(0);
    connect(&m_stepTimer, &QTimer::timeout, this, &TInstrumentLink::RunStep);
}

TInstrumentLink::~TInstrumentLink()
{
    // A job's owner may be gone already: it is dropped without being told.
    m_job.reset();
    m_engine.Attach(nullptr);
}

QString TInstrumentLink::Open(const TPortChoice& choice)
{
    Close(); // an opening under way ends here, before this one is listened for
    bool ended = false;
    QString result;
    const QMetaObject::Connection heard =
        connect(this, &TInstrumentLink::Opened, this, [&](const QString& error) {
            ended = true;
            result = error;
        });
    BeginOpen(choice);
    PumpUntil([&] { return ended; });
    disconnect(heard);
    return result;
}

void TInstrumentLink::BeginOpen(const TPortChoice& choice)
{
    Close();
    m_engine.SetOpticalLink(choice.cable == TPortChoice::OpticalLink);
    m_ring.SetRingMode(choice.cable == TPortChoice::RS232Ring);
    SetAddress(serialports::AddressFor(choice));
    QString error;
    m_transport = transports::For(serialports::LineSettingsFor(choice), &error);
    if (!m_transport) {
        emit Opened(error);
        return;
    }
    m_opening = true;
    connect(m_transport.get(), &TTransport::Opened, this, &TInstrumentLink::OnTransportOpened);
    m_transport->BeginOpen();
}

void TInstrumentLink::OnTransportOpened(const QString& error)
{
    m_opening = false;
    if (error.isEmpty())
        m_engine.Attach(m_transport.get());
    else
        m_transport.release()->deleteLater(); // it is inside its own signal
    emit Opened(error);
}

void TInstrumentLink::Close()
{
    m_engine.Close();
    m_engine.Attach(nullptr);
    // A wait for a connection still being made ends here.
    if (std::exchange(m_opening, false))
        emit Opened(QStringLiteral("The connection was closed before it was made."));
    m_transport.reset();
    m_keepAlive = false;
    m_engine.ClearKeepAlive();
}

void TInstrumentLink::SetAddress(int address)
{
    m_ring.SetLocalAddress(address);
    m_device.ClearAll();
    m_device.FullAccess = false;
    m_device.LinPointCount = 0;
}

TReply TInstrumentLink::SendCommand(const TRequest& request)
{
    if (m_job && m_ending) {
        TReply ended;
        ended.outcome = m_lastOutcome = TOutcome::Cancelled;
        return ended;
    }
    // Inside a job the requests follow each other without the idle tick that would carry the
    // keep-alive: it goes first, answered before the next request is sent.
    if (m_job && request.wait)
        m_engine.SendKeepAliveIfDue(true);
    const TReply reply = m_engine.SendCommand(request);
    m_lastOutcome = reply.outcome;
    if (reply.outcome == TOutcome::Accepted && reg::IsLinWeight(reply.record.Register))
        m_device.LinPointCount = std::min(
            std::max(m_device.LinPointCount, reply.record.Register - reg::LinWeightFirst + 1), 10);
    return reply;
}

// The job goes with the port: a step under way ends at its next request; a held job's window
// closes.
void TInstrumentLink::OnPortLost(const QString& message)
{
    if (m_job && !m_job->Stepped()) {
        m_ending = true;
        m_job->EndRequested();
    } else if (m_job && !m_inStep) {
        Finish(TJobEnd::LinkLost);
    }
    emit Lost(message);
}

void TInstrumentLink::SetKeepAlive(bool on)
{
    m_keepAlive = on;
    m_sinceKeepAlive = 0;
    if (!on)
        m_engine.ClearKeepAlive();
}

void TInstrumentLink::OnTick()
{
    if (m_keepAlive && ++m_sinceKeepAlive >= m_keepAliveTicks) {
        m_sinceKeepAlive = 0;
        m_engine.RequestKeepAlive();
    }
    if (m_job && m_job->Stepped() && m_pauseLeft > 0 && --m_pauseLeft == 0)
        m_stepTimer.start(m_job->PauseMs());
}

bool TInstrumentLink::StartJob(std::unique_ptr<ILinkJob> job)
{
    if (m_job || !job)
        return false;
    m_job = std::move(job);
    m_ending = false;
    emit JobChanged();
    if (m_job && m_job->Stepped())
        ScheduleStep(m_job->PauseTicks());
    return true;
}

TJobEnd TInstrumentLink::RunJob(std::unique_ptr<ILinkJob> job)
{
    const ILinkJob* running = job.get();
    if (!StartJob(std::move(job)))
        return TJobEnd::Cancelled;
    m_lastEnd = TJobEnd::Done;
    PumpUntil([&] { return m_job.get() != running; });
    return m_lastEnd;
}

void TInstrumentLink::ScheduleStep(int pauseTicks)
{
    m_pauseLeft = std::max(pauseTicks, 0);
    if (m_pauseLeft == 0)
        m_stepTimer.start(m_job->PauseMs());
}

void TInstrumentLink::RunStep()
{
    if (!m_job)
        return;
    if (m_ending) {
        Finish(TJobEnd::Cancelled);
        return;
    }
    if (!IsOpen()) {
        Finish(TJobEnd::LinkLost);
        return;
    }
    m_inStep = true;
    const ILinkJob::TStep step = m_job->Step();
    m_inStep = false;
    if (m_ending)
        Finish(TJobEnd::Cancelled);
    else if (!IsOpen())
        Finish(TJobEnd::LinkLost);
    else if (step == ILinkJob::TStep::Done)
        Finish(TJobEnd::Done);
    else {
        emit JobChanged();
        ScheduleStep(m_job->PauseTicks());
    }
}

void TInstrumentLink::EndJob(std::function<void()> then)
{
    if (!m_job) {
        if (then)
            then();
        return;
    }
    if (then)
        m_afterJob.push_back(std::move(then));
    if (m_ending)
        return;
    m_ending = true;
    m_engine.AbortWait();
    m_job->EndRequested();
    // A step under way ends at its next request; a job between steps ends here.
    if (m_job && m_job->Stepped() && !m_inStep)
        Finish(TJobEnd::Cancelled);
}

void TInstrumentLink::ReleaseJob()
{
    if (m_job && !m_job->Stepped())
        Finish(m_ending ? TJobEnd::Cancelled : TJobEnd::Done);
}

// The link is free before anybody hears of it: what the job's owner does next, and what
// waited for the job, may talk to the instrument.
void TInstrumentLink::Finish(TJobEnd end)
{
    std::unique_ptr<ILinkJob> job = std::move(m_job);
    m_stepTimer.stop();
    m_pauseLeft = 0;
    m_ending = false;
    m_lastEnd = end;
    emit JobChanged();
    job->Ended(end);
    const std::vector<std::function<void()>> after = std::exchange(m_afterJob, {});
    for (const auto& then : after)
        then();
}
