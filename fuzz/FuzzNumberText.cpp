// The strict, tolerant and decimal integer parsers, against plain references.

#include "FuzzTarget.h"
#include "settings/NumberText.h"

#include <cerrno>
#include <cmath>
#include <limits>
#include <optional>

namespace {

using namespace varnolux;
using fuzz::Check;

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

/// [sign] digits [. [digits]] or [sign] . digits.
bool IsDecimal(std::string_view text)
{
    if (!text.empty() && (text[0] == '+' || text[0] == '-'))
        text.remove_prefix(1);
    std::size_t digits = 0;
    bool point = false;
    for (const char c : text) {
        if (IsDigit(c))
            ++digits;
        else if (c == '.' && !point)
            point = true;
        else
            return false;
    }
    return digits > 0;
}

/// What the strict parser should make of a text: one "." or "," (or the separator)
/// read as the decimal point.
std::optional<double> StrictReference(std::string_view text, char separator)
{
    std::string number;
    int others = 0;
    for (const char c : text) {
        if (IsDigit(c) || c == '+' || c == '-') {
            number += c;
        } else if (c == '.' || c == ',' || c == separator) {
            number += '.';
            ++others;
        } else {
            return std::nullopt;
        }
    }
    if (others > 1 || !IsDecimal(number))
        return std::nullopt;
    errno = 0;
    const double value = std::strtod(number.c_str(), nullptr);
    if (errno == ERANGE || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<int> IntegerReference(std::string_view text)
{
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (text.empty())
        return std::nullopt;
    long long value = 0;
    for (const char c : text) {
        if (!IsDigit(c))
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > 1LL << 32)
            return std::nullopt;
    }
    value = negative ? -value : value;
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text = fuzz::Bytes(data, size);
    const std::optional<double> tolerant = ParseNumberTolerant(text);
    Check(!tolerant || std::isfinite(*tolerant), "the tolerant parser reads a value not finite");
    for (const char* separator : {".", ","}) {
        const TParsedNumber parsed = ParseNumberStrict(text, -7.5, separator);
        // Every text the strict parser reads, the tolerant one reads alike.
        Check(!parsed.success || (tolerant && *tolerant == parsed.value),
              "the tolerant parser refuses or misreads a strict number");
        Check(parsed.success || parsed.value == -7.5, "a failure does not give the default");
        Check(!parsed.success || std::isfinite(parsed.value), "a parsed number is not finite");
        // Very long digit runs may end in underflow, where references differ.
        if (text.size() <= 40) {
            const auto expected = StrictReference(text, separator[0]);
            Check(parsed.success == expected.has_value(), "the strict parser accepts otherwise");
            Check(!expected || parsed.value == *expected, "the strict parser reads another value");
        }
    }
    Check(ParseDecimalInteger(text) == IntegerReference(text), "the integer parser differs");
    return 0;
}
