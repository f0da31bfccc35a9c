#include "settingsbackup.h"

#include "console.h"
#include "ctloptions.h"
#include "ctloutput.h"
#include "ctlprompts.h"
#include "ctlsession.h"
#include "instrumentlink.h"
#include "ringscan.h"
#include "settingsfile.h"

#include <QDir>
#include <QJsonArray>
#include <QStringList>

namespace {

const QString kExtension = QStringLiteral(".VSF");

} // namespace

TExitCode TSettingsBackup::Run()
{
    return m_context.options.all ? All() : One();
}

TSettingsBackup::TSaved TSettingsBackup::BackUp(TCtlSession& session, const QString& path)
{
    TSaved saved;
    const int shownBefore = m_context.prompts.Shown();
    saved.code = session.Start();
    if (saved.code != TExitCode::Done) {
        session.End(); // a session that did open is ended and locked, as after Ctrl+C
        return saved;
    }
    // Error replies were shown as they came; the file is kept, but not called complete.
    const int refused = m_context.prompts.Shown() - shownBefore;
    const TDevice& device = m_context.link.Device();
    const QStringList lines =
        settingsfile::WriteSettingsFile(session.Tree(), device.CalibrationBlock);
    const bool unread = settingsfile::HasUnreadMenus(session.Tree());
    // A request the instrument never answered leaves a hole the file would not show.
    const bool silent = m_context.link.Unanswered() > 0;
    session.End();
    if (silent) {
        m_context.console.Message(QStringLiteral("The instrument stopped answering while its "
                                                 "settings were read; nothing was saved."));
        saved.code = TExitCode::NoAnswer;
        return saved;
    }
    const QString error = settingsfile::SaveSettingsFile(path, lines);
    if (!error.isEmpty()) {
        m_context.console.Message(error);
        saved.code = TExitCode::BadUsage;
        return saved;
    }
    saved.file = path;
    saved.lines = static_cast<int>(lines.size());
    if (unread || refused > 0) {
        m_context.console.Message(QStringLiteral("The instrument refused part of its settings "
                                                 "tree: %1 was saved without it.")
                                      .arg(QDir::toNativeSeparators(path)));
        saved.code = TExitCode::Refused;
    }
    return saved;
}

QJsonObject TSettingsBackup::Json(const TSaved& saved) const
{
    const TDevice& device = m_context.link.Device();
    return {{QStringLiteral("address"), m_context.link.Address()},
            {QStringLiteral("serialNumber"), device.SerialNumber},
            {QStringLiteral("level"),
             m_context.options.full ? QStringLiteral("full") : QStringLiteral("safe")},
            {QStringLiteral("file"), saved.file},
            {QStringLiteral("lines"), saved.lines},
            {QStringLiteral("exitCode"), static_cast<int>(saved.code)}};
}

TExitCode TSettingsBackup::One()
{
    const TCtlOptions& options = m_context.options;
    TCtlSession session(m_context, options.full, options.passcode);
    const QString path = settingsfile::WithDefaultExtension(options.path, kExtension);
    const TSaved saved = BackUp(session, path);
    if (!saved.file.isEmpty())
        m_context.output.Print(Json(saved), QStringLiteral("Saved %1 (serial number %2, %3 lines)")
                                                .arg(QDir::toNativeSeparators(saved.file),
                                                     m_context.link.Device().SerialNumber,
                                                     QString::number(saved.lines)));
    return saved.code;
}

TExitCode TSettingsBackup::All()
{
    const TCtlOptions& options = m_context.options;
    const QDir folder(options.path);
    if (!QDir().mkpath(options.path)) {
        m_context.console.Message(QStringLiteral("Cannot create the folder %1.")
                                      .arg(QDir::toNativeSeparators(options.path)));
        return TExitCode::BadUsage;
    }
    TRingScan scan(m_context);
    const std::vector<TRingScan::TFound> found = scan.Find();
    if (scan.PortLost())
        return TExitCode::NoAnswer;
    if (found.empty()) {
        m_context.console.Message(QStringLiteral("No instrument answered at any address."));
        return TExitCode::NoAnswer;
    }
    TCtlSession session(m_context, options.full, options.passcode);
    TExitCode worst = TExitCode::Done;
    QJsonArray files;
    QStringList lines;
    for (const TRingScan::TFound& instrument : found) {
        m_context.link.SetAddress(instrument.address);
        session.NextInstrument();
        const QString name = instrument.serialNumber.isEmpty()
                                 ? QStringLiteral("address-%1").arg(instrument.address)
                                 : instrument.serialNumber;
        const QString path = folder.filePath(name + kExtension);
        const TSaved saved = BackUp(session, path);
        worst = exitcode::Worse(worst, saved.code);
        files.append(Json(saved));
        lines << QStringLiteral("Address %1: %2")
                     .arg(QString::number(instrument.address),
                          saved.file.isEmpty() ? QStringLiteral("not saved")
                                               : QDir::toNativeSeparators(saved.file));
        // Without a passcode no other instrument will open either.
        if (saved.code == TExitCode::BadUsage || m_context.interrupted)
            break;
    }
    m_context.output.Print({{QStringLiteral("files"), files}}, lines.join(u'\n'));
    return worst;
}
