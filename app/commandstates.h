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

    // The tool bar's icons, and the keys of earlier versions (F3 for Open, Alt+X for Exit)
    // beside the standard ones the menus show.
    void SetLook();
    // Connect or Disconnect, the menus, the tool bar and the tabs for this state.
    void Apply(const TLinkState& state);

private:
    static void EnableMenuItems(QMenu* menu, bool enabled);

    Ui::TFrmMain& ui;
};
