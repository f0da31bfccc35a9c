#pragma once

#include <QDateTime>

// The PC's local date and time, read through an interface so that tests choose the time.
class IPcClock
{
public:
    virtual ~IPcClock() = default;
    [[nodiscard]] virtual QDateTime LocalNow() const = 0;

    // The operating system's clock.
    [[nodiscard]] static const IPcClock& System();
};
