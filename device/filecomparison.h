#pragma once

#include <QString>

#include <memory>

class IPrintPrompts;
class IUserPrompts;
class QWidget;
class TInstrumentLink;
class TSessionController;
namespace settingsfile {
struct TSendTree;
}

// File > Compare with File: the session's settings tree, read whole first, compared with a
// settings file; the settings that differ are marked in the tree and listed in a dialog.
class TFileComparison
{
public:
    TFileComparison(TInstrumentLink& link, TSessionController& session, IUserPrompts& prompts,
                    IPrintPrompts& printPrompts, QWidget* parent);
    ~TFileComparison();

    void CompareWithFileClick();

private:
    void Show(const settingsfile::TSendTree& file, const QString& fileName);

    TInstrumentLink& m_link;
    TSessionController& m_session;
    IUserPrompts& m_prompts;
    IPrintPrompts& m_printPrompts;
    QWidget* m_parent;
};
