#include "ringscan.h"

#include "console.h"
#include "ctloutput.h"
#include "instrumentcommands.h"
#include "instrumentlink.h"
#include "protocol.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QStringList>

using namespace protocol;

// Short attempts, retried as the engine retries any request: a lost request must not leave
// an instrument out. Most addresses of a ring are empty: their silence is the answer, not a
// fault.
bool TRingScan::Answers(int address)
{
    m_context.link.SetAddress(address);
    const TReply reply = m_context.link.SendCommand(
        TRequest::Read(reg::SerialNumber).Quiet().Attempts(kProbeTicks, TCommsEngine::kRetries));
    m_portLost = reply.outcome == TOutcome::PortClosed;
    return reply.Answered();
}

std::vector<TRingScan::TFound> TRingScan::Find()
{
    std::vector<TFound> found;
    m_portLost = false;
    for (int address = 1; address <= flag::MaxAddress && !m_portLost && !m_context.interrupted;
         ++address) {
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
