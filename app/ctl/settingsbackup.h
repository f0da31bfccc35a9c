#pragma once

#include "ctlcontext.h"
#include "exitcode.h"

#include <QJsonObject>
#include <QString>

class TCtlSession;

// Settings backups: an instrument's whole menu tree read in a setup session and saved as a
// settings file, the same bytes the viewer saves after Expand All; with --all every
// instrument that answers, each into a file named by its serial number.
class TSettingsBackup
{
public:
    explicit TSettingsBackup(TCtlContext& context) : m_context(context) {}

    [[nodiscard]] TExitCode Run();

private:
    struct TSaved
    {
        TExitCode code = TExitCode::Done;
        QString file;
        int lines = 0;
    };

    [[nodiscard]] TExitCode One();
    [[nodiscard]] TExitCode All();
    // The instrument at the link's address backed up into `path`; the messages are shown.
    [[nodiscard]] TSaved BackUp(TCtlSession& session, const QString& path);
    [[nodiscard]] QJsonObject Json(const TSaved& saved) const;

    TCtlContext& m_context;
};
