#include "settingsfiles.h"

#include "instrumentlink.h"
#include "listingprinter.h"
#include "printprompts.h"
#include "sendsettings.h"
#include "sessioncontroller.h"
#include "settingsfile.h"
#include "settingslisting.h"
#include "settingssend.h"
#include "trafficdlg.h"
#include "userprompts.h"
#include "waitcursor.h"

#include <QPrinter>

TSettingsFiles::TSettingsFiles(TInstrumentLink& link, TSessionController& session,
                               IUserPrompts& prompts, IPrintPrompts& printPrompts, QWidget* parent)
    : m_link(link), m_session(session), m_prompts(prompts), m_printPrompts(printPrompts),
      m_parent(parent)
{
}

void TSettingsFiles::Save1Click()
{
    TSettingsTree& tree = m_session.Tree();
    if (!tree.Top()) {
        m_prompts.Inform(QStringLiteral("There are no settings to save: start a setup session "
                                        "and read the settings first."));
        return;
    }
    // A backup is complete by default: menus never opened hold no settings yet.
    if (settingsfile::HasUnreadMenus(tree.Root())) {
        const int answer =
            m_prompts.Ask(QStringLiteral("Some menus were not read from the "
                                         "instrument. Read them all before saving?"),
                          {QStringLiteral("Yes"), QStringLiteral("No"), QStringLiteral("Cancel")});
        if (answer == 0) {
            // Saved once every menu is read; a reading that was ended saves nothing.
            tree.StartRead(*tree.Top(), TMenuReader::TScope::Below, [this](TJobEnd end) {
                if (end == TJobEnd::Done)
                    SaveTree();
            });
            return;
        }
        if (answer != 1)
            return;
    }
    SaveTree();
}

void TSettingsFiles::SaveTree()
{
    const QString chosen = m_prompts.AskSaveFileName(QStringLiteral("Save Settings to File"),
                                                     QString::fromLatin1(kFilter));
    if (chosen.isEmpty())
        return;
    const QString path = settingsfile::WithDefaultExtension(chosen, QStringLiteral(".VSF"));
    const QStringList lines =
        settingsfile::WriteSettingsFile(m_session.Tree().Root(), m_link.Device().CalibrationBlock);
    const QString error = settingsfile::SaveSettingsFile(path, lines);
    if (!error.isEmpty())
        m_prompts.ShowError(error);
    else
        TellFileShown(path);
}

void TSettingsFiles::Open1Click()
{
    const QString path = m_prompts.AskOpenFileName(QStringLiteral("Open Settings File"),
                                                   QString::fromLatin1(kFilter));
    if (!path.isEmpty())
        OpenFile(path);
}

void TSettingsFiles::OpenFile(const QString& path)
{
    const settingsfile::TFileLines file = settingsfile::LoadSettingsFile(path);
    if (!file.Ok()) {
        m_prompts.ShowError(file.Error);
        return;
    }
    // Nothing of a file that could do more than write its own settings is ever sent.
    const settingsfile::TSendTree content = settingsfile::FillSendTree(file.Lines);
    if (!content.Ok()) {
        m_prompts.ShowError(content.Error);
        return;
    }
    TellFileShown(path);
    TFrmSendSettings preview(*content.Tree, m_parent);
    if (preview.exec() != QDialog::Accepted)
        return;
    if (m_session.SessionActive()) {
        m_prompts.Inform(QStringLiteral("Instrument Session already active"));
        return;
    }
    if (!m_session.PromptPasscode(true))
        return;
    WriteSettingsToInstrument(content.RequestsToSend(preview.IncludeCalibration()));
}

void TSettingsFiles::WriteSettingsToInstrument(const QStringList& lines)
{
    if (!m_link.IsOpen()) {
        m_prompts.Inform(QStringLiteral("Instrument not Connected"));
        return;
    }
    const TSendOutcome outcome =
        settingssend::Send(m_link, m_session, m_prompts, lines, [this](TSettingsTransfer& t) {
            TFrmTraffic traffic(t, m_parent);
            traffic.exec();
        });
    if (!outcome.Stored() && m_link.IsOpen())
        m_prompts.ShowError(TSessionController::StoreFailure(outcome.store));
}

void TSettingsFiles::Print1Click(bool preview)
{
    QPrinter printer(QPrinter::HighResolution);
    const TDevice& device = m_link.Device();
    const QString header =
        settingslisting::Header(device.ModelText, device.SerialNumber, device.SoftwareVersion);
    const auto paint = [&](QPrinter* target) {
        TWaitCursor wait;
        const auto pages = settingslisting::Pages(header, m_session.Tree().Root(),
                                                  listingprinter::LinesPerPage(*target));
        const QString error = listingprinter::Print(*target, pages);
        if (!error.isEmpty())
            m_prompts.ShowError(error);
    };
    if (preview)
        m_printPrompts.ShowPreview(printer, paint);
    else if (m_printPrompts.ChoosePrinter(printer))
        paint(&printer);
}
