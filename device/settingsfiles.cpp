#include "settingsfiles.h"

#include "activityguard.h"
#include "commsengine.h"
#include "device.h"
#include "listingprinter.h"
#include "printprompts.h"
#include "sendsettings.h"
#include "sessioncontroller.h"
#include "settingsfile.h"
#include "settingslisting.h"
#include "settingspage.h"
#include "settingstransfer.h"
#include "trafficdlg.h"
#include "userprompts.h"
#include "waitcursor.h"

#include <QPrinter>

TSettingsFiles::TSettingsFiles(TCommsEngine& engine, TDevice& device, TSessionController& session,
                               TSettingsPage& page, IUserPrompts& prompts,
                               IPrintPrompts& printPrompts, QWidget* parent)
    : m_engine(engine), m_device(device), m_session(session), m_page(page), m_prompts(prompts),
      m_printPrompts(printPrompts), m_parent(parent)
{
}

void TSettingsFiles::Save1Click()
{
    if (m_page.Tree().Children().empty()) {
        m_prompts.Inform(QStringLiteral("There are no settings to save: start a setup session "
                                        "and read the settings first."));
        return;
    }
    // A backup is complete by default: menus never opened hold no settings yet.
    if (settingsfile::HasUnreadMenus(m_page.Tree())) {
        const int answer =
            m_prompts.Ask(QStringLiteral("Some menus were not read from the "
                                         "instrument. Read them all before saving?"),
                          {QStringLiteral("Yes"), QStringLiteral("No"), QStringLiteral("Cancel")});
        if (answer == 0)
            m_page.ReadAllMenus();
        else if (answer != 1)
            return;
    }
    const QString chosen = m_prompts.AskSaveFileName(QStringLiteral("Save Settings to File"),
                                                     QString::fromLatin1(kFilter));
    if (chosen.isEmpty())
        return;
    const QString path = settingsfile::WithDefaultExtension(chosen, QStringLiteral(".VSF"));
    const QStringList lines =
        settingsfile::WriteSettingsFile(m_page.Tree(), m_device.CalibrationBlock);
    const QString error = settingsfile::SaveSettingsFile(path, lines);
    if (!error.isEmpty())
        m_prompts.ShowError(error);
}

void TSettingsFiles::Open1Click()
{
    const QString path = m_prompts.AskOpenFileName(QStringLiteral("Open Settings File"),
                                                   QString::fromLatin1(kFilter));
    if (path.isEmpty())
        return;
    const settingsfile::TFileLines file = settingsfile::LoadSettingsFile(path);
    if (!file.Ok()) {
        m_prompts.ShowError(file.Error);
        return;
    }
    // Nothing of a file that could do more than write settings is ever sent.
    const settingsfile::TSendTree content = settingsfile::FillSendTree(file.Lines);
    if (!content.Ok()) {
        m_prompts.ShowError(content.Error);
        return;
    }
    TFrmSendSettings preview(*content.Tree, m_parent);
    if (preview.exec() != QDialog::Accepted)
        return;
    if (m_session.SessionActive()) {
        m_prompts.Inform(QStringLiteral("Instrument Session already active"));
        return;
    }
    if (!m_session.PromptPasscode(true))
        return;
    QStringList requests = content.RequestTexts();
    if (!preview.IncludeCalibration() && !requests.isEmpty() &&
        requests.first().contains(QLatin1String("1200F0:")))
        requests.removeFirst();
    WriteSettingsToInstrument(requests);
}

void TSettingsFiles::WriteSettingsToInstrument(const QStringList& lines)
{
    if (!m_engine.IsOpen()) {
        m_prompts.Inform(QStringLiteral("Instrument not Connected"));
        return;
    }
    // On a ring only the connected instrument may take the file's requests.
    QStringList requests;
    for (const QString& line : lines)
        requests << settingsfile::Readdressed(line, m_engine.InstrumentAddress());
    {
        TSettingsTransfer transfer(m_engine, m_prompts);
        const TActivityGuard activity(m_engine, &transfer);
        m_engine.MarkDisplayStale();
        transfer.SetRequests(requests);
        TFrmTraffic traffic(transfer, m_parent);
        traffic.exec();
    }
    {
        TWaitCursor wait;
        m_session.Lock();
    }
    m_session.StoreSettings(false);
}

void TSettingsFiles::Print1Click(bool preview)
{
    QPrinter printer(QPrinter::HighResolution);
    const QString header = settingslisting::Header(m_device.ModelText, m_device.SerialNumber,
                                                   m_device.SoftwareVersion);
    const auto paint = [&](QPrinter* target) {
        TWaitCursor wait;
        const auto pages =
            settingslisting::Pages(header, m_page.Tree(), listingprinter::LinesPerPage(*target));
        const QString error = listingprinter::Print(*target, pages);
        if (!error.isEmpty())
            m_prompts.ShowError(error);
    };
    if (preview)
        m_printPrompts.ShowPreview(printer, paint);
    else if (m_printPrompts.ChoosePrinter(printer))
        paint(&printer);
}
