#include "settingssend.h"

#include "activityguard.h"
#include "instrumentlink.h"
#include "sessioncontroller.h"

namespace settingssend {

TSendOutcome Send(TInstrumentLink& link, TSessionController& session, IUserPrompts& prompts,
                  const QStringList& requests, const std::function<void(TSettingsTransfer&)>& show)
{
    TSendOutcome outcome;
    {
        TSettingsTransfer transfer(link, prompts);
        const TActivityGuard activity(link.Engine(), &transfer);
        link.Engine().MarkDisplayStale();
        transfer.SetRequests(requests);
        show(transfer);
        outcome.result = transfer.Result();
        outcome.errors = transfer.Errors();
    }
    outcome.store = session.LockAndStore();
    return outcome;
}

} // namespace settingssend
