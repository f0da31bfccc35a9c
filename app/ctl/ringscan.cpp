#include "ringscan.h"

#include "console.h"
#include "ctllink.h"
#include "ctloutput.h"
#include "instrumentcommands.h"
#include "protocol.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QStringList>

using namespace protocol;

namespace {

// The engine's short attempts for as long as a scope lasts, the usual ones back after.
class TShortAttempts
{
public:
    explicit TShortAttempts(TCommsEngine& engine) : m_engine(engine)
    {
        m_engine.SetAttempts(TRingScan::kProbeTicks, 0);
    }
    ~TShortAttempts() { m_engine.SetAttempts(0, 0); }
    TShortAttempts(const TShortAttempts&) = delete;
    TShortAttempts& operator=(const TShortAttempts&) = delete;

private:
    TCommsEngine& m_engine;
};

} // namespace

bool TRingScan::Answers(int address)
{
    TCommsEngine& engine = m_context.link.Engine();
    m_context.link.SetAddress(address);
    const TShortAttempts quick(engine);
    // Most addresses of a ring are empty: their silence is the answer, not a fault.
    engine.HoldNoResponseMessages();
    const TOutcome outcome =
        engine.SendCommand(cmd::ReadValue, reg::SerialNumber, false, true).outcome;
    m_portLost = outcome == TOutcome::PortClosed;
    return outcome == TOutcome::Accepted || outcome == TOutcome::ErrorReply;
}

std::vector<TRingScan::TFound> TRingScan::Find()
{
    std::vector<TFound> found;
    m_portLost = false;
    for (int address = 1; address <= flag::MaxAddress && !m_portLost; ++address) {
        m_context.console.Progress(QStringLiteral("Scanning address %1 of %2, %3 found")
                                       .arg(QString::number(address),
                                            QString::number(flag::MaxAddress),
                                            QString::number(found.size())));
        if (!Answers(address))
            continue;
        TDevice& device = m_context.link.Device();
        device.ReadIdentity();
        found.push_back({address, device.SerialNumber,
                         TInstrumentCommands::IdentityJson(device, address),
                         TInstrumentCommands::IdentityLine(device, address)});
    }
    m_context.console.EndProgress();
    return found;
}

TExitCode TRingScan::Run()
{
    QElapsedTimer clock;
    clock.start();
    const std::vector<TFound> found = Find();
    if (m_portLost)
        return TExitCode::NoAnswer;
    if (found.empty()) {
        m_context.console.Message(QStringLiteral("No instrument answered at any address."));
        return TExitCode::NoAnswer;
    }
    QJsonArray instruments;
    QStringList lines;
    for (const TFound& instrument : found) {
        instruments.append(instrument.identity);
        lines << instrument.line;
    }
    const double seconds = static_cast<double>(clock.elapsed()) / 1000.0;
    m_context.output.Print(
        {{QStringLiteral("instruments"), instruments}, {QStringLiteral("seconds"), seconds}},
        lines.join(u'\n'));
    return TExitCode::Done;
}
