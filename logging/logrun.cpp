#include "logrun.h"

#include "commsengine.h"
#include "protocol.h"

#include <iterator>

using namespace protocol;

namespace {

constexpr qint64 kKeepAliveMs = 5000; // as often as the session asks for it

} // namespace

TLogRun::TLogRun(TCommsEngine& engine, SampleHandler onSample)
    : m_engine(engine), m_onSample(std::move(onSample))
{
}

void TLogRun::MessageReceived(const Tcommsobj& message, bool)
{
    // Replies to the set-up writes and to reads still in flight after Stop are no samples.
    if (!m_looping || !m_wanted || !message.ReplyBit || message.ErrorBit ||
        message.Command != cmd::ReadValue || message.Register != reg::LogSample)
        return;
    m_onSample(message.Data);
}

void TLogRun::Stop()
{
    m_wanted = false;
}

bool TLogRun::Configure()
{
    static_assert(std::size(data::LogSetupValues) == reg::LogSetupLast - reg::LogSetupFirst + 1);
    int next = reg::LogSetupFirst;
    for (const char* value : data::LogSetupValues) {
        if (!m_wanted ||
            !m_engine.SendCommand(cmd::WriteValue, next++, true, true, QLatin1String(value)))
            return false;
    }
    return m_wanted;
}

std::optional<QString> TLogRun::ReadWeightText()
{
    if (!m_engine.SendCommand(cmd::ReadDisplayText, reg::WeightText, true, true))
        return std::nullopt;
    return m_engine.ReplyRecord().Data;
}

bool TLogRun::Loop(const std::function<void()>& between)
{
    m_looping = true;
    bool linkEnded = false;
    // No pause between reads: a gap would let the engine's tick arm its idle-poll wait.
    while (m_wanted && !linkEnded) {
        KeepSessionAlive();
        const TOutcome outcome =
            m_engine.SendCommand(cmd::ReadValue, reg::LogSample, false, true).outcome;
        // A refusal means a request further down the stack, which cannot end before we do.
        linkEnded =
            outcome == TOutcome::PortClosed || outcome == TOutcome::Refused || !m_engine.IsOpen();
        if (between)
            between();
    }
    m_looping = false;
    return !linkEnded;
}

// The engine sends a setup session's keep-alive at an idle tick, which back-to-back reads
// never leave; without it a session open during a long run would time out.
void TLogRun::KeepSessionAlive()
{
    if (!m_engine.KeepAlivePending() ||
        (m_lastKeepAlive.isValid() && m_lastKeepAlive.elapsed() < kKeepAliveMs))
        return;
    m_engine.SendCommand(cmd::WriteValue, reg::SessionControl, false, false,
                         QLatin1String(data::KeepAlive));
    m_lastKeepAlive.start();
}
