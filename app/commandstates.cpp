#include "commandstates.h"

#include "ui_main.h"

#include <QStyle>

TCommandStates::TCommandStates(Ui::TFrmMain& ui) : ui(ui) {}

void TCommandStates::EnableMenuItems(QMenu* menu, bool enabled)
{
    for (QAction* item : menu->actions())
        item->setEnabled(enabled);
}

void TCommandStates::SetIcons()
{
    const std::pair<QAction*, QStyle::StandardPixmap> icons[] = {
        {ui.ToolButton1, QStyle::SP_DialogOpenButton},
        {ui.ToolButton2, QStyle::SP_DialogSaveButton},
        {ui.ToolButton4, QStyle::SP_DriveNetIcon},
        {ui.tbStartSession, QStyle::SP_MediaPlay},
        {ui.tbEndSession, QStyle::SP_MediaStop}};
    for (const auto& [action, icon] : icons)
        action->setIcon(ui.ToolBar->style()->standardIcon(icon));
}

void TCommandStates::Apply(const TLinkState& state)
{
    const bool connected = state.connected;
    ui.ToolButton4->setText(connected ? QStringLiteral("&Disconnect") : QStringLiteral("&Connect"));
    ui.ToolButton4->setToolTip(connected ? QStringLiteral("Disconnect from instrument")
                                         : QStringLiteral("Connect to instrument"));
    ui.Connect2->setText(ui.ToolButton4->text());
    EnableMenuItems(ui.MenuInstrument, connected);
    ui.FactoryTestResults1->setEnabled(true); // it asks the instrument nothing
    ui.tbStartSession->setEnabled(connected);
    ui.tbEndSession->setEnabled(connected && state.session);
    ui.EndSession->setEnabled(ui.tbEndSession->isEnabled());
    for (QAction* item : {ui.Lock1, ui.FullPasscode1, ui.SafePasscode1})
        item->setEnabled(connected && !state.session);
}

void TCommandStates::Lock(bool keepPages)
{
    for (QMenu* menu : {ui.MenuFile, ui.MenuInstrument, ui.MenuHelp})
        EnableMenuItems(menu, false);
    for (QAction* action : ui.ToolBar->actions())
        action->setEnabled(false);
    ui.PgCMain->setEnabled(keepPages);
}

void TCommandStates::Unlock()
{
    for (QMenu* menu : {ui.MenuFile, ui.MenuHelp})
        EnableMenuItems(menu, true);
    for (QAction* action : ui.ToolBar->actions())
        action->setEnabled(true);
    ui.PgCMain->setEnabled(true);
}
