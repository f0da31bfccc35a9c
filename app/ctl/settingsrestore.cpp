#include "settingsrestore.h"

#include "console.h"
#include "ctloptions.h"
#include "ctloutput.h"
#include "ctlprompts.h"
#include "ctlsession.h"
#include "settingsfile.h"

#include <QDir>
#include <QEventLoop>

namespace {

QString ResultText(const TSendOutcome& outcome)
{
    switch (outcome.result) {
    case TSettingsTransfer::TResult::Done:
        return outcome.Stored() ? QStringLiteral("done") : QStringLiteral("not stored");
    case TSettingsTransfer::TResult::NoResponse:
        return QStringLiteral("no response");
    case TSettingsTransfer::TResult::Cancelled:
        return QStringLiteral("cancelled");
    case TSettingsTransfer::TResult::LinkLost:
        return QStringLiteral("link lost");
    default:
        return QStringLiteral("running");
    }
}

} // namespace

std::optional<QStringList> TSettingsRestore::Requests()
{
    const settingsfile::TFileLines file = settingsfile::LoadSettingsFile(m_context.options.path);
    if (!file.Ok()) {
        m_context.console.Message(file.Error);
        return std::nullopt;
    }
    // Nothing of a file that could do more than write its own settings is ever sent.
    const settingsfile::TSendTree content = settingsfile::FillSendTree(file.Lines);
    if (!content.Ok()) {
        m_context.console.Message(content.Error);
        return std::nullopt;
    }
    return content.RequestsToSend(m_context.options.calibration);
}

TExitCode TSettingsRestore::Run()
{
    const std::optional<QStringList> requests = Requests();
    if (!requests)
        return TExitCode::BadUsage;
    TCtlSession session(m_context, true, m_context.options.passcode);
    const TExitCode opened = session.OpenLevel();
    if (opened != TExitCode::Done)
        return opened;
    const TSendOutcome outcome =
        settingssend::Send(m_context.link, session.Controller(), m_context.prompts, *requests,
                           [this](TSettingsTransfer& transfer) { RunTransfer(transfer); });
    if (!outcome.Stored() && outcome.result != TSettingsTransfer::TResult::LinkLost)
        m_context.console.Message(TSessionController::StoreFailure(outcome.store));
    m_context.output.Print({{QStringLiteral("file"), m_context.options.path},
                            {QStringLiteral("requests"), static_cast<int>(requests->size())},
                            {QStringLiteral("result"), ResultText(outcome)},
                            {QStringLiteral("errors"), outcome.errors},
                            {QStringLiteral("stored"), outcome.Stored()}},
                           QStringLiteral("Sent %1 settings from %2: %3, %4 reported")
                               .arg(QString::number(requests->size()),
                                    QDir::toNativeSeparators(m_context.options.path),
                                    ResultText(outcome), QString::number(outcome.errors)));
    return CodeFor(outcome);
}

// Runs the transfer to its end, its progress on the console.
void TSettingsRestore::RunTransfer(TSettingsTransfer& transfer)
{
    QObject::connect(&transfer, &TSettingsTransfer::ProgressChanged, &transfer, [this, &transfer] {
        m_context.console.Progress(
            QStringLiteral("Sent %1 of %2")
                .arg(QString::number(transfer.Progress()), QString::number(transfer.Count())));
    });
    QEventLoop loop;
    QObject::connect(&transfer, &TSettingsTransfer::Finished, &loop, &QEventLoop::quit);
    if (m_context.interrupted)
        transfer.Cancel();
    else if (transfer.Start() && transfer.Result() == TSettingsTransfer::TResult::Running)
        loop.exec();
    m_context.console.EndProgress();
}

TExitCode TSettingsRestore::CodeFor(const TSendOutcome& outcome)
{
    switch (outcome.result) {
    case TSettingsTransfer::TResult::Done:
        if (!outcome.Stored())
            return exitcode::Worse(TExitCode::Refused, exitcode::For(outcome.store.outcome));
        return outcome.errors == 0 ? TExitCode::Done : TExitCode::Refused;
    case TSettingsTransfer::TResult::Cancelled:
        return TExitCode::Refused;
    default:
        return TExitCode::NoAnswer;
    }
}
