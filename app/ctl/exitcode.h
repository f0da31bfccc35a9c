#pragma once

#include "commsengine.h"

// What the tool's exit code tells a script: done, refused by the instrument, a bad command
// line or file, or no answer from the instrument.
enum class TExitCode
{
    Done = 0,
    Refused = 1,
    BadUsage = 2,
    NoAnswer = 3
};

namespace exitcode {

// The code for how a request ended; a request that was never sent counts as no answer.
[[nodiscard]] constexpr TExitCode For(TOutcome outcome)
{
    switch (outcome) {
    case TOutcome::Accepted:
    case TOutcome::Sent:
        return TExitCode::Done;
    case TOutcome::ErrorReply:
        return TExitCode::Refused;
    case TOutcome::Invalid:
        return TExitCode::BadUsage;
    default:
        return TExitCode::NoAnswer;
    }
}

// The more telling of two codes, for runs over several instruments: no answer outweighs a
// refusal, which outweighs success.
[[nodiscard]] constexpr TExitCode Worse(TExitCode a, TExitCode b)
{
    const auto rank = [](TExitCode code) {
        switch (code) {
        case TExitCode::Done:
            return 0;
        case TExitCode::Refused:
            return 1;
        case TExitCode::NoAnswer:
            return 2;
        default:
            return 3;
        }
    };
    return rank(a) >= rank(b) ? a : b;
}

} // namespace exitcode
