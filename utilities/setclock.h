#pragma once

#include "activity.h"

#include <QDialog>

#include <memory>

class IPcClock;
class IUserPrompts;
class TCommsEngine;
class TSessionController;
namespace Ui {
class TFrmSetClock;
}

// "Set Date and Time": the instrument's clock, read live while the dialog is open, and Set
// to send the PC's date and time to the instrument under the Safe passcode. Created once and
// reused: the label keeps the last clock text between uses.
class TFrmSetClock : public QDialog, public IActivity
{
    Q_OBJECT
public:
    TFrmSetClock(TCommsEngine& engine, TSessionController& session, IUserPrompts& prompts,
                 const IPcClock& clock, QWidget* parent = nullptr);
    ~TFrmSetClock() override;

    // Instrument > Set Date/Time: the dialog, then on Set and confirmation the clock writes
    // and Lock. Nothing happens while the port is closed. The dialog is the engine's activity
    // until the command ends, whichever way it ends.
    void SetDateTime1Click();

    int ActivityCode() const override { return Clock; }
    std::optional<TPoll> IdlePoll() const override;
    void MessageReceived(const Tcommsobj& message, bool requestWaiting) override;

private:
    void SendPcTime();

    std::unique_ptr<Ui::TFrmSetClock> ui;
    TCommsEngine& m_engine;
    TSessionController& m_session;
    IUserPrompts& m_prompts;
    const IPcClock& m_clock;
};
