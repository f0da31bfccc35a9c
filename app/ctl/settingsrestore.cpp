#include "settingsrestore.h"

#include "activityguard.h"
#include "console.h"
#include "ctllink.h"
#include "ctloptions.h"
#include "ctloutput.h"
#include "ctlprompts.h"
#include "ctlsession.h"
#include "settingsfile.h"
#include "signalexit.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>

namespace {

QString ResultText(TSettingsTransfer::TResult result)
{
    switch (result) {
    case TSettingsTransfer::TResult::Done:
        return QStringLiteral("done");
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
    // Nothing of a file that could do more than write settings is ever sent.
    const settingsfile::TSendTree content = settingsfile::FillSendTree(file.Lines);
    if (!content.Ok()) {
        m_context.console.Message(content.Error);
        return std::nullopt;
    }
    QStringList requests = content.RequestTexts();
    if (!m_context.options.calibration && !requests.isEmpty() &&
        settingsfile::IsCalibrationLine(requests.first()))
        requests.removeFirst();
    // On a ring only the connected instrument may take the file's requests.
    for (QString& request : requests)
        request = settingsfile::Readdressed(request, m_context.link.Address());
    return requests;
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
    int reports = 0;
    const TSettingsTransfer::TResult result = Send(*requests, reports);
    session.LockAndStore();
    m_context.output.Print({{QStringLiteral("file"), m_context.options.path},
                            {QStringLiteral("requests"), static_cast<int>(requests->size())},
                            {QStringLiteral("result"), ResultText(result)},
                            {QStringLiteral("errors"), reports}},
                           QStringLiteral("Sent %1 settings from %2: %3, %4 reported")
                               .arg(QString::number(requests->size()),
                                    QDir::toNativeSeparators(m_context.options.path),
                                    ResultText(result), QString::number(reports)));
    switch (result) {
    case TSettingsTransfer::TResult::Done:
        return reports == 0 ? TExitCode::Done : TExitCode::Refused;
    case TSettingsTransfer::TResult::Cancelled:
        return TExitCode::Refused;
    default:
        return TExitCode::NoAnswer;
    }
}

// Runs the transfer to its end; `reports` counts the error replies and warnings shown.
TSettingsTransfer::TResult TSettingsRestore::Send(const QStringList& requests, int& reports)
{
    TCommsEngine& engine = m_context.link.Engine();
    TSettingsTransfer transfer(engine, m_context.prompts);
    const TActivityGuard activity(engine, &transfer);
    engine.MarkDisplayStale();
    transfer.SetRequests(requests);
    TSignalExit interrupt;
    QObject::connect(&interrupt, &TSignalExit::Received, &transfer, &TSettingsTransfer::Cancel);
    QObject::connect(&transfer, &TSettingsTransfer::ProgressChanged, &transfer,
                     [this, &transfer] { ShowProgress(transfer); });
    QEventLoop loop;
    QObject::connect(&transfer, &TSettingsTransfer::Finished, &loop, &QEventLoop::quit);
    const int shownBefore = m_context.prompts.Shown();
    transfer.Start();
    if (transfer.Result() == TSettingsTransfer::TResult::Running)
        loop.exec();
    m_context.console.EndProgress();
    // Error replies seen at the very end are shown from the event loop.
    QCoreApplication::processEvents();
    reports = m_context.prompts.Shown() - shownBefore;
    return transfer.Result();
}

void TSettingsRestore::ShowProgress(const TSettingsTransfer& transfer)
{
    m_context.console.Progress(
        QStringLiteral("Sent %1 of %2")
            .arg(QString::number(transfer.Progress()), QString::number(transfer.Count())));
}
