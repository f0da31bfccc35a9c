#pragma once

#include "comms.h"

#include <QString>

// How a request ended.
enum class TOutcome
{
    Accepted,   // a reply without error came
    Sent,       // written without waiting for a reply
    ErrorReply, // the instrument answered with an error reply
    NoReply,    // every attempt timed out, or the port went away meanwhile
    Refused,    // another request was under way: nothing was sent
    Cancelled,  // the job it belonged to was ended: nothing was sent
    Invalid,    // the request is not a message: nothing was sent
    PortClosed  // nothing was sent
};

// How long each attempt of a request waits: a command of the program's own waits 10 ticks,
// a read of the instrument model 5; only the model's clean replies re-arm the long
// no-response message.
enum class TPace
{
    Command,
    Model
};

// One request to the instrument at the link's address: what to ask, how its attempts are
// timed, and whether the user hears of its error reply or of its silence.
struct TRequest
{
    int command = 0;
    int reg = 0;
    QString data;
    bool wait = true;          // false: written, not waited for
    bool reportErrors = false; // an error reply is shown to the user
    bool quiet = false;        // its silence shows no "not responding" message
    TPace pace = TPace::Command;
    int attemptTicks = 0; // 0: the pace's own
    int retries = -1;     // attempts after the first; -1: the engine's own

    [[nodiscard]] static TRequest Of(int command, int reg, const QString& data = {})
    {
        TRequest request;
        request.command = command;
        request.reg = reg;
        request.data = data;
        return request;
    }
    [[nodiscard]] static TRequest Read(int reg);
    [[nodiscard]] static TRequest Write(int reg, const QString& data);
    [[nodiscard]] static TRequest Execute(int reg, const QString& data = {});
    // The setup session's keep-alive.
    [[nodiscard]] static TRequest KeepAlive();

    TRequest& Reporting()
    {
        reportErrors = true;
        return *this;
    }
    TRequest& NoWait()
    {
        wait = false;
        return *this;
    }
    TRequest& Quiet()
    {
        quiet = true;
        return *this;
    }
    TRequest& ForModel()
    {
        pace = TPace::Model;
        return *this;
    }
    TRequest& Attempts(int ticks, int retriesAfterFirst)
    {
        attemptTicks = ticks;
        retries = retriesAfterFirst;
        return *this;
    }
};

// What came of a request: its outcome and, when the instrument answered, its reply.
struct TReply
{
    TOutcome outcome = TOutcome::PortClosed;
    Tcommsobj record; // the reply, an error reply too; cleared when none came

    [[nodiscard]] bool Ok() const
    {
        return outcome == TOutcome::Accepted || outcome == TOutcome::Sent;
    }
    explicit operator bool() const { return Ok(); }
    // The instrument answered, with an error or not.
    [[nodiscard]] bool Answered() const
    {
        return outcome == TOutcome::Accepted || outcome == TOutcome::ErrorReply;
    }
    // Nothing came back and nothing can be said of the instrument.
    [[nodiscard]] bool Silent() const
    {
        return outcome == TOutcome::NoReply || outcome == TOutcome::PortClosed ||
               outcome == TOutcome::Refused || outcome == TOutcome::Cancelled;
    }
    [[nodiscard]] uint32_t Value() const { return record.Value; }
    [[nodiscard]] const QString& Data() const { return record.Data; }
    // An error reply carrying this error bit.
    [[nodiscard]] bool HasError(uint32_t bit) const
    {
        return outcome == TOutcome::ErrorReply && record.HasError(bit);
    }
};

// Whatever sends requests one at a time and hands back their replies: the comms engine, the
// instrument link in front of it, or a test's scripted instrument.
class IRequester
{
public:
    virtual ~IRequester() = default;
    virtual TReply SendCommand(const TRequest& request) = 0;
};
