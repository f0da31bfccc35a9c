#include "settingsdiff.h"

#include "console.h"
#include "ctloptions.h"
#include "ctloutput.h"
#include "ctlsession.h"
#include "instrumentlink.h"
#include "settingsfile.h"

#include <QDir>
#include <QJsonArray>

namespace {

const QString kInstrument = QStringLiteral("the instrument");

QString KindName(TSettingDifference::TKind kind)
{
    switch (kind) {
    case TSettingDifference::TKind::OnlyFirst:
        return QStringLiteral("onlyFirst");
    case TSettingDifference::TKind::OnlySecond:
        return QStringLiteral("onlySecond");
    default:
        return QStringLiteral("changed");
    }
}

QJsonValue Value(const QString& value, bool present)
{
    return present ? QJsonValue(value) : QJsonValue();
}

QJsonObject Json(const TSettingDifference& difference)
{
    using TKind = TSettingDifference::TKind;
    return {
        {QStringLiteral("setting"), difference.Setting()},
        {QStringLiteral("path"), QJsonArray::fromStringList(difference.path)},
        {QStringLiteral("kind"), KindName(difference.kind)},
        {QStringLiteral("first"), Value(difference.first, difference.kind != TKind::OnlySecond)},
        {QStringLiteral("second"), Value(difference.second, difference.kind != TKind::OnlyFirst)}};
}

// The file read for comparing; its error shown when it cannot be.
std::optional<settingsfile::TSendTree> Read(const QString& path, TConsole& console)
{
    settingsfile::TSendTree content = settingsfile::ReadSendTree(path);
    if (content.Ok())
        return content;
    console.Message(content.Error);
    return std::nullopt;
}

} // namespace

TExitCode TSettingsDiff::Report(const std::vector<TSettingDifference>& differences,
                                const QString& firstName, const QString& secondName,
                                const TCtlOutput& output)
{
    for (const TSettingDifference& difference : differences)
        output.Print(Json(difference), settingscompare::Line(difference, firstName, secondName));
    if (differences.empty() && !output.Json())
        output.Print({}, QStringLiteral("No differences."));
    return differences.empty() ? TExitCode::Done : TExitCode::Refused;
}

TExitCode TSettingsDiff::Files(const TCtlOptions& options, TConsole& console,
                               const TCtlOutput& output)
{
    const auto first = Read(options.path, console);
    const auto second = first ? Read(options.secondPath, console) : std::nullopt;
    if (!second)
        return TExitCode::BadUsage;
    return Report(settingscompare::Compare({*first->Tree, first->Calibration()},
                                           {*second->Tree, second->Calibration()},
                                           options.calibration),
                  QDir::toNativeSeparators(options.path),
                  QDir::toNativeSeparators(options.secondPath), output);
}

TExitCode TSettingsDiff::Run()
{
    const TCtlOptions& options = m_context.options;
    const auto file = Read(options.path, m_context.console);
    if (!file)
        return TExitCode::BadUsage;
    TCtlSession session(m_context, options.full, options.passcode);
    const TExitCode started = session.Start();
    const bool silent = m_context.link.Unanswered() > 0;
    const auto differences = settingscompare::Compare(
        {*file->Tree, file->Calibration()},
        {session.Tree(), m_context.link.Device().CalibrationBlock}, options.calibration);
    session.End();
    if (started != TExitCode::Done)
        return started;
    // A request never answered leaves a hole that would look like a difference.
    if (silent) {
        m_context.console.Message(QStringLiteral("The instrument stopped answering while its "
                                                 "settings were read; nothing was compared."));
        return TExitCode::NoAnswer;
    }
    return Report(differences, QDir::toNativeSeparators(options.path), kInstrument,
                  m_context.output);
}
