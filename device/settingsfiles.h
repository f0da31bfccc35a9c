#pragma once

#include "page.h"

#include <QStringList>

class IPrintPrompts;
class IUserPrompts;
class QWidget;
class TInstrumentLink;
class TSessionController;

// The settings file commands of the File menu: a session's tree saved to a settings file, a
// file previewed and sent back to the instrument, and the tree printed as a listing.
class TSettingsFiles : public IFileCommands
{
public:
    static constexpr const char* kFilter = "Settings (*.VSF);;All Files (*.*)";

    TSettingsFiles(TInstrumentLink& link, TSessionController& session, IUserPrompts& prompts,
                   IPrintPrompts& printPrompts, QWidget* parent);

    void Open1Click() override;
    void Save1Click() override;
    void Print1Click(bool preview) override;
    // Previews the file's settings and sends those chosen.
    void OpenFile(const QString& path) override;
    // Sends the requests through the progress dialog, then locks the instrument and has it
    // store its settings, whatever became of the batch.
    void WriteSettingsToInstrument(const QStringList& lines);

private:
    void SaveTree();

    TInstrumentLink& m_link;
    TSessionController& m_session;
    IUserPrompts& m_prompts;
    IPrintPrompts& m_printPrompts;
    QWidget* m_parent;
};
