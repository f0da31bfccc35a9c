#pragma once

// The link's clock stepped by the test: time-outs, retries, polls and the keep-alive follow
// the test's steps instead of a 100 ms timer, so a test waits for what it awaits, not for
// time to pass.
#include "ticksource.h"

#include <QTimer>

class TSteppedTicks : public TTickSource
{
public:
    TSteppedTicks()
    {
        connect(&m_timer, &QTimer::timeout, this, [this] { Step(); });
    }
    void Step(int ticks = 1)
    {
        for (int i = 0; i < ticks; ++i)
            Advance();
    }
    // Steps one tick every `ms` from the event loop (0: stops), so that a request that waits
    // inside the test's own call still sees its time-out come.
    void StepEvery(int ms)
    {
        if (ms <= 0)
            m_timer.stop();
        else
            m_timer.start(ms);
    }

private:
    QTimer m_timer;
};
