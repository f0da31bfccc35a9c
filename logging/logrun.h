#pragma once

#include "activity.h"

#include <QElapsedTimer>
#include <QString>

#include <functional>
#include <optional>

class TCommsEngine;

// The instrument's side of a logging run: the configuration writes, the weight text that
// gives the run's decimals and units, and the loop of log readings, each read sent as soon
// as the previous one ended (with a setup session's keep-alive when one is due). It is the
// engine's activity while the Log page is in front and hands every log reading that arrives
// while the loop runs to the page.
class TLogRun : public IActivity
{
public:
    using SampleHandler = std::function<void(const QString& data)>;

    TLogRun(TCommsEngine& engine, SampleHandler onSample);

    [[nodiscard]] int ActivityCode() const override { return IActivity::Log; }
    void MessageReceived(const Tcommsobj& message, bool requestWaiting) override;

    // A run is wanted from here until Stop(); the steps below give up once it is not.
    void Begin() { m_wanted = true; }
    void Stop();
    [[nodiscard]] bool Wanted() const { return m_wanted; }
    // True while Loop() has not returned yet (the last read may still be under way).
    [[nodiscard]] bool Looping() const { return m_looping; }

    // Writes "1", "6" and "2" to the three set-up registers, each only once the one before
    // succeeded; the engine shows an error reply to the user.
    [[nodiscard]] bool Configure();
    // The weight as the instrument displays it, with point and unit ("123.4 kg G").
    [[nodiscard]] std::optional<QString> ReadWeightText();
    // Reads log samples back to back until Stop(), running `between` after each read. False
    // when the link ended it instead: the port went, or another request held the engine.
    bool Loop(const std::function<void()>& between);

private:
    void KeepSessionAlive();

    TCommsEngine& m_engine;
    SampleHandler m_onSample;
    bool m_wanted = false;
    bool m_looping = false;
    QElapsedTimer m_lastKeepAlive;
};
