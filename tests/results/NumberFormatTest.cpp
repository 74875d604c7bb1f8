#include "results/NumberFormat.h"

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <gtest/gtest.h>
#include <limits>
#include <string>

namespace varnolux {
namespace {

struct TFixedCase {
    double value;
    int decimals;
    const char* text;
};

TEST(FormatFixed, RoundsAndWritesExactlyTheDecimals)
{
    const TFixedCase cases[] = {
        {12.3456, 2, "12.35"},
        {123456.789, 2, "123457.00"},
        {1234.5, 0, "1235"},
        {100, 2, "100.00"},
        {123456, 0, "123456"},
        {999999.4, 0, "999999"},
        // No more than 6 significant digits, zeros appended to the decimals.
        {1234.5678, 4, "1234.5700"},
        {0.123456789, 8, "0.12345700"},
        {0.000123456789, 8, "0.00012346"},
        {0.1, 20, "0.10000000000000000000"},
        // Halves go away from zero: areas are eighths, so these ties occur.
        {2.125, 2, "2.13"},
        {0.375, 2, "0.38"},
        {0.5, 0, "1"},
        {1.5, 0, "2"},
        {2.5, 0, "3"},
        {-2.125, 2, "-2.13"},
        {-0.5, 0, "-1"},
        // The exact binary value decides: 1.005 is a little below, 0.005 a little above.
        {1.005, 2, "1.00"},
        {2.675, 2, "2.67"},
        {0.015, 2, "0.01"},
        {0.005, 2, "0.01"},
        // Zero and values that round to zero carry no sign.
        {0, 0, "0"},
        {0, 2, "0.00"},
        {-0.0, 2, "0.00"},
        {0.004, 2, "0.00"},
        {-0.004, 2, "0.00"},
        {0.4, 0, "0"},
        {-0.4, 0, "0"},
        {1.5e-300, 2, "0.00"},
        {std::numeric_limits<double>::denorm_min(), 0, "0"},
        {-12.3456, 1, "-12.3"},
        // Negative decimals count as none.
        {12.5, -1, "13"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatFixed(c.value, c.decimals, "."), c.text) << c.value << ", " << c.decimals;
}

TEST(FormatFixed, SwitchesToExponentFormAboveSixIntegerDigits)
{
    const TFixedCase cases[] = {
        {1234567, 0, "1.23457E6"},
        {1920000, 0, "1.92E6"},
        {12345678, 2, "1.23457E07"},
        {1000000, 0, "1E6"},
        {-1234567, 0, "-1.23457E6"},
        {1e300, 2, "1E300"},
        {1234567.5, 3, "1.23457E006"},
        // Rounding to 6 digits can carry into a seventh integer digit.
        {999999.5, 0, "1E6"},
        {999999.96, 2, "1E06"},
        {9999995, 0, "1E7"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatFixed(c.value, c.decimals, "."), c.text) << c.value << ", " << c.decimals;
}

TEST(FormatFixedPrecision, KeepsTheGivenCountOfSignificantDigits)
{
    struct TPrecisionCase {
        double value;
        int precision;
        int decimals;
        const char* text;
    };
    const TPrecisionCase cases[] = {
        {1234567, 7, 0, "1234567"},
        {1234567.5, 7, 0, "1234568"},
        {12345678.9, 7, 0, "1.234568E7"},
        {9999999.5, 7, 0, "1E7"},
        {-2.5, 7, 0, "-3"},
        {0.4, 7, 0, "0"},
        {0, 7, 0, "0"},
        {1234.56789, 7, 2, "1234.57"},
        {1234.56789, 3, 1, "1.23E3"},
        {5.5, 1, 0, "6"},
        {55, 1, 0, "6E1"},
        // A precision below one counts as one.
        {55, 0, 0, "6E1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatFixedPrecision(c.value, c.precision, c.decimals, "."), c.text)
            << c.value << ", " << c.precision << ", " << c.decimals;
}

TEST(FormatFixedPrecision, SixDigitsIsFormatFixed)
{
    for (const double value : {0.0, 0.375, 2.125, 123456.789, 999999.5, 1234567.0, -1e300})
        for (int decimals = 0; decimals <= 4; ++decimals)
            EXPECT_EQ(FormatFixedPrecision(value, 6, decimals, ","),
                      FormatFixed(value, decimals, ","))
                << value << ", " << decimals;
}

TEST(FormatFixed, UsesTheGivenSeparator)
{
    EXPECT_EQ(FormatFixed(0.5, 2, ","), "0,50");
    EXPECT_EQ(FormatFixed(1234567, 2, ","), "1,23457E06");
    EXPECT_EQ(FormatFixed(1234.5, 0, ","), "1235");
}

TEST(FormatFixed, NamesValuesWithoutDigits)
{
    EXPECT_EQ(FormatFixed(std::numeric_limits<double>::infinity(), 2, "."), "INF");
    EXPECT_EQ(FormatFixed(-std::numeric_limits<double>::infinity(), 2, "."), "-INF");
    EXPECT_EQ(FormatFixed(std::numeric_limits<double>::quiet_NaN(), 2, "."), "NAN");
}

/// Eighths are exact in thousandths: n/8 = n·125/1000. Rounds with integers only.
std::string FixedOfEighthsReference(std::int64_t eighths, int decimals)
{
    const bool negative = eighths < 0;
    std::int64_t thousandths = std::llabs(eighths) * 125;
    const int digitCount = thousandths == 0 ? 0 : int(std::to_string(thousandths).size());
    const int keep = std::min(6, digitCount - 3 + decimals);
    const int dropped = digitCount - keep;
    if (dropped > 0) {
        std::int64_t unit = 1;
        for (int i = 0; i < dropped; ++i)
            unit *= 10;
        thousandths = (thousandths + unit / 2) / unit * unit;
    }
    std::string digits = std::to_string(thousandths);
    digits.insert(0, std::size_t(std::max(0, 4 - int(digits.size()))), '0');
    std::string text = digits.substr(0, digits.size() - 3);
    if (decimals > 0)
        text += "." + digits.substr(digits.size() - 3, std::size_t(decimals));
    return (negative && thousandths != 0 ? "-" : "") + text;
}

TEST(FormatFixed, AgreesWithAnIntegerReferenceOnEighths)
{
    std::uint64_t state = 12345;
    auto next = [&state] {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return std::int64_t(state >> 33);
    };
    for (int decimals = 0; decimals <= 3; ++decimals) {
        for (std::int64_t eighths = -4000; eighths <= 40000; ++eighths)
            ASSERT_EQ(FormatFixed(double(eighths) / 8, decimals, "."),
                      FixedOfEighthsReference(eighths, decimals))
                << eighths << "/8, " << decimals;
        // Up to 999999.5, where the last value before the exponent form lies.
        for (int i = 0; i < 20000; ++i) {
            const std::int64_t eighths = next() % 7999996;
            ASSERT_EQ(FormatFixed(double(eighths) / 8, decimals, "."),
                      FixedOfEighthsReference(eighths, decimals))
                << eighths << "/8, " << decimals;
        }
    }
}

struct TGeneralCase {
    double value;
    const char* text;
};

TEST(FormatGeneral, WritesUpToFifteenSignificantDigits)
{
    const TGeneralCase cases[] = {
        {307200, "307200"},
        {1, "1"},
        {0.5, "0.5"},
        {2.25, "2.25"},
        {0, "0"},
        {-0.0, "0"},
        {-2.5, "-2.5"},
        {12345.678, "12345.678"},
        {0.1, "0.1"},
        {0.1 + 0.2, "0.3"},
        {1.0 / 3, "0.333333333333333"},
        {2.0 / 3, "0.666666666666667"},
        {0.00001, "0.00001"},
        {999999999999999, "999999999999999"},
        // Ties at the fifteenth digit go away from zero.
        {100000000000000.5, "100000000000001"},
        {100000000000002.5, "100000000000003"},
        {-100000000000002.5, "-100000000000003"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatGeneral(c.value, "."), c.text) << c.value;
}

TEST(FormatGeneral, UsesTheExponentFormForVeryLargeAndVerySmallValues)
{
    const TGeneralCase cases[] = {
        {1.5e20, "1.5E20"},
        {1e-6, "1E-6"},
        {1e15, "1E15"},
        {999999999999999.9, "1E15"},
        {123456789012345678.0, "1.23456789012346E17"},
        {0.0000099, "9.9E-6"},
        {-1.5e-7, "-1.5E-7"},
        {1e300, "1E300"},
        {std::numeric_limits<double>::denorm_min(), "4.94065645841247E-324"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatGeneral(c.value, "."), c.text) << c.value;
}

TEST(FormatGeneral, UsesTheGivenSeparator)
{
    EXPECT_EQ(FormatGeneral(0.5, ","), "0,5");
    EXPECT_EQ(FormatGeneral(1.5e20, ","), "1,5E20");
    EXPECT_EQ(FormatGeneral(307200, ","), "307200");
    EXPECT_EQ(FormatGeneral(std::numeric_limits<double>::quiet_NaN(), ","), "NAN");
}

TEST(NumberFormat, OnlyTheSeparatorDependsOnTheLocale)
{
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8"))
        GTEST_SKIP() << "no German locale installed";
    const std::string fixedLocal = FormatFixed(0.5, 2);
    const std::string exponentLocal = FormatFixed(1234567.5, 1);
    const std::string generalLocal = FormatGeneral(2.25);
    const std::string fixedPoint = FormatFixed(12.3456, 2, ".");
    const std::string generalPoint = FormatGeneral(1.5e20, ".");
    std::setlocale(LC_NUMERIC, previous.c_str());
    EXPECT_EQ(fixedLocal, "0,50");
    EXPECT_EQ(exponentLocal, "1,23457E6");
    EXPECT_EQ(generalLocal, "2,25");
    EXPECT_EQ(fixedPoint, "12.35");
    EXPECT_EQ(generalPoint, "1.5E20");
}

} // namespace
} // namespace varnolux
