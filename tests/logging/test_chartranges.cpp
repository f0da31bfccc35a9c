// The flat-range rule: a weight that hardly moves gets an axis of a few whole display
// divisions with room above and below, and labels that tell its divisions apart.
#include "chartranges.h"
#include "labelformat.h"

#include "printqstring.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <set>

namespace {

struct TRangeCase
{
    const char* what;
    TAxisRange trace;
    double division;
    TAxisRange axis;
};

// Named in test output by its case.
inline void PrintTo(const TRangeCase& c, std::ostream* out)
{
    *out << c.what;
}

class ReadableRange : public ::testing::TestWithParam<TRangeCase>
{
};

TEST_P(ReadableRange, WidensOnlyWhatIsTooNarrowToRead)
{
    const TRangeCase& c = GetParam();
    const TAxisRange axis = chartranges::Readable(c.trace, c.division);
    EXPECT_NEAR(axis.min, c.axis.min, 1e-9);
    EXPECT_NEAR(axis.max, c.axis.max, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadableRange,
    ::testing::Values(TRangeCase{"empty scale, 1 decimal", {0, 0}, 0.1, {-0.3, 0.3}},
                      TRangeCase{"450 kg held, whole kg", {450, 450}, 1, {447, 453}},
                      TRangeCase{"below zero", {-2.5, -2.5}, 0.1, {-2.8, -2.2}},
                      TRangeCase{"one division of flicker", {0.3, 0.4}, 0.1, {0.1, 0.7}},
                      TRangeCase{"between two divisions", {0.25, 0.25}, 0.1, {0.0, 0.6}},
                      TRangeCase{"a quotient a hair under whole", {0.7, 0.7}, 0.1, {0.4, 1.0}},
                      TRangeCase{
                          "five divisions keep one free each side", {0, 0.5}, 0.1, {-0.1, 0.6}},
                      TRangeCase{"two decimals", {12.34, 12.34}, 0.01, {12.31, 12.37}},
                      TRangeCase{"six divisions are left alone", {0, 0.6}, 0.1, {0, 0.6}},
                      TRangeCase{"a moving weight is left alone", {10, 500}, 1, {10, 500}},
                      TRangeCase{"no division known", {5, 5}, 0, {5, 5}}));

TEST(ReadableRangeLabels, AFlatTracesAxisHasDistinctLabelsAtEveryDecimals)
{
    for (int decimals = 0; decimals <= 6; ++decimals) {
        const double division = chartranges::DivisionFor(decimals);
        const double weight = 123.0 + 3 * division;
        const TAxisRange axis = chartranges::Readable({weight, weight}, division);
        const int steps = int(std::lround((axis.max - axis.min) / division));
        EXPECT_GE(steps, chartranges::FlatDivisions) << decimals << " decimals";
        EXPECT_LT(axis.min, weight);
        EXPECT_GT(axis.max, weight);
        std::set<QString> labels;
        for (int i = 0; i <= steps; ++i)
            labels.insert(labelformat::FormatLabel(axis.min + i * division,
                                                   labelformat::LabelFormatFor(decimals)));
        EXPECT_EQ(labels.size(), size_t(steps + 1)) << decimals << " decimals";
    }
}

} // namespace
