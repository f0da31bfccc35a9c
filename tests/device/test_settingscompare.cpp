// Settings compared: each case is two settings files (as the program writes them) read into
// trees, and the lines the differences make.
#include "settingscompare.h"
#include "settingsfile.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

struct TCompareCase
{
    const char* name;
    QStringList first;
    QStringList second;
    bool calibration;
    QStringList lines; // settingscompare::Line of each difference, first "A", second "B"
};

// Named in test output by its case, not as a dump of the object's bytes.
inline void PrintTo(const TCompareCase& c, std::ostream* out)
{
    *out << c.name;
}

const QStringList kBase = {"1: FULL SETUP",      "201200F0:CAL1",     "2: BUILD",
                           "3: CAP      : 3000", "20120202:00000BB8", "3: UNITS    : kg",
                           "20120204:00000001",  "2: SETPNT",         "3: SP1",
                           "4: TYPE     : OVER", "20120232:00000001", "3: SP2",
                           "4: TYPE     : OVER", "20120239:00000001"};

// The base with line `index` replaced by `lines`.
QStringList With(int index, const QStringList& lines, int count = 1)
{
    QStringList changed = kBase;
    changed.remove(index, count);
    for (qsizetype i = lines.size() - 1; i >= 0; --i)
        changed.insert(index, lines.at(i));
    return changed;
}

class Comparisons : public ::testing::TestWithParam<TCompareCase>
{
};

} // namespace

TEST_P(Comparisons, ListEachDifferenceOnce)
{
    const TCompareCase& c = GetParam();
    const settingsfile::TSendTree first = settingsfile::FillSendTree(c.first);
    const settingsfile::TSendTree second = settingsfile::FillSendTree(c.second);
    ASSERT_TRUE(first.Ok()) << first.Error.toStdString();
    ASSERT_TRUE(second.Ok()) << second.Error.toStdString();
    const auto differences = settingscompare::Compare(
        {*first.Tree, first.Calibration()}, {*second.Tree, second.Calibration()}, c.calibration);
    QStringList lines;
    for (const TSettingDifference& difference : differences)
        lines << settingscompare::Line(difference, "A", "B");
    EXPECT_EQ(lines, c.lines);
}

INSTANTIATE_TEST_SUITE_P(
    SettingsCompare, Comparisons,
    ::testing::Values(
        TCompareCase{"Same", kBase, kBase, true, {}},
        TCompareCase{
            "SafeAgainstFullTopIsNoDifference", kBase, With(0, {"1: SAFE SETUP"}, 2), false, {}},
        TCompareCase{"ValueChanged",
                     kBase,
                     With(3, {"3: CAP      : 6000", "20120202:00001770"}, 2),
                     false,
                     {"BUILD > CAP: 3000 -> 6000"}},
        // The same caption with another value: the caption was cut short.
        TCompareCase{"CutCaptionComparedByValue",
                     With(3, {"3: P.HEAD   : Q900 SCALE FO ...", "20120225:Q900 SCALE FOUR"}, 2),
                     With(3, {"3: P.HEAD   : Q900 SCALE FO ...", "20120225:Q900 SCALE FORTY"}, 2),
                     false,
                     {"BUILD > P.HEAD: Q900 SCALE FOUR -> Q900 SCALE FORTY"}},
        // A name met twice in one menu (and in two menus) is found by its place.
        TCompareCase{"RepeatedNamesByPlace",
                     With(13, {"20120239:00000001", "4: TYPE     : OVER", "20120233:00000001"}),
                     With(13, {"20120239:00000001", "4: TYPE     : NET", "20120233:00000005"}),
                     false,
                     {"SETPNT > SP2 > TYPE: OVER -> NET"}},
        TCompareCase{"OnEitherSideOnly",
                     With(5, {"3: UNITS    : kg", "20120204:00000001"}, 2),
                     With(5, {"3: DP       : 0.00", "20120201:00000002"}, 2),
                     false,
                     {"BUILD > UNITS: only in A (kg)", "BUILD > DP: only in B (0.00)"}},
        TCompareCase{"UnreadMenuHoldsNothing",
                     kBase,
                     With(8, {"3: SP1", "4: ..."}, 3),
                     false,
                     {"SETPNT > SP1 > TYPE: only in A (OVER)"}},
        TCompareCase{"CalibrationOnlyWhenAsked", kBase, With(1, {"201200F0:CAL2"}), false, {}},
        TCompareCase{"CalibrationWhenAsked",
                     kBase,
                     With(1, {"201200F0:CAL2"}),
                     true,
                     {"Calibration: CAL1 -> CAL2"}},
        TCompareCase{
            "CalibrationOnOneSide", kBase, With(1, {}), true, {"Calibration: only in A (CAL1)"}}),
    [](const auto& info) { return std::string(info.param.name); });
