#pragma once

#include "settingstransfer.h"

#include <QStringList>

#include <functional>

class IUserPrompts;
class TInstrumentLink;
class TSessionController;

// What came of sending a settings file's writes to an instrument.
struct TSendOutcome
{
    TSettingsTransfer::TResult result = TSettingsTransfer::TResult::Cancelled;
    int errors = 0; // writes the instrument answered with an error
    TReply store;   // its answer when told to store its settings

    [[nodiscard]] bool Stored() const { return store.Ok(); }
};

namespace settingssend {

// Sends the request lines as a transfer job, mimics blanked and the transfer the engine's
// activity meanwhile; `show` starts it and returns once it has finished (the viewer's
// progress dialog, the tool's event loop). Then, whatever became of the batch, the instrument
// is locked and told to store its settings. The one send of the viewer and the tool alike.
TSendOutcome Send(TInstrumentLink& link, TSessionController& session, IUserPrompts& prompts,
                  const QStringList& requests, const std::function<void(TSettingsTransfer&)>& show);

} // namespace settingssend
