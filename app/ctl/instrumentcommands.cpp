#include "instrumentcommands.h"

#include "console.h"
#include "ctloptions.h"
#include "ctloutput.h"
#include "ctlsession.h"
#include "instrumentlink.h"
#include "protocol.h"
#include "tools.h"

#include <QElapsedTimer>

using namespace protocol;

namespace {

QString RegisterText(int reg)
{
    return tools::HexText(static_cast<uint32_t>(reg), 4);
}

TRequest WeightRead()
{
    return TRequest::Of(cmd::ReadDisplayText, reg::WeightText).Reporting();
}

} // namespace

QJsonObject TInstrumentCommands::IdentityJson(const TDevice& device, int address)
{
    return {{QStringLiteral("address"), address},
            {QStringLiteral("commsVersion"), device.CommsVersion},
            {QStringLiteral("model"), device.ModelText},
            {QStringLiteral("softwareVersion"), device.SoftwareVersion},
            {QStringLiteral("serialNumber"), device.SerialNumber}};
}

QString TInstrumentCommands::IdentityLine(const TDevice& device, int address)
{
    return QStringLiteral("Address %1: serial number %2, %3, software %4, comms %5")
        .arg(QString::number(address), device.SerialNumber, device.ModelText,
             device.SoftwareVersion, device.CommsVersion);
}

TExitCode TInstrumentCommands::Identity()
{
    TDevice& device = m_context.link.Device();
    device.ReadIdentity();
    // The reading ends at the first register refused or unanswered; the comms version is last.
    if (device.CommsVersion.isEmpty())
        return exitcode::Worse(TExitCode::Refused, exitcode::For(m_context.link.LastOutcome()));
    const int address = m_context.link.Address();
    const QString text =
        QStringLiteral("Address:          %1\nComms version:    %2\nModel:            %3\n"
                       "Software version: %4\nSerial number:    %5")
            .arg(QString::number(address), device.CommsVersion, device.ModelText,
                 device.SoftwareVersion, device.SerialNumber);
    m_context.output.Print(IdentityJson(device, address), text);
    return TExitCode::Done;
}

std::unique_ptr<TCtlSession> TInstrumentCommands::OpenLevel(TExitCode& code)
{
    const TCtlOptions& options = m_context.options;
    code = TExitCode::Done;
    if (!options.levelGiven)
        return nullptr;
    auto session = std::make_unique<TCtlSession>(m_context, options.full, options.passcode);
    code = session->OpenLevel();
    return code == TExitCode::Done ? std::move(session) : nullptr;
}

TExitCode TInstrumentCommands::Read()
{
    TExitCode opened = TExitCode::Done;
    const std::unique_ptr<TCtlSession> session = OpenLevel(opened);
    if (opened != TExitCode::Done)
        return opened;
    const int reg = m_context.options.reg;
    const TReply reply = m_context.link.SendCommand(TRequest::Read(reg).Reporting());
    if (session)
        session->Lock();
    if (!reply)
        return exitcode::For(reply.outcome);
    m_context.output.Print(
        {{QStringLiteral("register"), RegisterText(reg)}, {QStringLiteral("value"), reply.Data()}},
        reply.Data());
    return TExitCode::Done;
}

TExitCode TInstrumentCommands::Write()
{
    const TCtlOptions& options = m_context.options;
    TExitCode opened = TExitCode::Done;
    const std::unique_ptr<TCtlSession> session = OpenLevel(opened);
    if (opened != TExitCode::Done)
        return opened;
    const TReply result =
        m_context.link.SendCommand(TRequest::Write(options.reg, options.value).Reporting());
    // A write the instrument did not store is lost at its next start: no success then.
    const TReply store = session ? session->LockAndStore() : TReply{TOutcome::Accepted, {}};
    if (!result)
        return exitcode::For(result.outcome);
    if (!store) {
        m_context.console.Message(TSessionController::StoreFailure(store));
        return exitcode::Worse(TExitCode::Refused, exitcode::For(store.outcome));
    }
    if (m_context.output.Json())
        m_context.output.Print({{QStringLiteral("register"), RegisterText(options.reg)},
                                {QStringLiteral("value"), options.value}},
                               {});
    return TExitCode::Done;
}

TExitCode TInstrumentCommands::Weight()
{
    if (m_context.options.watch)
        return WatchWeight();
    const TReply result = m_context.link.SendCommand(WeightRead());
    if (!result)
        return exitcode::For(result.outcome);
    const QString text = result.Data();
    m_context.output.Print({{QStringLiteral("weight"), text}}, text);
    return TExitCode::Done;
}

// Each reading as it comes, until Ctrl+C; an instrument that stops answering is reported
// by the engine and read again, a port that goes away ends the watch.
TExitCode TInstrumentCommands::WatchWeight()
{
    const bool& stopped = m_context.interrupted;
    QElapsedTimer clock;
    clock.start();
    while (!stopped) {
        const TReply result = m_context.link.SendCommand(WeightRead());
        if (result.outcome == TOutcome::PortClosed)
            return TExitCode::NoAnswer;
        if (result && !stopped) {
            const QString text = result.Data();
            const double seconds = static_cast<double>(clock.elapsed()) / 1000.0;
            m_context.output.Print(
                {{QStringLiteral("weight"), text}, {QStringLiteral("seconds"), seconds}}, text);
        }
        if (!stopped)
            m_context.link.Engine().WaitTicks(1);
    }
    return TExitCode::Done;
}
