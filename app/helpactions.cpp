#include "helpactions.h"

#include "about.h"
#include "userprompts.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

THelpActions::THelpActions(const TdatViewer& config, IUserPrompts& prompts, QWidget* parent)
    : m_config(config), m_prompts(prompts), m_parent(parent)
{
    const QFileInfo program(QCoreApplication::applicationFilePath());
    m_helpFile = program.dir().filePath(program.completeBaseName() + QStringLiteral(".chm"));
}

void THelpActions::muHelpClick()
{
    if (!QFileInfo(m_helpFile).isFile()) {
        m_prompts.Inform(QStringLiteral("The help file %1 was not found.").arg(m_helpFile));
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(m_helpFile)))
        m_prompts.Inform(
            QStringLiteral("No program is available to open the help file %1.").arg(m_helpFile));
}

void THelpActions::About1Click()
{
    TfrmAbout about(m_parent);
    const QString error = about.FormCreate(m_config);
    if (!error.isEmpty()) {
        m_prompts.ShowError(error);
        return;
    }
    about.exec();
}
