// The clock writes: which register gets which field, in which order, in which notation.
#include "clockwrites.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace {

using TWrites = std::vector<std::pair<int, std::string>>;

struct TClockCase
{
    QDateTime time;
    TWrites writes; // register and data, in the order sent
};

// Named in test output by its time, not as a dump of the object's bytes.
inline void PrintTo(const TClockCase& c, std::ostream* out)
{
    *out << c.time.toString(Qt::ISODate).toStdString();
}

class ClockWrites : public ::testing::TestWithParam<TClockCase>
{
};

TEST_P(ClockWrites, YearMonthDayHourMinuteInUpperCaseHexWithoutSeconds)
{
    TWrites seen;
    for (const auto& w : clockwrites::For(GetParam().time))
        seen.emplace_back(w.reg, w.data.toStdString());
    EXPECT_EQ(seen, GetParam().writes);
}

// The registers are written out as numbers: the instrument's, not our names for them.
INSTANTIATE_TEST_SUITE_P(
    Times, ClockWrites,
    ::testing::Values(
        TClockCase{QDateTime(QDate(2026, 12, 6), QTime(23, 27, 39)),
                   {{0x0154, "7EA"}, {0x0153, "C"}, {0x0152, "6"}, {0x0155, "17"}, {0x0156, "1B"}}},
        TClockCase{QDateTime(QDate(2026, 3, 9), QTime(8, 45, 59, 999)),
                   {{0x0154, "7EA"}, {0x0153, "3"}, {0x0152, "9"}, {0x0155, "8"}, {0x0156, "2D"}}},
        TClockCase{QDateTime(QDate(2000, 1, 1), QTime(0, 0, 0)),
                   {{0x0154, "7D0"}, {0x0153, "1"}, {0x0152, "1"}, {0x0155, "0"}, {0x0156, "0"}}},
        TClockCase{
            QDateTime(QDate(2099, 10, 31), QTime(15, 59, 0)),
            {{0x0154, "833"}, {0x0153, "A"}, {0x0152, "1F"}, {0x0155, "F"}, {0x0156, "3B"}}}));

} // namespace
