#include "commandstates.h"

#include "ui_main.h"

#include "toolicons.h"

#include <QTabBar>

TCommandStates::TCommandStates(Ui::TFrmMain& ui) : ui(ui) {}

void TCommandStates::EnableMenuItems(QMenu* menu, bool enabled)
{
    for (QAction* item : menu->actions())
        item->setEnabled(enabled);
}

void TCommandStates::SetLook()
{
    ui.ToolButton1->setIcon(toolicons::Open());
    ui.ToolButton2->setIcon(toolicons::Save());
    ui.ToolButton4->setIcon(toolicons::Connect());
    ui.tbStartSession->setIcon(toolicons::StartSession());
    ui.tbEndSession->setIcon(toolicons::EndSession());
    ui.Open1->setShortcuts({QKeySequence::Open, QKeySequence(Qt::Key_F3)});
    ui.Exit1->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Q), QKeySequence(Qt::ALT | Qt::Key_X)});
}

void TCommandStates::Apply(const TLinkState& state)
{
    const bool connected = state.connected;
    const bool free = !state.job;
    ui.ToolButton4->setText(connected ? QStringLiteral("&Disconnect") : QStringLiteral("&Connect"));
    ui.ToolButton4->setToolTip(connected ? QStringLiteral("Disconnect from instrument")
                                         : QStringLiteral("Connect to instrument"));
    ui.ToolButton4->setStatusTip(ui.ToolButton4->toolTip());
    // Connect opens the port dialog; Disconnect asks nothing.
    ui.Connect2->setText(connected ? ui.ToolButton4->text() : QStringLiteral("&Connect..."));
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
