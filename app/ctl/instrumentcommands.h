#pragma once

#include "ctlcontext.h"
#include "exitcode.h"

#include <QJsonObject>
#include <QString>

#include <memory>

class TCtlSession;
class TDevice;

// The commands on one instrument that need no setup session of their own: its identity, one
// register read or written, and the weight it shows.
class TInstrumentCommands
{
public:
    explicit TInstrumentCommands(TCtlContext& context) : m_context(context) {}

    [[nodiscard]] TExitCode Identity();
    // With --level the level is opened first and locked again afterwards.
    [[nodiscard]] TExitCode Read();
    // With --level the level is opened first, and afterwards the instrument is locked and
    // stores its settings as at the end of a session.
    [[nodiscard]] TExitCode Write();
    // Once, or with --watch every 100 ms until Ctrl+C.
    [[nodiscard]] TExitCode Weight();

    // The identity the model read, for the output of identity, scan and backup --all.
    [[nodiscard]] static QJsonObject IdentityJson(const TDevice& device, int address);
    [[nodiscard]] static QString IdentityLine(const TDevice& device, int address);

private:
    [[nodiscard]] TExitCode WatchWeight();
    // The session of --level, opened; none without --level, or when it did not open (then
    // `code` says why).
    [[nodiscard]] std::unique_ptr<TCtlSession> OpenLevel(TExitCode& code);

    TCtlContext& m_context;
};
