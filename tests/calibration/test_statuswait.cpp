// The calibration status wait, against scripted status readings: how many readings end it,
// what ends it early, and how a cancel given during a pause stops it.
#include "statuswait.h"

#include "protocol.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <optional>

namespace {

constexpr uint32_t kBusy = protocol::status::CalibrationBusy;

// Readings from a script (none: a failed read); the last one repeats once the script ends.
struct ScriptedInstrument
{
    std::deque<std::optional<uint32_t>> script;
    std::optional<uint32_t> last;
    int ticks = 0;
    // Runs at each tick, before the wait's step, as events handled meanwhile would.
    std::function<void()> duringPause;

    // Steps the wait tick by tick, as the link does, to its end.
    TStatusWait::TEnd Run(TStatusWait& wait)
    {
        do {
            ++ticks;
            if (duringPause)
                duringPause();
        } while (wait.Step() == ILinkJob::TStep::More);
        return *wait.End();
    }
    TStatusWait::Read Read()
    {
        return [this] {
            if (!script.empty()) {
                last = script.front();
                script.pop_front();
            }
            return last;
        };
    }
};

} // namespace

TEST(StatusWait, TwoBusyThenFiveQuietReadingsMakeSevenReads)
{
    ScriptedInstrument instrument;
    instrument.script = {kBusy, kBusy, 0u};
    TStatusWait wait(instrument.Read());
    std::vector<int> left;
    QObject::connect(&wait, &TStatusWait::StatusRead,
                     [&](uint32_t, bool, int readingsLeft) { left.push_back(readingsLeft); });
    EXPECT_EQ(instrument.Run(wait), TStatusWait::TEnd::Finished);
    EXPECT_EQ(wait.Reads(), 7);
    EXPECT_EQ(left, (std::vector<int>{5, 5, 4, 3, 2, 1, 0}));
    EXPECT_EQ(instrument.ticks, 7 * TStatusWait::kPauseTicks) << "half a second before each";
}

TEST(StatusWait, BusyInBetweenStartsTheCountAgain)
{
    ScriptedInstrument instrument;
    instrument.script = {0u, 0u, 0u, 0u, kBusy, 0u};
    TStatusWait wait(instrument.Read());
    EXPECT_EQ(instrument.Run(wait), TStatusWait::TEnd::Finished);
    EXPECT_EQ(wait.Reads(), 10);
}

TEST(StatusWait, AResultCodeEndsItAtOnce)
{
    for (const uint32_t status : {0x0003u, 0x000Cu, kBusy | 0x0001u}) {
        ScriptedInstrument instrument;
        instrument.script = {status, 0u};
        TStatusWait wait(instrument.Read());
        EXPECT_EQ(instrument.Run(wait), TStatusWait::TEnd::ResultCode) << status;
        EXPECT_EQ(wait.Reads(), 1);
        EXPECT_EQ(wait.LastStatus(), status);
    }
}

TEST(StatusWait, AFailedReadEndsIt)
{
    ScriptedInstrument instrument;
    instrument.script = {kBusy, std::nullopt};
    TStatusWait wait(instrument.Read());
    EXPECT_EQ(instrument.Run(wait), TStatusWait::TEnd::ReadFailed);
    EXPECT_EQ(wait.Reads(), 2);
}

// The instrument never leaves the busy state: only the user ends the wait, within a tick of
// asking, and nothing more is read after that.
TEST(StatusWait, CancelDuringAPauseEndsAnEndlessBusyWithinATick)
{
    ScriptedInstrument instrument;
    instrument.script = {kBusy};
    TStatusWait wait(instrument.Read());
    int ticksAtCancel = -1;
    instrument.duringPause = [&] {
        if (wait.Reads() == 20 && ticksAtCancel < 0) {
            ticksAtCancel = instrument.ticks;
            wait.Cancel();
        }
    };
    EXPECT_EQ(instrument.Run(wait), TStatusWait::TEnd::Cancelled);
    EXPECT_EQ(wait.Reads(), 20);
    EXPECT_EQ(instrument.ticks, ticksAtCancel);
    EXPECT_TRUE(wait.Cancelled());
}
