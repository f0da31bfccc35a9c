#include "filecomparison.h"

#include "comparedialog.h"
#include "instrumentlink.h"
#include "sessioncontroller.h"
#include "settingscompare.h"
#include "settingsfile.h"
#include "settingsfiles.h"
#include "userprompts.h"

#include <QFileInfo>

TFileComparison::TFileComparison(TInstrumentLink& link, TSessionController& session,
                                 IUserPrompts& prompts, IPrintPrompts& printPrompts,
                                 QWidget* parent)
    : m_link(link), m_session(session), m_prompts(prompts), m_printPrompts(printPrompts),
      m_parent(parent)
{
}

TFileComparison::~TFileComparison() = default;

void TFileComparison::CompareWithFileClick()
{
    TSettingsTree& tree = m_session.Tree();
    if (!m_session.SessionActive() || !tree.Top()) {
        m_prompts.Inform(QStringLiteral("A file is compared with the instrument's settings: "
                                        "start a setup session first."));
        return;
    }
    const QString path = m_prompts.AskOpenFileName(QStringLiteral("Compare with Settings File"),
                                                   QString::fromLatin1(TSettingsFiles::kFilter));
    if (path.isEmpty())
        return;
    auto file = std::make_shared<settingsfile::TSendTree>(settingsfile::ReadSendTree(path));
    if (!file->Ok()) {
        m_prompts.ShowError(file->Error);
        return;
    }
    const QString name = QFileInfo(path).fileName();
    // Menus never opened hold no settings yet: they are read first, as Expand All reads them.
    if (!settingsfile::HasUnreadMenus(tree.Root())) {
        Show(*file, name);
        return;
    }
    tree.StartRead(*tree.Top(), TMenuReader::TScope::Below, [this, file, name](TJobEnd end) {
        if (end == TJobEnd::Done)
            Show(*file, name);
    });
}

void TFileComparison::Show(const settingsfile::TSendTree& file, const QString& fileName)
{
    TSettingsTree& tree = m_session.Tree();
    std::vector<TSettingDifference> differences = settingscompare::Compare(
        {*file.Tree, file.Calibration()}, {tree.Root(), m_link.Device().CalibrationBlock}, false);
    QHash<const TMenuNode*, QString> fileValues;
    for (const TSettingDifference& difference : differences) {
        if (difference.secondNode)
            fileValues.insert(difference.secondNode, difference.firstNode
                                                         ? difference.first
                                                         : QStringLiteral("(not in the file)"));
    }
    tree.MarkCompared(std::move(fileValues));
    TFrmCompare dialog(std::move(differences), fileName, m_prompts, m_printPrompts, m_parent);
    dialog.exec();
}
