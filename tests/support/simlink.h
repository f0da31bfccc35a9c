#pragma once

// The instrument link on the simulated instrument over a pseudo-terminal, opened as the
// program opens its port: the one way the tests talk to an instrument.
//
//     TSimLink sim;
//     sim.options.addresses = {1, 5, 7};          // before Open
//     ASSERT_EQ(sim.Open(5, TPortChoice::RS232Ring), "");
//     sim.link->SendCommand(TRequest::Read(protocol::reg::SerialNumber));
//     sim.Count(protocol::cmd::ReadValue, protocol::reg::SerialNumber);
#include "instrumentlink.h"
#include "protocol.h"
#include "recordingprompts.h"
#include "simpty.h"

#include <memory>
#include <vector>

class TSimLink
{
public:
    TSimOptions options;
    RecordingPrompts prompts;
    // The simulator outlives the link.
    std::unique_ptr<TSimPty> sim;
    std::unique_ptr<TInstrumentLink> link;

    // Starts the simulator and opens the link to `address` over `cable`, clocked by `ticks`
    // (none: the link's own timer); the error text, or empty.
    QString Open(int address = 1, int cable = TPortChoice::RS232, TTickSource* ticks = nullptr)
    {
        sim = std::make_unique<TSimPty>(options);
        QString error;
        if (!sim->Open(&m_path, &error))
            return error;
        link = std::make_unique<TInstrumentLink>(prompts, ticks);
        return link->Open(Choice(address, cable));
    }
    // The port choice of the simulator's line, as the port dialog would hand it over.
    [[nodiscard]] TPortChoice Choice(int address = 1, int cable = TPortChoice::RS232) const
    {
        TPortChoice choice;
        choice.portName = m_path;
        choice.cable = cable;
        choice.address = address;
        return choice;
    }
    [[nodiscard]] QString Path() const { return m_path; }

    TCommsEngine& Engine() { return link->Engine(); }
    TDevice& Device() { return link->Device(); }
    TSimInstrument& Instrument(int address = 0) { return sim->Instrument(address); }

    // The requests the instrument received since the log was last cleared.
    std::vector<Tcommsobj> Requests() const { return sim->Line().ReceivedRequests(); }
    // Their texts as received, unparsed.
    QStringList RequestTexts() const
    {
        QStringList seen;
        for (const auto& e : sim->Line().Log().Entries())
            if (e.direction == TTrafficLog::Received)
                seen << e.text;
        return seen;
    }
    int Count(int command, int reg = -1) const
    {
        int n = 0;
        for (const Tcommsobj& r : Requests())
            n += r.Command == command && (reg < 0 || r.Register == reg);
        return n;
    }
    int CountWrites(int reg, const QString& data) const
    {
        int n = 0;
        for (const Tcommsobj& r : Requests())
            n += r.Command == protocol::cmd::WriteValue && r.Register == reg && r.Data == data;
        return n;
    }
    void ClearLog() { sim->Line().Log().Clear(); }

private:
    QString m_path;
};
