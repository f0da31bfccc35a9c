#include "commandstates.h"

#include "ui_main.h"

#include <QStyle>
#include <QTabBar>

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
    const bool free = !state.job;
    ui.ToolButton4->setText(connected ? QStringLiteral("&Disconnect") : QStringLiteral("&Connect"));
    ui.ToolButton4->setToolTip(connected ? QStringLiteral("Disconnect from instrument")
                                         : QStringLiteral("Connect to instrument"));
    ui.Connect2->setText(ui.ToolButton4->text());
    EnableMenuItems(ui.MenuFile, free);
    EnableMenuItems(ui.MenuInstrument, connected && free);
    ui.FactoryTestResults1->setEnabled(free); // it asks the instrument nothing
    ui.ToolButton1->setEnabled(free);
    ui.ToolButton2->setEnabled(free);
    ui.tbStartSession->setEnabled(connected && free);
    // These end the job first.
    ui.Connect2->setEnabled(true);
    ui.ToolButton4->setEnabled(true);
    ui.Exit1->setEnabled(true);
    ui.tbEndSession->setEnabled(connected && state.session);
    ui.EndSession->setEnabled(ui.tbEndSession->isEnabled());
    for (QAction* item : {ui.Lock1, ui.FullPasscode1, ui.SafePasscode1})
        item->setEnabled(connected && !state.session && free);
    ui.PgCMain->tabBar()->setEnabled(free);
}
