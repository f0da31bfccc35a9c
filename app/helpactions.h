#pragma once

#include <QString>

class IUserPrompts;
class QWidget;
class TdatViewer;

// Help > Help and Help > About: the help file named after the program, opened with the
// desktop's handler, and the About box.
class THelpActions
{
public:
    THelpActions(const TdatViewer& config, IUserPrompts& prompts, QWidget* parent);

    void muHelpClick();
    void About1Click();

private:
    const TdatViewer& m_config;
    IUserPrompts& m_prompts;
    QWidget* m_parent;
    QString m_helpFile; // the program's path with ".chm"
};
