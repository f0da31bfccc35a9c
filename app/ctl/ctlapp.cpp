#include "ctlapp.h"

#include "console.h"
#include "ctlcontext.h"
#include "ctloptions.h"
#include "ctloutput.h"
#include "ctlprompts.h"
#include "dmviewer.h"
#include "fleetrun.h"
#include "instrumentcommands.h"
#include "instrumentlink.h"
#include "logcommand.h"
#include "portconfig.h"
#include "ringscan.h"
#include "settingsbackup.h"
#include "settingsdiff.h"
#include "settingsrestore.h"
#include "signalexit.h"
#include "tools.h"
#include "version.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdio>

namespace {

int Code(TExitCode code)
{
    return static_cast<int>(code);
}

} // namespace

int TCtlApp::Run(const QStringList& arguments)
{
    TCtlOptions options = ctloptions::Parse(arguments);
    if (options.help) {
        std::fputs(qPrintable(ctloptions::UsageText()), stdout);
        return Code(TExitCode::Done);
    }
    if (options.version) {
        std::printf("q900ctl %s\n", VIEWER_VERSION_TEXT);
        return Code(TExitCode::Done);
    }
    TConsole console;
    if (options.error.isEmpty() && !TakeEnvironmentPasscode(options))
        options.error = QStringLiteral("Q900_PASSCODE must be digits only.");
    if (options.error.isEmpty() && options.Offline())
        return Code(TSettingsDiff::Files(options, console, TCtlOutput(options.json)));
    const TPortChoice choice = PortChoice(options);
    if (options.error.isEmpty())
        options.error = ConnectionProblem(options, choice);
    if (!options.error.isEmpty()) {
        console.Message(options.error);
        return Code(TExitCode::BadUsage);
    }
    if (options.Fleet())
        return Code(TFleetRun(options, QCoreApplication::applicationFilePath(), console,
                              TCtlOutput(options.json))
                        .Run());
    TCtlPrompts prompts(console);
    TInstrumentLink link(prompts);
    const QString failure = link.Open(choice);
    if (!failure.isEmpty()) {
        console.Message(failure);
        return Code(TExitCode::NoAnswer);
    }
    TCtlOutput output(options.json);
    bool interrupted = false;
    TSignalExit interrupt;
    QObject::connect(&interrupt, &TSignalExit::Received, &link, [&interrupted, &link] {
        interrupted = true;
        link.EndJob();
    });
    TCtlContext context{options, link, prompts, console, output, interrupted};
    const int code = Dispatch(context);
    // Messages the engine queued at the very end are shown before the program goes.
    QCoreApplication::processEvents();
    return code;
}

bool TCtlApp::TakeEnvironmentPasscode(TCtlOptions& options)
{
    const QString passcode = qEnvironmentVariable("Q900_PASSCODE");
    if (options.passcode || passcode.isEmpty())
        return true;
    if (!std::all_of(passcode.cbegin(), passcode.cend(), tools::IsDigit))
        return false;
    options.passcode = passcode;
    return true;
}

TPortChoice TCtlApp::PortChoice(const TCtlOptions& options) const
{
    // Read only: the tool never changes the viewer's saved settings.
    const TdatViewer config(m_programDir);
    const TPortChoice saved =
        config.ConfigValid() ? portconfig::LoadPortDialog(config) : TPortChoice{};
    return options.ApplyTo(saved);
}

QString TCtlApp::ConnectionProblem(const TCtlOptions& options, const TPortChoice& choice)
{
#ifndef Q_OS_WIN
    // "Com1" is what the settings hold until a device path was chosen once.
    if (serialports::IsComStyleName(choice.portName))
        return QStringLiteral("No port: give --port PATH, or connect once with the viewer, "
                              "which keeps the port in its settings.");
#endif
    if (!options.NeedsAddress() && choice.cable == TPortChoice::OpticalLink)
        return QStringLiteral("The optical link reaches one instrument only: use identity "
                              "or backup FILE.");
    if (options.NeedsAddress() && !serialports::RingAllowed(choice.cable, choice.address))
        return serialports::RingAnyMessage();
    return {};
}

int TCtlApp::Dispatch(TCtlContext& context)
{
    using TCommand = TCtlOptions::TCommand;
    TInstrumentCommands instrument(context);
    switch (context.options.command) {
    case TCommand::Identity:
        return Code(instrument.Identity());
    case TCommand::Scan:
        return Code(TRingScan(context).Run());
    case TCommand::Read:
        return Code(instrument.Read());
    case TCommand::Write:
        return Code(instrument.Write());
    case TCommand::Backup:
        return Code(TSettingsBackup(context).Run());
    case TCommand::Restore:
        return Code(TSettingsRestore(context).Run());
    case TCommand::Log:
        return Code(TLogCommand(context).Run());
    case TCommand::Weight:
        return Code(instrument.Weight());
    case TCommand::Diff:
        return Code(TSettingsDiff(context).Run());
    default:
        return Code(TExitCode::BadUsage);
    }
}
