#include "settings/NumberText.h"

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <random>

namespace varnolux {
namespace {

constexpr double Default = -12345.0;

struct TNumberCase {
    std::string text;
    std::optional<double> expected; // nothing: must fail
};

// The same answers under every locale and separator.
const TNumberCase NumberCases[] = {
    {"3", 3.0},
    {"3.", 3.0},
    {"3,", 3.0},
    {".5", 0.5},
    {",5", 0.5},
    {"1.5", 1.5},
    {"1,5", 1.5},
    {"-1.5", -1.5},
    {"+2", 2.0},
    {"-,25", -0.25},
    {"0", 0.0},
    {"007.50", 7.5},
    {"255", 255.0},
    {"0.1", 0.1},
    {"123456789.123456789", 123456789.123456789},
    {"", std::nullopt},
    {"1-2", std::nullopt},
    {"+-1", std::nullopt},
    {"--1", std::nullopt},
    {"1+", std::nullopt},
    {"-", std::nullopt},
    {"+", std::nullopt},
    {".", std::nullopt},
    {",", std::nullopt},
    {"-.", std::nullopt},
    {" 1", std::nullopt},
    {"1 ", std::nullopt},
    {"1e5", std::nullopt},
    {"1E5", std::nullopt},
    {"1.5.2", std::nullopt},
    {"1,5.2", std::nullopt},
    {"1.000,5", std::nullopt},
    {"1'000", std::nullopt},
    {"0x10", std::nullopt},
    {"inf", std::nullopt},
    {"nan", std::nullopt},
    {"½", std::nullopt},
    {"1;5", std::nullopt},
    {"1" + std::string(400, '0'), std::nullopt},
};

void ExpectCases(std::string_view separator, bool useLocale)
{
    for (const TNumberCase& c : NumberCases) {
        const TParsedNumber parsed = useLocale ? ParseNumberStrict(c.text, Default)
                                               : ParseNumberStrict(c.text, Default, separator);
        if (c.expected) {
            EXPECT_TRUE(parsed.success) << "\"" << c.text << "\"";
            EXPECT_EQ(parsed.value, *c.expected) << "\"" << c.text << "\"";
        } else {
            EXPECT_FALSE(parsed.success) << "\"" << c.text << "\"";
            EXPECT_EQ(parsed.value, Default) << "\"" << c.text << "\"";
        }
    }
}

// Switches LC_NUMERIC for a test and puts the previous locale back afterwards.
class TNumericLocale {
public:
    explicit TNumericLocale(const char* name)
        : previous_(std::setlocale(LC_NUMERIC, nullptr))
    {
        active_ = std::setlocale(LC_NUMERIC, name) != nullptr;
    }
    ~TNumericLocale() { std::setlocale(LC_NUMERIC, previous_.c_str()); }
    TNumericLocale(const TNumericLocale&) = delete;
    TNumericLocale& operator=(const TNumericLocale&) = delete;
    bool Active() const { return active_; }

private:
    std::string previous_;
    bool active_ = false;
};

TEST(ParseNumberStrict, WithExplicitSeparators)
{
    for (const char* separator : {".", ","}) {
        SCOPED_TRACE(separator);
        ExpectCases(separator, false);
    }
}

TEST(ParseNumberStrict, UnderTheCLocale)
{
    const TNumericLocale locale("C");
    ASSERT_TRUE(locale.Active());
    EXPECT_EQ(LocaleDecimalSeparator(), ".");
    ExpectCases({}, true);
}

TEST(ParseNumberStrict, UnderAGermanLocale)
{
    const TNumericLocale locale("de_DE.UTF-8");
    if (!locale.Active())
        GTEST_SKIP() << "locale de_DE.UTF-8 is not installed";
    EXPECT_EQ(LocaleDecimalSeparator(), ",");
    ExpectCases({}, true);
}

TEST(ParseNumberStrict, AMultiByteSeparatorCountsAsOneCharacter)
{
    const std::string arabicSeparator = "\u066B";
    const TParsedNumber parsed =
        ParseNumberStrict("1" + arabicSeparator + "5", Default, arabicSeparator);
    EXPECT_TRUE(parsed.success);
    EXPECT_EQ(parsed.value, 1.5);
    EXPECT_TRUE(ParseNumberStrict("1.5", Default, arabicSeparator).success);
    EXPECT_FALSE(
        ParseNumberStrict("1" + arabicSeparator + "5.0", Default, arabicSeparator).success);
}

TEST(ParseNumberStrict, NegativeZeroKeepsItsSign)
{
    const TParsedNumber parsed = ParseNumberStrict("-0", Default, ".");
    EXPECT_TRUE(parsed.success);
    EXPECT_TRUE(std::signbit(parsed.value));
}

// The C library's own conversion in the C locale is the reference, to the last bit.
TEST(ParseNumberStrict, MatchesStrtodOnGeneratedNumbers)
{
    const TNumericLocale locale("C");
    ASSERT_TRUE(locale.Active());
    std::mt19937 random(7);
    const auto digits = [&random](size_t count) {
        std::string text;
        for (size_t i = 0; i < count; ++i)
            text += static_cast<char>('0' + random() % 10);
        return text;
    };
    for (int i = 0; i < 5000; ++i) {
        const std::string sign = i % 3 == 0 ? "-" : (i % 3 == 1 ? "+" : "");
        const std::string integer = digits(random() % 12);
        const std::string fraction = digits(random() % 20 + (integer.empty() ? 1 : 0));
        const std::string text = sign + integer + "." + fraction;
        const TParsedNumber parsed = ParseNumberStrict(text, Default);
        ASSERT_TRUE(parsed.success) << text;
        ASSERT_EQ(parsed.value, std::strtod(text.c_str(), nullptr)) << text;

        std::string withComma = text;
        withComma[withComma.find('.')] = ',';
        ASSERT_EQ(ParseNumberStrict(withComma, Default).value, parsed.value) << withComma;
    }
}

TEST(ParseDecimalInteger, AcceptsOnlyAWholeSignedDecimal)
{
    const struct {
        const char* text;
        std::optional<int> expected;
    } cases[] = {
        {"300", 300},
        {"-4", -4},
        {"+7", 7},
        {"0", 0},
        {"-0", 0},
        {"0255", 255},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"1a", std::nullopt},
        {"", std::nullopt},
        {"1.5", std::nullopt},
        {" 12", std::nullopt},
        {"12 ", std::nullopt},
        {"+", std::nullopt},
        {"-", std::nullopt},
        {"+-1", std::nullopt},
        {"-+1", std::nullopt},
        {"++1", std::nullopt},
        {"0x10", std::nullopt},
        {"1e3", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseDecimalInteger(c.text), c.expected) << "\"" << c.text << "\"";
}

TEST(ParseNumberTolerant, ReadsEitherSeparatorAndGivesNothingForWords)
{
    struct {
        const char* text;
        std::optional<double> expected;
    } const cases[] = {
        {"1,5", 1.5},
        {"1.5", 1.5},
        {"  -2.25 ", -2.25},
        {"+3", 3.0},
        {"1e3", 1000.0},
        {"-", std::nullopt},
        {" - ", std::nullopt},
        {"abc", std::nullopt},
        {"", std::nullopt},
        {"1.234,5", std::nullopt},
        {"1e400", std::nullopt},
        {"nan", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseNumberTolerant(c.text), c.expected) << "\"" << c.text << "\"";
}

} // namespace
} // namespace varnolux
