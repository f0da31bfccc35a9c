#pragma once

#include "activity.h"

#include <QString>

#include <functional>
#include <optional>

class TInstrumentLink;

// The instrument's side of a logging run: the configuration writes, the weight text that
// gives the run's decimals and units, and the loop of log readings, a job on the link that
// sends each read as soon as the previous one ended. It is the engine's activity while the
// Log page is in front and hands every log reading that arrives while the loop runs to the
// page.
class TLogRun : public IActivity
{
public:
    using SampleHandler = std::function<void(const QString& data)>;

    TLogRun(TInstrumentLink& link, SampleHandler onSample);
    ~TLogRun() override;

    [[nodiscard]] int ActivityCode() const override { return IActivity::Log; }
    void MessageReceived(const Tcommsobj& message, bool requestWaiting) override;

    // A run is wanted from here until Stop(); the steps below give up once it is not.
    void Begin() { m_wanted = true; }
    // Ends the run; a loop under way ends at its current read.
    void Stop();
    [[nodiscard]] bool Wanted() const { return m_wanted; }
    // True while the loop's job holds the link.
    [[nodiscard]] bool Looping() const { return m_looping; }
    // The last loop was ended by the link (the port went, another request held it), not by
    // Stop().
    [[nodiscard]] bool LinkEnded() const { return m_linkEnded; }

    // Writes "1", "6" and "2" to the three set-up registers, each only once the one before
    // succeeded; the engine shows an error reply to the user.
    [[nodiscard]] bool Configure();
    // The weight as the instrument displays it, with point and unit ("123.4 kg G").
    [[nodiscard]] std::optional<QString> ReadWeightText();
    // Starts reading log samples back to back as a job on the link, running `between` after
    // each read, until Stop() or the link ends it; `ended` hears of the end. False, with
    // nothing started, when another job holds the link.
    bool StartLoop(std::function<void()> between, std::function<void()> ended);

private:
    class TJob;

    TInstrumentLink& m_link;
    SampleHandler m_onSample;
    bool m_wanted = false;
    bool m_looping = false;
    bool m_linkEnded = false;
    bool m_closing = false;
};
