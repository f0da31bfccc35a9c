#pragma once

#include "activity.h"

#include <QDialog>

#include <memory>

class IPcClock;
class IUserPrompts;
class TInstrumentLink;
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
    TFrmSetClock(TInstrumentLink& link, TSessionController& session, IUserPrompts& prompts,
                 const IPcClock& clock, QWidget* parent = nullptr);
    ~TFrmSetClock() override;

    // Instrument > Set Date/Time: the dialog, then on Set and confirmation the clock writes
    // and Lock (inside a setup session its levels stay open). Nothing happens while the port
    // is closed. The dialog is the engine's activity until the command ends, whichever way it
    // ends, and holds the link as a job while it is open.
    void SetDateTime1Click();

    int ActivityCode() const override { return Clock; }
    std::optional<TPoll> IdlePoll() const override;
    void MessageReceived(const Tcommsobj& message, bool requestWaiting) override;

private:
    void SendPcTime();

    std::unique_ptr<Ui::TFrmSetClock> ui;
    TInstrumentLink& m_link;
    TSessionController& m_session;
    IUserPrompts& m_prompts;
    const IPcClock& m_clock;
};
