#pragma once

#include "comms.h"

#include <optional>

// What received messages are for while a page or dialog is in front: its activity code, the
// request the engine sends at an idle tick on its behalf, and where the messages go. The
// page or dialog that is in front sets itself as the engine's activity.
class IActivity
{
public:
    // The codes of the activities, as the engine reports them.
    enum Code
    {
        None = 0,
        Display = 1,
        Log = 2,
        Test = 3,
        Transfer = 5,
        Calibration = 6,
        Clock = 10
    };

    // A read sent at an idle tick.
    struct TPoll
    {
        int command;
        int reg;
    };

    virtual ~IActivity() = default;
    [[nodiscard]] virtual int ActivityCode() const = 0;
    [[nodiscard]] virtual std::optional<TPoll> IdlePoll() const { return std::nullopt; }
    // The session keep-alive waits while this activity is in front (the raw terminal).
    [[nodiscard]] virtual bool HoldsKeepAlive() const { return false; }
    // Every message that parsed while this activity is in front, before any waiting request
    // sees it. `requestWaiting` tells whether a request waits for its reply.
    virtual void MessageReceived(const Tcommsobj& message, bool requestWaiting) = 0;
};
