#pragma once

#include "ctlcontext.h"
#include "exitcode.h"

#include <QJsonObject>
#include <QString>

#include <vector>

// Looks for the instruments on the line: every address 1..31 is asked for its serial number
// with a short time-out and the usual retries, and each one that answers has its identity
// read.
class TRingScan
{
public:
    // 100..200 ms: a ring's reply at 2400 baud is back well within it.
    static constexpr int kProbeTicks = 2;

    struct TFound
    {
        int address = 0;
        QString serialNumber;
        QJsonObject identity;
        QString line;
    };

    explicit TRingScan(TCtlContext& context) : m_context(context) {}

    // The instruments that answered, by address; the link is left at the last address tried.
    [[nodiscard]] std::vector<TFound> Find();
    // True when the port went away during the last Find().
    [[nodiscard]] bool PortLost() const { return m_portLost; }
    // The scan command: the list, with a progress line on a terminal.
    [[nodiscard]] TExitCode Run();

private:
    [[nodiscard]] bool Answers(int address);

    TCtlContext& m_context;
    bool m_portLost = false;
};
