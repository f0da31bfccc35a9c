#pragma once

#include <QString>

#include <memory>

class IUserPrompts;
class QWidget;
class TdatViewer;
class THelpKey;
class THelpWindow;

// Help > Help, F1 and Help > About: the manual in the program's own help window, at its
// contents or at the page of the tab or dialog in front, and the About box.
class THelpActions
{
public:
    THelpActions(const TdatViewer& config, IUserPrompts& prompts, QWidget* parent);
    ~THelpActions();

    // Help > Help: the contents.
    void muHelpClick();
    void About1Click();

private:
    // F1: the page of `target`'s tab or dialog (in the help itself, how to use it), the help
    // kept usable beside a modal dialog.
    void ShowHelpFor(QWidget* target);
    void ShowPage(const QString& page, QWidget* modal);

    const TdatViewer& m_config;
    IUserPrompts& m_prompts;
    QWidget* m_parent;
    std::unique_ptr<THelpWindow> m_window; // made when first asked for
    std::unique_ptr<THelpKey> m_key;
};
