#include "results/ResultJson.h"

#include <clocale>
#include <gtest/gtest.h>
#include <limits>

namespace varnolux {
namespace {

TEST(ResultJsonObject, WritesNumbersAsNumbersAndKeepsTheOrder)
{
    TResult result;
    result.AddString("Name", "a.png");
    result.AddDouble("Area", 11.25);
    result.AddInteger("Count", 2);
    result.AddDouble("Big", 1.5e20);
    result.AddDouble("Whole", 160.0);
    result.AddInteger("MeanSize", 0);
    EXPECT_EQ(ResultJsonObject(result), "{\"Name\":\"a.png\",\"Area\":11.25,\"Count\":2,"
                                        "\"Big\":1.5E20,\"Whole\":160,\"MeanSize\":0}");
}

TEST(ResultJsonObject, UsesAPointWhateverTheLocale)
{
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
        GTEST_SKIP() << "the German locale is not installed";
    TResult result;
    result.AddDouble("Area", 2.25);
    const std::string json = ResultJsonObject(result);
    std::setlocale(LC_ALL, previous.c_str());
    EXPECT_EQ(result.GetValueText("Area"), "2,25");
    EXPECT_EQ(json, "{\"Area\":2.25}");
}

TEST(ResultJsonObject, AnEmptyTableIsAnEmptyObject)
{
    EXPECT_EQ(ResultJsonObject(TResult()), "{}");
}

TEST(ResultJsonObject, ANonFiniteNumberIsNull)
{
    TResult result;
    result.AddDouble("Area", std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(ResultJsonObject(result), "{\"Area\":null}");
}

TEST(JsonString, EscapesWhatJsonRequires)
{
    struct {
        std::string text;
        std::string json;
    } const cases[] = {
        {"", "\"\""},
        {"plain", "\"plain\""},
        {"say \"hi\"", "\"say \\\"hi\\\"\""},
        {"C:\\images", "\"C:\\\\images\""},
        {"tab\there\r\n", "\"tab\\there\\r\\n\""},
        {std::string("nul\0x\x1f", 6), "\"nul\\u0000x\\u001f\""},
        {"Grün €", "\"Grün €\""},
        {"\xF0\x9F\x98\x80", "\"\xF0\x9F\x98\x80\""},
        {"bad \xFF byte", "\"bad \xEF\xBF\xBD byte\""},
        {"cut \xC3", "\"cut \xEF\xBF\xBD\""},
        {"overlong \xC0\xAF", "\"overlong \xEF\xBF\xBD\xEF\xBF\xBD\""},
        {"surrogate \xED\xA0\x80", "\"surrogate \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(JsonString(c.text), c.json) << c.text;
}

} // namespace
} // namespace varnolux
