#include "sessioncontroller.h"

#include "commsengine.h"
#include "device.h"
#include "protocol.h"
#include "sessionprompts.h"
#include "tools.h"
#include "userprompts.h"

using namespace protocol;

namespace {

// Shows the program busy for the life of a scope, however it ends.
class TBusyScope
{
public:
    explicit TBusyScope(ISessionPrompts& prompts) : m_prompts(prompts) { m_prompts.ShowBusy(true); }
    ~TBusyScope() { m_prompts.ShowBusy(false); }

private:
    ISessionPrompts& m_prompts;
};

// A request the instrument never answered says nothing about its passcode: asking the user
// again would only send more into silence.
bool Unanswered(const TRequestResult& result)
{
    return result.outcome == TOutcome::NoReply || result.outcome == TOutcome::PortClosed ||
           result.outcome == TOutcome::Refused;
}

} // namespace

TSessionController::TSessionController(TCommsEngine& engine, TDevice& device, IUserPrompts& prompts,
                                       ISessionPrompts& sessionPrompts, QObject* parent)
    : QObject(parent), m_engine(engine), m_device(device), m_prompts(prompts),
      m_sessionPrompts(sessionPrompts)
{
    m_tmrViewerMode.setInterval(kKeepAliveMs);
    connect(&m_tmrViewerMode, &QTimer::timeout, this, &TSessionController::tmrViewerModeTimer);
    m_tmrViewerMode.start();
}

bool TSessionController::PromptPasscode(bool full)
{
    const int reg = full ? reg::FullPasscode : reg::SafePasscode;
    const TRequestResult open = m_engine.SendCommand(cmd::ReadValue, reg, false, true);
    if (open.Ok())
        return true;
    if (Unanswered(open))
        return false;
    const QString caption =
        full ? QStringLiteral("Enter Full Passcode") : QStringLiteral("Enter Safe Passcode");
    for (;;) {
        const std::optional<QString> typed = m_sessionPrompts.AskPasscode(caption);
        if (!typed)
            return false;
        const auto code = static_cast<uint32_t>(tools::DigitsToInt(*typed));
        const TRequestResult write =
            m_engine.SendCommand(cmd::WriteValue, reg, false, true, tools::HexText(code));
        if (Unanswered(write))
            return false;
        if (write.Ok() && m_engine.SendCommand(cmd::ReadValue, reg, false, true).Ok())
            return true;
    }
}

void TSessionController::Lock()
{
    const std::pair<int, int> levels[] = {{reg::StoredFullPasscode, reg::FullPasscode},
                                          {reg::StoredSafePasscode, reg::SafePasscode}};
    for (const auto& [stored, entry] : levels) {
        const TRequestResult read = m_engine.SendCommand(cmd::ReadValue, stored, false, true);
        if (Unanswered(read) || m_engine.ReplyRecord().HasError(err::AccessDenied))
            continue;
        // Any passcode but the stored one closes the level.
        const uint32_t wrong = m_engine.ReplyRecord().Value ^ 0xFF;
        m_engine.SendCommand(cmd::WriteValue, entry, false, true, tools::HexText(wrong, 4));
    }
}

void TSessionController::StoreSettings(bool keepPasscodes)
{
    TBusyScope busy(m_sessionPrompts);
    QString full;
    QString safe;
    if (keepPasscodes) {
        if (m_engine.SendCommand(cmd::ReadValue, reg::StoredFullPasscode, false, true))
            full = tools::HexText(m_engine.ReplyRecord().Value);
        if (m_engine.SendCommand(cmd::ReadValue, reg::StoredSafePasscode, false, true))
            safe = tools::HexText(m_engine.ReplyRecord().Value);
    }
    if (m_engine.SendCommand(cmd::Execute, reg::StoreSettings, false, true)) {
        emit Stored();
        // The instrument restarts its setup while it stores: give it time to answer again,
        // without telling the user about the silence.
        for (int i = 0; i < 3; ++i) {
            m_engine.HoldNoResponseMessages();
            m_engine.SendCommand(cmd::ReadValue, reg::SerialNumber, false, true);
        }
    }
    if (!safe.isEmpty())
        m_engine.SendCommand(cmd::WriteValue, reg::SafePasscode, false, true, safe);
    if (!full.isEmpty())
        m_engine.SendCommand(cmd::WriteValue, reg::FullPasscode, false, true, full);
    emit IdentityRead();
}

bool TSessionController::CheckCommsVersion()
{
    m_device.ReadIdentity();
    emit IdentityRead();
    if (m_device.CommsVersion.size() >= 2 && m_device.CommsVersion.at(1) == u'2')
        return true;
    // An instrument that did not answer, or a link that went away, is no unknown instrument:
    // the engine or the connection has told the user already.
    const TOutcome last = m_engine.LastOutcome();
    if (!m_engine.IsOpen() || last == TOutcome::NoReply || last == TOutcome::PortClosed)
        return false;
    m_prompts.Inform(QStringLiteral("Unknown Instrument Communications"));
    return false;
}

void TSessionController::StartSessionClick()
{
    emit SessionStarting();
    m_device.LinPointCount = 0;
    m_device.ReadingMenu = 0;
    if (!m_engine.IsOpen() || !CheckCommsVersion())
        return;
    const std::optional<bool> full = m_sessionPrompts.AskSetupLevel();
    if (!full || !PromptPasscode(*full))
        return;
    TBusyScope busy(m_sessionPrompts);
    m_device.FullAccess = *full;
    if (m_view)
        m_view->BuildTree(*full);
    if (*full)
        m_device.ReadCalibration();
    else
        m_device.ClearCalibration();
    emit CalibrationRead();
    SetActive(true, *full);
    emit SessionStarted(*full);
}

void TSessionController::EndSessionClick()
{
    if (m_view)
        m_view->ClearTree();
    emit SessionEnded();
    if (!m_engine.IsOpen())
        return;
    m_engine.SendCommand(cmd::WriteValue, reg::SessionControl, false, true,
                         QLatin1String(data::EndSession));
    SetActive(false, false);
    Lock();
    StoreSettings(false);
}

void TSessionController::SafePasscode1Click()
{
    if (m_engine.IsOpen())
        PromptPasscode(false);
}

void TSessionController::FullPasscode1Click()
{
    if (m_engine.IsOpen())
        PromptPasscode(true);
}

void TSessionController::Lock1Click()
{
    Lock();
}

void TSessionController::ConnectionChanged()
{
    m_active = false;
    m_device.FullAccess = false;
}

void TSessionController::SetActive(bool active, bool full)
{
    m_active = active;
    emit SessionChanged(active, full);
}

void TSessionController::tmrViewerModeTimer()
{
    if (m_active)
        m_engine.RequestKeepAlive();
}
