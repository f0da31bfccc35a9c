// The value a trace shows at a time, as the chart draws it (lines for the weight, steps for
// the digital channels), and the stepping of a cursor from point to point.
#include "tracereading.h"
#include "tracestore.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

using tracereading::TShape;

// Trace 0: three points; trace 1: none; trace 2: one; trace 3: two points at the same time.
TTraceStore Store()
{
    TTraceStore store;
    store.traces[0] = {{1.0, 10.0}, {2.0, 20.0}, {4.0, 0.0}};
    store.traces[2] = {{5.0, 7.0}};
    store.traces[3] = {{1.0, 1.0}, {2.0, 2.0}, {2.0, 3.0}, {3.0, 5.0}};
    return store;
}

struct TValueCase
{
    const char* what;
    int trace;
    double time;
    TShape shape;
    double tolerance;
    std::optional<double> value;
};

// Named in test output by its case.
inline void PrintTo(const TValueCase& c, std::ostream* out)
{
    *out << c.what;
}

class ValueAtATime : public ::testing::TestWithParam<TValueCase>
{
};

TEST_P(ValueAtATime, ReadsWhatTheChartDraws)
{
    const TValueCase& c = GetParam();
    const std::optional<double> value =
        tracereading::ValueAt(Store(), c.trace, c.time, c.shape, c.tolerance);
    ASSERT_EQ(value.has_value(), c.value.has_value());
    if (value) {
        EXPECT_NEAR(*value, *c.value, 1e-12);
    }
}

constexpr auto kLine = TShape::Line;
constexpr auto kSteps = TShape::Steps;
constexpr std::optional<double> kNone;

INSTANTIATE_TEST_SUITE_P(
    Cases, ValueAtATime,
    ::testing::Values(TValueCase{"line before the first point", 0, 0.5, kLine, 0, kNone},
                      TValueCase{"steps before the first point", 0, 0.5, kSteps, 0, kNone},
                      TValueCase{"before the first within the tolerance", 0, 0.9, kLine, 0.1, 10},
                      TValueCase{"at the first point", 0, 1.0, kLine, 0, 10},
                      TValueCase{"line halfway", 0, 1.5, kLine, 0, 15},
                      TValueCase{"line a quarter of a longer span", 0, 2.5, kLine, 0, 15},
                      TValueCase{"steps hold the earlier value", 0, 2.5, kSteps, 0, 20},
                      TValueCase{"steps just before a point", 0, 1.999, kSteps, 0, 10},
                      TValueCase{"at a point of a line", 0, 2.0, kLine, 0, 20},
                      TValueCase{"at the last point", 0, 4.0, kLine, 0, 0},
                      TValueCase{"steps at the last point", 0, 4.0, kSteps, 0, 0},
                      TValueCase{"line after the last point", 0, 4.01, kLine, 0, kNone},
                      TValueCase{"steps after the last point", 0, 30.0, kSteps, 0, kNone},
                      TValueCase{"after the last within the tolerance", 0, 4.05, kLine, 0.1, 0},
                      TValueCase{"a trace without points", 1, 1.0, kLine, 1.0, kNone},
                      TValueCase{"a single point", 2, 5.0, kLine, 0, 7},
                      TValueCase{"beside a single point", 2, 5.5, kSteps, 0, kNone},
                      TValueCase{"two points at one time: the later", 3, 2.0, kSteps, 0, 3},
                      TValueCase{"line on from the later of two", 3, 2.5, kLine, 0, 4}));

TEST(StepTime, MovesFromTheNearestPointAndStopsAtTheEnds)
{
    const TTraceStore store = Store();
    const struct
    {
        double from;
        int steps;
        std::optional<double> time;
    } cases[] = {
        {2.9, 1, 4.0},  // nearest is 2.0
        {3.1, 0, 4.0},  // nearest is 4.0
        {3.0, -1, 1.0}, // halfway: the earlier one
        {0.0, 0, 1.0},  {0.0, -1, 1.0}, {9.0, 5, 4.0}, {9.0, -2, 1.0}, {1.0, 1, 2.0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(tracereading::StepTime(store, 0, c.from, c.steps), c.time)
            << c.from << " by " << c.steps;
    EXPECT_EQ(tracereading::StepTime(store, 1, 1.0, 1), std::nullopt);
}

} // namespace
