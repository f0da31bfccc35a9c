#include "tools.h"

#include <QLocale>

#include <clocale>
#include <gtest/gtest.h>

using namespace tools;

TEST(Tools, HexToIntSkipsBlanksResetsOnJunkAndWraps)
{
    EXPECT_EQ(HexToInt(""), 0u);
    EXPECT_EQ(HexToInt("1G2"), 2u);
    EXPECT_EQ(HexToInt("FFFFFFFF1"), 0xFFFFFFF1u);
    EXPECT_EQ(HexToInt(" 0a"), 10u);
    EXPECT_EQ(HexToInt("fFfFfFfF"), 0xFFFFFFFFu);
}

TEST(Tools, DigitsToIntDropsPointAndHonoursMinusAnywhere)
{
    EXPECT_EQ(DigitsToInt("-12.5"), -125);
    EXPECT_EQ(DigitsToInt("1-2"), -12);
    EXPECT_EQ(DigitsToInt("abc"), 0);
    EXPECT_EQ(DigitsToInt("+1,234.5"), 12345);
    EXPECT_EQ(DigitsToInt(""), 0);
}

TEST(Tools, IntToFixedIsExact)
{
    EXPECT_EQ(IntToFixed(12345, 2), "123.45");
    EXPECT_EQ(IntToFixed(-5, 1), "-0.5");
    EXPECT_EQ(IntToFixed(7, 3), "0.007");
    EXPECT_EQ(IntToFixed(7, 6), "");
    EXPECT_EQ(IntToFixed(7, -1), "");
    EXPECT_EQ(IntToFixed(-42, 0), "-42");
    EXPECT_EQ(IntToFixed(0, 2), "0.00");
    EXPECT_EQ(IntToFixed(1005, 3), "1.005");
    EXPECT_EQ(IntToFixed(INT32_MIN, 5), "-21474.83648");
}

TEST(Tools, FixDecimalsCutsAndPads)
{
    EXPECT_EQ(FixDecimals("5", 2), "5.00");
    EXPECT_EQ(FixDecimals(".5", 3), "0.500");
    EXPECT_EQ(FixDecimals("1.2345", 2), "1.23");
    EXPECT_EQ(FixDecimals("", 2), "0.00");
    EXPECT_EQ(FixDecimals("12", 0), "12");
    EXPECT_EQ(FixDecimals("12.9", 0), "12");
    EXPECT_EQ(FixDecimals("-3.1", 2), "-3.10");
}

TEST(Tools, FloatAndFixedTexts)
{
    EXPECT_EQ(FloatToFixed(0, 2.6), "3");
    EXPECT_EQ(FloatToFixed(0, 2.5), "2") << "halves to even";
    EXPECT_EQ(FloatToFixed(0, 3.5), "4");
    EXPECT_EQ(FloatToFixed(0, -2.5), "-2");
    EXPECT_EQ(FloatToFixed(2, -1.5), "-1.50");
    EXPECT_EQ(FloatToFixed(6, 1.0), "");
    EXPECT_DOUBLE_EQ(FixedToFloat("-1.50"), -1.5);
    EXPECT_DOUBLE_EQ(FixedToFloat("1 kg"), 0.0);
    EXPECT_DOUBLE_EQ(FixedToFloat(""), 0.0);
    EXPECT_DOUBLE_EQ(FixedToFloat("2."), 2.0);
    EXPECT_DOUBLE_EQ(FixedToFloat("1.2.3"), 12.3);
}

TEST(Tools, FieldAtCountsFromOne)
{
    EXPECT_EQ(FieldAt("a;b;c", 2, ';'), "b");
    EXPECT_EQ(FieldAt("a;b;c", 3, ';'), "c");
    EXPECT_EQ(FieldAt("a;b", 4, ';'), "");
    EXPECT_EQ(FieldAt("a;;c", 2, ';'), "");
    EXPECT_EQ(FieldAt("a;;c", 3, ';'), "c");
    EXPECT_EQ(FieldAt("a;b", 0, ';'), "");
    EXPECT_EQ(FieldAt("a;b;", 3, ';'), "");
}

TEST(Tools, DecimalPlacesIgnoresUnits)
{
    EXPECT_EQ(DecimalPlaces("12.345 kg"), 3);
    EXPECT_EQ(DecimalPlaces("120 kg"), 0);
    EXPECT_EQ(DecimalPlaces("0.5"), 1);
    EXPECT_EQ(DecimalPlaces("."), 0);
    EXPECT_EQ(DecimalPlaces("-"), 0);
    EXPECT_EQ(DecimalPlaces(""), 0);
    EXPECT_EQ(DecimalPlaces("  -1.20 t"), 2);
}

TEST(Tools, PadRightAndReplaceAfter)
{
    EXPECT_EQ(PadRight("abc", 8), "abc     ");
    EXPECT_EQ(PadRight("abcdefghij", 8), "abcdefghij");
    const QString sep = " - ";
    EXPECT_EQ(ReplaceAfter("ViewQ900 - Address:3", sep, "Address:Any"), "ViewQ900 - Address:Any");
    EXPECT_EQ(ReplaceAfter("ViewQ900 - Address:3", sep, ""), "ViewQ900");
    EXPECT_EQ(ReplaceAfter("ViewQ900", sep, "Address:7"), "ViewQ900 - Address:7");
    EXPECT_EQ(ReplaceAfter("ViewQ900", sep, ""), "ViewQ900");
}

// The helpers must read and write "." whatever locale the user runs under.
TEST(Tools, LocaleIndependentUnderGermanLocale)
{
    const char* set = std::setlocale(LC_ALL, "de_DE.UTF-8");
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    if (set) {
        EXPECT_EQ(std::localeconv()->decimal_point[0], ',') << "German locale is active";
    }
    EXPECT_EQ(IntToFixed(12345, 2), "123.45");
    EXPECT_EQ(FloatToFixed(3, 1.5), "1.500");
    EXPECT_DOUBLE_EQ(FixedToFloat("1.25"), 1.25);
    EXPECT_DOUBLE_EQ(FixedToFloat("1,25"), 0.0) << "a comma is no decimal separator";
    EXPECT_EQ(DigitsToInt("1,25"), 125);
    EXPECT_EQ(FixDecimals("2,5", 1), "2,5.0");
    std::setlocale(LC_ALL, "C");
    QLocale::setDefault(QLocale::c());
    EXPECT_NE(set, nullptr) << "de_DE.UTF-8 must be installed (scripts/install-deps does it)";
}
