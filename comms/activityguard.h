#pragma once

#include "activity.h"
#include "commsengine.h"

// Makes an activity the engine's for the life of a scope and puts the previous one back on
// every way out, early returns included.
class TActivityGuard
{
public:
    TActivityGuard(TCommsEngine& engine, IActivity* activity)
        : m_engine(engine), m_previous(engine.CurrentActivity())
    {
        m_engine.SetActivity(activity);
    }
    ~TActivityGuard() { m_engine.SetActivity(m_previous); }
    TActivityGuard(const TActivityGuard&) = delete;
    TActivityGuard& operator=(const TActivityGuard&) = delete;

private:
    TCommsEngine& m_engine;
    IActivity* m_previous;
};
