#include "chart/FormatDateTime.h"
#include "chart/FormatFloat.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <ostream>

namespace varnolux {
namespace {

struct NumberCase {
    double Value;
    const char* Pattern;
    const char* Separator;
    const char* Expected;
};

void PrintTo(const NumberCase& c, std::ostream* out)
{
    *out << c.Value << " as \"" << c.Pattern << "\"";
}

class FormatFloatTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(FormatFloatTest, WritesThePattern)
{
    const NumberCase& c = GetParam();
    EXPECT_EQ(FormatFloat(c.Value, c.Pattern, c.Separator), c.Expected)
        << c.Value << " with \"" << c.Pattern << "\"";
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, FormatFloatTest,
    ::testing::Values(
        // The plot's default label pattern.
        NumberCase{0.0, "###0.##", ".", "0"}, NumberCase{2.5, "###0.##", ".", "2.5"},
        NumberCase{1000.0, "###0.##", ".", "1000"},
        NumberCase{12345.678, "###0.##", ".", "12345.68"}, NumberCase{-3.0, "###0.##", ".", "-3"},
        NumberCase{0.1 + 0.2, "###0.##", ".", "0.3"}, NumberCase{2.5, "###0.##", ",", "2,5"},
        // Rounded to zero: no minus sign.
        NumberCase{-0.001, "###0.##", ".", "0"},
        // Half away from zero, after rounding to 15 significant digits.
        NumberCase{0.125, "0.00", ".", "0.13"}, NumberCase{2.675, "0.00", ".", "2.68"},
        NumberCase{-2.5, "0", ".", "-3"}, NumberCase{9.999, "0.##", ".", "10"},
        NumberCase{0.6, "0", ".", "1"},
        // Required and optional places.
        NumberCase{7.0, "000", ".", "007"}, NumberCase{1.5, "0.000", ".", "1.500"},
        NumberCase{1.25, "0.0#", ".", "1.25"}, NumberCase{1.2, "0.0#", ".", "1.2"},
        NumberCase{1.0, "0.0#", ".", "1.0"}, NumberCase{0.5, "#.##", ".", ".5"},
        NumberCase{0.0, "#", ".", ""}, NumberCase{1e20, "0", ".", "100000000000000000000"},
        // Literal text and sections.
        NumberCase{5.0, "0 'kg'", ".", "5 kg"}, NumberCase{5.0, "\"x=\"0", ".", "x=5"},
        NumberCase{-5.0, "0;(0)", ".", "(5)"}, NumberCase{5.0, "0;(0)", ".", "5"},
        NumberCase{0.0, "0;(0);'zero'", ".", "zero"},
        NumberCase{-0.01, "0;(0);'zero'", ".", "zero"},
        // No pattern: 15 significant digits.
        NumberCase{1.5, "", ",", "1,5"}, NumberCase{1e20, "", ".", "1E+20"}));

TEST(FormatFloatTest, NonFiniteValuesAreNamed)
{
    EXPECT_EQ(FormatFloat(std::numeric_limits<double>::quiet_NaN(), "0", "."), "NAN");
    EXPECT_EQ(FormatFloat(std::numeric_limits<double>::infinity(), "0", "."), "INF");
    EXPECT_EQ(FormatFloat(-std::numeric_limits<double>::infinity(), "0", "."), "-INF");
}

struct DateCase {
    double Value;
    const char* Pattern;
    const char* Expected;
};

void PrintTo(const DateCase& c, std::ostream* out)
{
    *out << c.Value << " as \"" << c.Pattern << "\"";
}

class FormatDateTimeTest : public ::testing::TestWithParam<DateCase> {};

TEST_P(FormatDateTimeTest, WritesThePattern)
{
    const DateCase& c = GetParam();
    EXPECT_EQ(FormatDateTime(c.Value, c.Pattern), c.Expected)
        << c.Value << " with \"" << c.Pattern << "\"";
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, FormatDateTimeTest,
    ::testing::Values(DateCase{0.0, "", "1899-12-30 00:00:00"},
                      DateCase{45000.5, "dd.mm.yyyy hh:nn", "15.03.2023 12:00"},
                      DateCase{44990.0, "d.m.yy", "5.3.23"},
                      // "mm" right after an hour field is the minutes.
                      DateCase{36526.75, "yyyy-mm-dd hh:mm", "2000-01-01 18:00"},
                      DateCase{36526.75 + 5.0 / 1440, "HH:MM", "18:05"},
                      DateCase{0.5 + 1.5 / 86400, "hh:nn:ss.zzz", "12:00:01.500"},
                      // Before the day 0 the fraction still counts forwards within the day.
                      DateCase{-1.25, "yyyy-mm-dd hh:nn", "1899-12-29 06:00"},
                      DateCase{45000.0, "'Day' d", "Day 15"},
                      // The plot's number pattern holds no field.
                      DateCase{45000.0, "###0.##", "2023-03-15 00:00:00"},
                      DateCase{2958465.5, "", "9999-12-31 12:00:00"},
                      DateCase{-693593.0, "", "0001-01-01 00:00:00"}, DateCase{1e9, "", ""},
                      DateCase{-1e9, "", ""},
                      DateCase{std::numeric_limits<double>::quiet_NaN(), "", ""}));

} // namespace
} // namespace varnolux
