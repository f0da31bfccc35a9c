#include "ctlsession.h"

#include "console.h"
#include "ctlprompts.h"
#include "hiddeninput.h"
#include "instrumentlink.h"
#include "protocol.h"

namespace {

TPasscodePrompts::Reader TerminalReader()
{
    if (!hiddeninput::StdinIsTerminal())
        return {};
    return [](const QString& prompt) { return hiddeninput::ReadLine(prompt); };
}

} // namespace

TCtlSession::TCtlSession(TCtlContext& context, bool full, std::optional<QString> passcode)
    : m_context(context), m_full(full), m_passcodes(full, std::move(passcode), TerminalReader()),
      m_controller(context.link, context.prompts, m_passcodes)
{
}

TExitCode TCtlSession::OpenLevel()
{
    return m_controller.PromptPasscode(m_full) ? TExitCode::Done : Failure(false);
}

TExitCode TCtlSession::Start()
{
    m_context.link.ResetUnanswered();
    m_controller.StartSessionClick();
    if (!m_controller.SessionActive())
        return Failure(!m_passcodes.LevelAsked());
    TSettingsTree& tree = m_controller.Tree();
    if (tree.Top() && !m_context.interrupted) {
        // How far the reading has come, on a terminal.
        const QMetaObject::Connection progress =
            QObject::connect(&m_context.link, &TInstrumentLink::JobChanged, [this] {
                if (m_context.link.JobRunning())
                    m_context.console.Progress(m_context.link.JobProgress());
            });
        tree.RunRead(*tree.Top(), TMenuReader::TScope::Below);
        QObject::disconnect(progress);
        m_context.console.EndProgress();
    }
    return m_context.interrupted ? TExitCode::Refused : TExitCode::Done;
}

void TCtlSession::End()
{
    if (!m_controller.SessionActive())
        return;
    m_controller.EndSessionClick();
    if (m_context.interrupted)
        m_context.console.Message(
            QStringLiteral("Stopped: the setup session was ended and the instrument locked."));
}

// Why the level did not open: no passcode to be had, the instrument's silence, or its
// refusal (a wrong passcode; at `identityRead`, an identity it refused or of another family,
// which the controller or the engine has reported already).
TExitCode TCtlSession::Failure(bool identityRead)
{
    if (m_passcodes.Missing()) {
        m_context.console.Message(
            QStringLiteral("A passcode is needed: give --passcode N or set Q900_PASSCODE."));
        return TExitCode::BadUsage;
    }
    if (m_passcodes.Cancelled()) {
        m_context.console.Message(QStringLiteral("No passcode was given."));
        return TExitCode::BadUsage;
    }
    const TExitCode code = exitcode::For(m_context.link.LastOutcome());
    if (code == TExitCode::NoAnswer)
        return code;
    if (identityRead)
        return code == TExitCode::Done ? TExitCode::Refused : code;
    m_context.console.Message(QStringLiteral("The instrument refused the passcode."));
    return TExitCode::Refused;
}
