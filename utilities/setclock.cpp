#include "setclock.h"

#include "activityguard.h"
#include "clockwrites.h"
#include "instrumentlink.h"
#include "pcclock.h"
#include "protocol.h"
#include "sessioncontroller.h"
#include "userprompts.h"

#include "ui_setclock.h"

using namespace protocol;

namespace {

constexpr int kClockPixels = 16;

} // namespace

TFrmSetClock::TFrmSetClock(TInstrumentLink& link, TSessionController& session,
                           IUserPrompts& prompts, const IPcClock& clock, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TFrmSetClock>()), m_link(link), m_session(session),
      m_prompts(prompts), m_clock(clock)
{
    ui->setupUi(this);
    QFont font = ui->LblDateTime->font();
    font.setPixelSize(kClockPixels);
    ui->LblDateTime->setFont(font);
}

TFrmSetClock::~TFrmSetClock() = default;

void TFrmSetClock::SetDateTime1Click()
{
    if (!m_link.IsOpen())
        return;
    const TActivityGuard clockInFront(m_link.Engine(), this);
    if (!m_link.StartJob(std::make_unique<THeldJob>(
            TJobKind::Clock, QStringLiteral("Set Date and Time"), [this] { reject(); })))
        return;
    const int result = exec();
    m_link.ReleaseJob();
    if (result != QDialog::Accepted)
        return;
    if (!m_prompts.Confirm(QStringLiteral("Send PC Date/Time to instrument?")))
        return;
    SendPcTime();
}

void TFrmSetClock::SendPcTime()
{
    const auto writes = clockwrites::For(m_clock.LocalNow());
    if (m_session.PromptPasscode(false)) {
        for (const clockwrites::TClockWrite& write : writes) {
            if (!m_link.SendCommand(TRequest::Write(write.reg, write.data).Reporting()))
                break;
        }
    }
    m_session.LockUnlessInSession();
}

std::optional<IActivity::TPoll> TFrmSetClock::IdlePoll() const
{
    return TPoll{cmd::ReadValue, reg::Clock};
}

void TFrmSetClock::MessageReceived(const Tcommsobj& message, bool)
{
    if (message.ErrorBit)
        ui->LblDateTime->clear();
    else if (message.Register == reg::Clock)
        ui->LblDateTime->setText(message.Data);
}
