#pragma once

#include "page.h"

class QMenu;
namespace Ui {
class TFrmMain;
}

// Which of the main window's commands can be used: those the state of the link allows. While
// a job holds the link only the commands that end it stay (End Session, Disconnect, Exit),
// with Help; the tabs stay where they are.
class TCommandStates
{
public:
    explicit TCommandStates(Ui::TFrmMain& ui);

    // Icons of the tool bar's buttons from the desktop's style.
    void SetIcons();
    // Connect or Disconnect, the menus, the tool bar and the tabs for this state.
    void Apply(const TLinkState& state);

private:
    static void EnableMenuItems(QMenu* menu, bool enabled);

    Ui::TFrmMain& ui;
};
