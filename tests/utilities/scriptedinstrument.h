#pragma once

// An instrument the test answers for on a pseudo-terminal, with the instrument link and a
// session controller on it, for what the simulator cannot be made to do: refuse one
// particular write, answer the clock with an error, fall silent, report odd limits.
#include "instrumentlink.h"
#include "protocol.h"
#include "recordingprompts.h"
#include "recordingsessionprompts.h"
#include "scriptedline.h"
#include "sessioncontroller.h"
#include "tools.h"

#include <QElapsedTimer>
#include <QSet>

#include <gtest/gtest.h>

#include <map>
#include <utility>
#include <vector>

class ScriptedInstrument : public ::testing::Test
{
protected:
    void SetUp() override
    {
        line.answer = [this](const QString& text) { return Answer(text); };
        TPortChoice choice;
        choice.portName = line.SlavePath();
        choice.cable = TPortChoice::RS232;
        choice.address = 1;
        ASSERT_EQ(link.Open(choice), "");
        clock.start();
    }

    // Every request is answered without error, unless its register is refused; reads give
    // `values` for their command and register, or "0".
    QByteArray Answer(const QString& text)
    {
        Tcommsobj request;
        if (!request.Parse(text))
            return {};
        Tcommsobj reply = request;
        reply.ReplyBit = true;
        if (request.Command == protocol::cmd::ReadValue &&
            request.Register == protocol::reg::Clock) {
            clockReads.push_back(clock.elapsed());
            if (clockSilent)
                return {};
            reply.Data = clockText;
        } else if (request.Command != protocol::cmd::WriteValue) {
            const auto it = values.find({request.Command, request.Register});
            reply.Data = it == values.end() ? QStringLiteral("0") : it->second;
        }
        if (refused.contains(request.Register) ||
            (clockError && request.Register == protocol::reg::Clock)) {
            reply.ErrorBit = true;
            reply.Data = tools::HexText(protocol::err::OverRange, 4);
        }
        return (reply.Build() + QStringLiteral("\r\n")).toLatin1();
    }

    // The writes received, as register and data.
    std::vector<std::pair<int, QString>> Writes() const
    {
        std::vector<std::pair<int, QString>> writes;
        for (const QString& text : line.received) {
            Tcommsobj request;
            if (request.Parse(text) && request.Command == protocol::cmd::WriteValue)
                writes.emplace_back(request.Register, request.Data);
        }
        return writes;
    }
    int Count(int command, int reg) const
    {
        int n = 0;
        for (const QString& text : line.received) {
            Tcommsobj request;
            n += request.Parse(text) && request.Command == command && request.Register == reg;
        }
        return n;
    }

    ScriptedLine line;
    QSet<int> refused;
    std::map<std::pair<int, int>, QString> values;
    QString clockText = QStringLiteral("01/02/26 10:00:00");
    bool clockError = false;
    bool clockSilent = false;
    QElapsedTimer clock;
    std::vector<qint64> clockReads; // milliseconds since the start

    RecordingPrompts prompts;
    RecordingSessionPrompts sessionPrompts;
    TInstrumentLink link{prompts};
    TCommsEngine& engine = link.Engine();
    TSessionController session{link, prompts, sessionPrompts};
};
