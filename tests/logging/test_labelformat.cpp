// Axis label formats: "at least N, at most M decimals", as the picture formats wrote them.
#include "labelformat.h"

#include "printqstring.h"

#include <gtest/gtest.h>

namespace {

using labelformat::FormatLabel;

TEST(LabelFormatTest, WeightFormatsByDecimals)
{
    const TLabelFormat expected[] = {{0, 3}, {1, 3}, {2, 3}, {3, 4}, {4, 5}, {5, 6}, {6, 7}};
    for (int d = 0; d <= 6; ++d)
        EXPECT_EQ(labelformat::LabelFormatFor(d), expected[d]) << d;
    EXPECT_EQ(labelformat::LabelFormatFor(7), (TLabelFormat{6, 7}));
    EXPECT_EQ(labelformat::LabelFormatFor(-1), (TLabelFormat{0, 3}));
    EXPECT_EQ(labelformat::TimeLabelFormat(), (TLabelFormat{0, 2}));
}

TEST(LabelFormatTest, Table)
{
    const struct
    {
        double value;
        int min;
        int max;
        const char* text;
    } cases[] = {
        {0.0, 0, 3, "0"},
        {-0.0, 0, 3, "0"},
        {1.5, 0, 3, "1.5"},
        {1.23456, 0, 3, "1.235"},
        {2.0, 2, 3, "2.00"},
        {12.5, 2, 3, "12.50"},
        {12.3456, 2, 3, "12.346"},
        {0.0005, 0, 3, "0.001"},   // halves away from zero
        {-0.0005, 0, 3, "-0.001"}, // on both sides
        {2.5, 0, 0, "3"},          // not to even
        {-0.0004, 0, 3, "0"},      // never "-0"
        {-0.0004, 2, 3, "0.00"},   // nor "-0.00"
        {9.9996, 0, 3, "10"},      // the carry reaches the whole part
        {99.99999, 1, 3, "100.0"}, // and adds a digit
        {1.0005, 0, 3, "1.001"},   // as written, though stored a hair below
        {0.30000000000000004, 0, 3, "0.3"},
        {0.1 + 0.2, 1, 3, "0.3"},
        {-1.00049, 3, 4, "-1.0005"},
        {1.0, 6, 7, "1.000000"},
        {0.12345675, 6, 7, "0.1234568"},
        {1e-20, 0, 3, "0"},
        {123456789.125, 0, 2, "123456789.13"},
        {1e16, 0, 3, "10000000000000000"},
        {-526.0, 0, 3, "-526"},
        {0.05, 0, 2, "0.05"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatLabel(c.value, c.min, c.max), QString::fromLatin1(c.text))
            << c.value << " with " << c.min << ".." << c.max;
}

TEST(LabelFormatTest, MinimumAboveMaximumIsHeldAtTheMaximum)
{
    EXPECT_EQ(FormatLabel(1.0, 4, 2), "1.00");
    EXPECT_EQ(FormatLabel(1.25, 0, -1), "1");
}

} // namespace
