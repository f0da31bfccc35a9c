#pragma once

#include "page.h"

class QMenu;
namespace Ui {
class TFrmMain;
}

// Which of the main window's commands can be used: those the state of the link allows, and
// none while a long operation holds the window (a calibration wait, a logging run).
class TCommandStates
{
public:
    explicit TCommandStates(Ui::TFrmMain& ui);

    // Icons of the tool bar's buttons from the desktop's style.
    void SetIcons();
    // Connect or Disconnect, the Instrument menu and the session buttons for this state.
    void Apply(const TLinkState& state);
    // Every menu and tool bar command off; the tabs too unless `keepPages`.
    void Lock(bool keepPages);
    // The File and Help menus, the tool bar and the tabs back on; Apply then sets the rest.
    void Unlock();

private:
    static void EnableMenuItems(QMenu* menu, bool enabled);

    Ui::TFrmMain& ui;
};
