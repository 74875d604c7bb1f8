#include "settings/NumberText.h"

#include <charconv>
#include <cmath>
#include <langinfo.h>

namespace varnolux {

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

size_t CountDigits(std::string_view text)
{
    size_t count = 0;
    while (count < text.size() && IsDigit(text[count]))
        ++count;
    return count;
}

// A number of the form [sign] digits [. digits] with at least one digit, "." as the
// separator; nothing for any other text or a value out of the double range.
std::optional<double> ConvertDecimal(std::string_view text)
{
    std::string number;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        if (text.front() == '-')
            number += '-';
        text.remove_prefix(1);
    }
    const size_t integerDigits = CountDigits(text);
    std::string_view fraction = text.substr(integerDigits);
    size_t fractionDigits = 0;
    if (!fraction.empty() && fraction.front() == '.') {
        fraction.remove_prefix(1);
        fractionDigits = CountDigits(fraction);
        if (fractionDigits != fraction.size())
            return std::nullopt;
    } else if (!fraction.empty()) {
        return std::nullopt;
    }
    if (integerDigits + fractionDigits == 0)
        return std::nullopt;

    // "3." and ".5" are numbers here; hand the converter the plain form.
    number += integerDigits > 0 ? text.substr(0, integerDigits) : "0";
    if (fractionDigits > 0)
        number += "." + std::string(fraction);
    double value = 0.0;
    const char* end = number.data() + number.size();
    const auto [stop, error] = std::from_chars(number.data(), end, value, std::chars_format::fixed);
    if (error != std::errc() || stop != end)
        return std::nullopt;
    return value;
}

} // namespace

std::string LocaleDecimalSeparator()
{
    // Not localeconv: it fills one static structure, a race when threads format numbers.
    const char* separator = ::nl_langinfo(RADIXCHAR);
    if (!separator || !*separator)
        return ".";
    return separator;
}

TParsedNumber ParseNumberStrict(std::string_view text, double defaultValue,
                                std::string_view separator)
{
    const TParsedNumber failure{defaultValue, false};
    // Digits and signs pass; exactly one other character may stand, and only when it
    // is a decimal separator.
    std::string number;
    number.reserve(text.size());
    bool separatorSeen = false;
    for (size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (IsDigit(c) || c == '+' || c == '-') {
            number += c;
            ++i;
            continue;
        }
        if (separatorSeen)
            return failure;
        separatorSeen = true;
        if (!separator.empty() && text.substr(i).starts_with(separator))
            i += separator.size();
        else if (c == '.' || c == ',')
            ++i;
        else
            return failure;
        number += '.';
    }
    const auto value = ConvertDecimal(number);
    if (!value)
        return failure;
    return {*value, true};
}

TParsedNumber ParseNumberStrict(std::string_view text, double defaultValue)
{
    return ParseNumberStrict(text, defaultValue, LocaleDecimalSeparator());
}

namespace {

std::optional<double> ParseWithSeparator(std::string text, char separator)
{
    const char other = separator == ',' ? '.' : ',';
    if (text.find(other) != std::string::npos)
        return std::nullopt;
    for (char& c : text)
        if (c == separator)
            c = '.';
    const char* begin = text.data();
    const char* end = begin + text.size();
    if (begin != end && *begin == '+')
        ++begin;
    double value = 0.0;
    const auto [stop, error] = std::from_chars(begin, end, value);
    if (error != std::errc() || stop != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::string_view Trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

} // namespace

std::optional<double> ParseNumberTolerant(std::string_view text)
{
    const std::string trimmed(Trimmed(text));
    if (trimmed == "-")
        return std::nullopt;
    const bool comma = trimmed.find(',') != std::string::npos;
    if (auto value = ParseWithSeparator(trimmed, comma ? ',' : '.'))
        return value;
    return ParseWithSeparator(trimmed, comma ? '.' : ',');
}

std::optional<int> ParseDecimalInteger(std::string_view text)
{
    if (text.starts_with('+')) {
        text.remove_prefix(1);
        if (text.empty() || !IsDigit(text.front()))
            return std::nullopt;
    }
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end)
        return std::nullopt;
    return value;
}

} // namespace varnolux
