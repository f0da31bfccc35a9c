#pragma once

#include "ctlcontext.h"
#include "exitcode.h"
#include "settingstransfer.h"

#include <QStringList>

// Sends a settings file back to the connected instrument as the viewer's File > Open and
// Send do: the file refused unless it holds only settings writes, its calibration left out
// unless asked for, the Full level opened, every request addressed to the connected
// instrument alone, the transfer with its progress, then the instrument locked and its
// settings stored. Ctrl+C stops the transfer as Cancel does.
class TSettingsRestore
{
public:
    explicit TSettingsRestore(TCtlContext& context) : m_context(context) {}

    [[nodiscard]] TExitCode Run();

private:
    // The requests to send, or none with the reason shown.
    [[nodiscard]] std::optional<QStringList> Requests();
    [[nodiscard]] TSettingsTransfer::TResult Send(const QStringList& requests, int& reports);
    void ShowProgress(const TSettingsTransfer& transfer);

    TCtlContext& m_context;
};
