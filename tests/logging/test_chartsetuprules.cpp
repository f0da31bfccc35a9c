// Chart Setup field rules, the Auto and fit arithmetic, and the cursor read-out texts.
#include "chartsetuprules.h"
#include "cursorreadout.h"

#include "printqstring.h"

#include <gtest/gtest.h>

namespace {

using namespace chartsetuprules;

TEST(ChartSetupRulesTest, KeysThatANumberFieldAccepts)
{
    for (char16_t key : {u'0', u'5', u'9', u' ', u'+', u',', u'-', u'.', u'\b', u'\r', u'\x1b'})
        EXPECT_TRUE(AcceptsKey(QChar(key))) << int(key);
    for (char16_t key : {u'a', u'e', u'E', u'/', u'*', u'(', u'\u00b2', u'\u0660'})
        EXPECT_FALSE(AcceptsKey(QChar(key))) << int(key);
}

TEST(ChartSetupRulesTest, FieldsAreNormalisedAndRangeChecked)
{
    const struct
    {
        const char* text;
        int decimals;
        TFieldLimits limits;
        const char* normalised;
        const char* message;
    } cases[] = {
        {"12.345", 2, WeightLimits, "12.34", ""},
        {"", 2, WeightLimits, "0.00", ""},
        {"-3.1", 2, WeightLimits, "-3.10", ""},
        {"9999.99", 2, WeightLimits, "9999.99", ""},
        {"10000", 2, WeightLimits, "10000.00", "Out of Range: (-9999.99 to 9999.99)"},
        {"-10000", 2, WeightLimits, "-10000.00", "Out of Range: (-9999.99 to 9999.99)"},
        {"1000000", 0, WeightLimits, "1000000", "Out of Range: (-999999 to 999999)"},
        {"1", 6, WeightLimits, "1.000000", "Out of Range: (-0.999999 to 0.999999)"},
        {"1000", 0, TimeLimits, "1000", ""},
        {"1001", 0, TimeLimits, "1001", "Out of Range: (0 to 1000)"},
        {"12.7", 0, TimeLimits, "12", ""},
        {"-1", 0, TimeLimits, "-1", "Out of Range: (0 to 1000)"},
    };
    for (const auto& c : cases) {
        const TFieldCheck check = CheckField(QString::fromLatin1(c.text), c.decimals, c.limits);
        EXPECT_EQ(check.text, c.normalised) << c.text;
        EXPECT_EQ(check.message, c.message) << c.text;
    }
}

TEST(ChartSetupRulesTest, BoundsAreWrittenAtTheFieldsDecimals)
{
    EXPECT_EQ(LimitText(999999, 0), "999999");
    EXPECT_EQ(LimitText(-999999, 3), "-999.999");
    EXPECT_EQ(LimitText(-999999, 5), "-9.99999");
    EXPECT_EQ(LimitText(999999, 6), "0.999999");
    EXPECT_EQ(LimitText(-5, 6), "-0.000005");
}

TEST(ChartSetupRulesTest, FitAndAutoPadTheWeightByATenthOfItsSpread)
{
    const TTraceExtent extent{0.0, 30.4, 10.0, 20.0};
    const TAxisRange padded = PaddedRange(10.0, 20.0);
    EXPECT_DOUBLE_EQ(padded.min, 9.0);
    EXPECT_DOUBLE_EQ(padded.max, 21.0);
    EXPECT_EQ(FitTimeRange(extent).min, 0.0);
    EXPECT_EQ(FitTimeRange(extent).max, 30.4);
    EXPECT_DOUBLE_EQ(FitWeightRange(extent).max, 21.0);
    const TAxisRange flat = FitWeightRange(TTraceExtent{0, 1, 5.0, 5.0});
    EXPECT_EQ(flat.min, 5.0);
    EXPECT_EQ(flat.max, 5.0);

    const TAutoFields fields = AutoFields(extent, 2);
    EXPECT_EQ(fields.start, "0");
    EXPECT_EQ(fields.end, "31") << "the last point stays in view";
    EXPECT_EQ(fields.min, "9.00");
    EXPECT_EQ(fields.max, "21.00");
    const TAutoFields flatFields = AutoFields(TTraceExtent{0, 1, 5.0, 5.0}, 1);
    EXPECT_EQ(flatFields.min, "4.7") << "a flat weight gets a few divisions";
    EXPECT_EQ(flatFields.max, "5.3");
}

TEST(ChartSetupRulesTest, AutoOnAnEmptyChartFillsZeros)
{
    const TAutoFields fields = AutoFields(std::nullopt, 2);
    EXPECT_EQ(fields.start, "0");
    EXPECT_EQ(fields.end, "0");
    EXPECT_EQ(fields.min, "0.00");
    EXPECT_EQ(fields.max, "0.00");
    EXPECT_EQ(AutoFields(std::nullopt, 6).max, "0.000000");
    EXPECT_EQ(FitTimeRange(std::nullopt).max, 0.0);
}

TEST(CursorReadoutTest, FirstCursorAloneThenBothThenNone)
{
    using cursorreadout::Readout;
    using cursorreadout::TChartValue;
    const cursorreadout::TReadoutFormat kg{"kg", 2, labelformat::TimeLabelFormat()};
    const TChartValue first{3.2, 12.5};
    const TChartValue second{1.6, 11.75};
    EXPECT_EQ(Readout(first, std::nullopt, kg), "12.50 kg   at   3.2 sec");
    EXPECT_EQ(Readout(first, second, kg), "0.75 kg   over   1.6 secs");
    EXPECT_EQ(Readout(std::nullopt, second, kg), "");
    EXPECT_EQ(Readout(std::nullopt, std::nullopt, kg), "");
    const cursorreadout::TReadoutFormat lb{"lb", 0, labelformat::TimeLabelFormat()};
    EXPECT_EQ(Readout(TChartValue{12.3456, -0.0001}, std::nullopt, lb), "0 lb   at   12.35 sec");
    EXPECT_EQ(Readout(TChartValue{19.02, 449.6}, std::nullopt, lb), "450 lb   at   19.02 sec")
        << "the weight's own decimals, not the label format's extra ones";
    EXPECT_EQ(Readout(TChartValue{35.2, std::nullopt}, std::nullopt, kg),
              "no weight   at   35.2 sec");
    EXPECT_EQ(Readout(first, TChartValue{40.0, std::nullopt}, kg), "no weight   over   36.8 secs");
    EXPECT_EQ(Readout(first, std::nullopt, kg, {{"Motion", true}, {"Zero", false}}),
              "12.50 kg   at   3.2 sec   Motion 1   Zero 0");
}

} // namespace
