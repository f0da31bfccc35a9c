#pragma once

#include "ctlcontext.h"
#include "exitcode.h"
#include "settingssend.h"

#include <QStringList>

#include <optional>

// Sends a settings file back to the connected instrument as the viewer's File > Open and
// Send do, through the same send: the file refused unless it holds only writes of its own
// settings, its calibration left out unless asked for, the Full level opened, the transfer
// with its progress, then the instrument locked and its settings stored. Ctrl+C stops the
// transfer as Cancel does.
class TSettingsRestore
{
public:
    explicit TSettingsRestore(TCtlContext& context) : m_context(context) {}

    [[nodiscard]] TExitCode Run();

private:
    // The requests to send, or none with the reason shown.
    [[nodiscard]] std::optional<QStringList> Requests();
    void RunTransfer(TSettingsTransfer& transfer);
    [[nodiscard]] static TExitCode CodeFor(const TSendOutcome& outcome);

    TCtlContext& m_context;
};
