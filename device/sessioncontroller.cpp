#include "sessioncontroller.h"

#include "instrumentlink.h"
#include "protocol.h"
#include "sessionprompts.h"
#include "ticksource.h"
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

} // namespace

TSessionController::TSessionController(TInstrumentLink& link, IUserPrompts& prompts,
                                       ISessionPrompts& sessionPrompts, QObject* parent)
    : QObject(parent), m_link(link), m_device(link.Device()), m_prompts(prompts),
      m_sessionPrompts(sessionPrompts), m_tree(link, *this)
{
}

void TSessionController::SetKeepAliveInterval(int ms)
{
    m_link.SetKeepAliveTicks(ms / TTickSource::kTickMs);
}

// A request the instrument never answered says nothing about its passcode: asking the user
// again would only send more into silence.
bool TSessionController::PromptPasscode(bool full)
{
    const int reg = full ? reg::FullPasscode : reg::SafePasscode;
    const TReply open = m_link.SendCommand(TRequest::Read(reg));
    if (open.Ok())
        return true;
    if (open.Silent())
        return false;
    for (TPasscodeQuestion question{full};; question.again = true) {
        const std::optional<QString> typed = m_sessionPrompts.AskPasscode(question);
        if (!typed)
            return false;
        const auto code = static_cast<uint32_t>(tools::DigitsToInt(*typed));
        const TReply write = m_link.SendCommand(TRequest::Write(reg, tools::HexText(code)));
        if (write.Silent())
            return false;
        if (write.Ok() && m_link.SendCommand(TRequest::Read(reg)).Ok())
            return true;
    }
}

void TSessionController::Lock()
{
    const std::pair<int, int> levels[] = {{reg::StoredFullPasscode, reg::FullPasscode},
                                          {reg::StoredSafePasscode, reg::SafePasscode}};
    for (const auto& [stored, entry] : levels) {
        const TReply read = m_link.SendCommand(TRequest::Read(stored));
        if (read.Silent() || read.HasError(err::AccessDenied))
            continue;
        // Any passcode but the stored one closes the level.
        const uint32_t wrong = read.Value() ^ 0xFF;
        m_link.SendCommand(TRequest::Write(entry, tools::HexText(wrong, 4)));
    }
}

TReply TSessionController::StoreSettings(bool keepPasscodes)
{
    TBusyScope busy(m_sessionPrompts);
    QString full;
    QString safe;
    if (keepPasscodes) {
        if (const TReply read = m_link.SendCommand(TRequest::Read(reg::StoredFullPasscode)))
            full = tools::HexText(read.Value());
        if (const TReply read = m_link.SendCommand(TRequest::Read(reg::StoredSafePasscode)))
            safe = tools::HexText(read.Value());
    }
    const TReply stored = m_link.SendCommand(TRequest::Execute(reg::StoreSettings));
    if (stored.Ok()) {
        emit Stored();
        // The instrument restarts its setup while it stores: give it time to answer again,
        // without telling the user about the silence.
        for (int i = 0; i < 3; ++i)
            m_link.SendCommand(TRequest::Read(reg::SerialNumber).Quiet());
    }
    if (!safe.isEmpty())
        m_link.SendCommand(TRequest::Write(reg::SafePasscode, safe));
    if (!full.isEmpty())
        m_link.SendCommand(TRequest::Write(reg::FullPasscode, full));
    emit IdentityRead();
    return stored;
}

TReply TSessionController::LockAndStore()
{
    {
        TBusyScope busy(m_sessionPrompts);
        Lock();
    }
    return StoreSettings(false);
}

QString TSessionController::StoreFailure(const TReply& store)
{
    if (store.Ok())
        return {};
    if (store.outcome == TOutcome::ErrorReply)
        return QStringLiteral("The instrument could not store its settings:%1; they are lost "
                              "when it is switched off.")
            .arg(store.record.ErrorText().trimmed().prepend(u' '));
    return QStringLiteral("The instrument did not answer when told to store its settings; "
                          "they may be lost when it is switched off.");
}

void TSessionController::LockUnlessInSession()
{
    if (!m_active)
        Lock();
}

bool TSessionController::CheckCommsVersion()
{
    m_device.ReadIdentity();
    emit IdentityRead();
    if (m_device.CommsVersion.size() >= 2 && m_device.CommsVersion.at(1) == u'2')
        return true;
    // An instrument that did not answer, or a link that went away, is no unknown instrument:
    // the engine or the connection has told the user already.
    const TOutcome last = m_device.LastOutcome();
    if (!m_link.IsOpen() || last == TOutcome::NoReply || last == TOutcome::PortClosed)
        return false;
    m_prompts.Inform(QStringLiteral("Unknown Instrument Communications"));
    return false;
}

void TSessionController::StartSessionClick()
{
    emit SessionStarting();
    m_device.LinPointCount = 0;
    m_device.ReadingMenu = 0;
    if (!m_link.IsOpen() || !CheckCommsVersion())
        return;
    const std::optional<bool> full = m_sessionPrompts.AskSetupLevel();
    if (!full || !PromptPasscode(*full))
        return;
    TBusyScope busy(m_sessionPrompts);
    m_device.FullAccess = *full;
    m_tree.Build(*full);
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
    m_link.EndJob([this] { EndSession(); });
}

void TSessionController::EndSession()
{
    m_tree.Clear();
    emit SessionEnded();
    if (!m_link.IsOpen())
        return;
    m_link.SendCommand(TRequest::Write(reg::SessionControl, QLatin1String(data::EndSession)));
    SetActive(false, false);
    Lock();
    StoreSettings(false);
}

void TSessionController::SafePasscode1Click()
{
    if (m_link.IsOpen())
        PromptPasscode(false);
}

void TSessionController::FullPasscode1Click()
{
    if (m_link.IsOpen())
        PromptPasscode(true);
}

void TSessionController::Lock1Click()
{
    Lock();
}

void TSessionController::ConnectionChanged()
{
    m_active = false;
    m_full = false;
    m_link.SetKeepAlive(false);
    m_device.FullAccess = false;
}

void TSessionController::SetActive(bool active, bool full)
{
    m_active = active;
    m_full = active && full;
    m_link.SetKeepAlive(active);
    emit SessionChanged(active, full);
}
