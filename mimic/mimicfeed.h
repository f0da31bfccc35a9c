#pragma once

#include "activity.h"
#include "page.h"

class TCommsEngine;
class TZelMimic;

// Keeps a mimic live while its page is in front: the display register is polled at idle
// ticks, each reply is drawn, and an unanswered poll or a change of connection blanks it.
class TMimicFeed : public IActivity
{
public:
    TMimicFeed(TZelMimic& mimic, int activityCode, TCommsEngine& engine);

    int ActivityCode() const override { return m_activityCode; }
    std::optional<TPoll> IdlePoll() const override;
    void MessageReceived(const Tcommsobj& message, bool requestWaiting) override;
    // What it shows belonged to the link that went.
    void LinkChanged(const TLinkState& state);

private:
    TZelMimic& m_mimic;
    int m_activityCode;
    bool m_connected = false;
};
