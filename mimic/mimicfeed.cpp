#include "mimicfeed.h"

#include "commsengine.h"
#include "protocol.h"
#include "zelmimic.h"

using namespace protocol;

TMimicFeed::TMimicFeed(TZelMimic& mimic, int activityCode, TCommsEngine& engine)
    : m_mimic(mimic), m_activityCode(activityCode)
{
    QObject::connect(&engine, &TCommsEngine::DisplayStale, &mimic, &TZelMimic::BlankDisplay);
}

std::optional<IActivity::TPoll> TMimicFeed::IdlePoll() const
{
    return TPoll{cmd::ReadValue, reg::Display};
}

void TMimicFeed::MessageReceived(const Tcommsobj& message, bool)
{
    if (message.Register == reg::Display)
        m_mimic.DecodeDisplay(message.Data);
}

void TMimicFeed::LinkChanged(const TLinkState& state)
{
    if (state.connected != m_connected)
        m_mimic.BlankDisplay();
    m_connected = state.connected;
}
