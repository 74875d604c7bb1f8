#include "results/NumberFormat.h"

#include "settings/NumberText.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace varnolux {

namespace {

constexpr int FixedSignificantDigits = 6;
constexpr int GeneralSignificantDigits = 15;
// General format writes values below 10^-5 in exponent form: 0.1 · 10^SmallestFixedExponent.
constexpr int SmallestFixedExponent = -4;

/// A non-negative decimal number 0.d1d2d3… · 10^exponent; no digits for zero.
struct TDecimal {
    std::string digits; // no leading and no trailing zeros
    int exponent = 0;

    bool IsZero() const { return digits.empty(); }
    /// The digit of weight 10^power, '0' outside the stored digits.
    char DigitOfPower(int power) const
    {
        const int index = exponent - 1 - power;
        return index >= 0 && index < int(digits.size()) ? digits[std::size_t(index)] : '0';
    }
};

void StripTrailingZeros(std::string& digits)
{
    digits.erase(digits.find_last_not_of('0') + 1);
}

/// The exact decimal value of a finite, non-negative double. Every double is a
/// multiple of 2^-1074, so that many decimals (fewer for larger values) are exact.
TDecimal ExactDecimal(double magnitude)
{
    int binaryExponent = 0;
    std::frexp(magnitude, &binaryExponent);
    const int decimals = std::clamp(53 - binaryExponent, 0, 1074);
    // Up to 309 integer digits, the point and the decimals.
    std::array<char, 1400> buffer;
    const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), magnitude,
                                   std::chars_format::fixed, decimals)
                         .ptr;
    const std::string_view text(buffer.data(), std::size_t(end - buffer.data()));

    const std::size_t point = std::min(text.find('.'), text.size());
    TDecimal decimal;
    decimal.exponent = int(point);
    decimal.digits = std::string(text.substr(0, point));
    if (point < text.size())
        decimal.digits.append(text.substr(point + 1));
    const std::size_t firstNonZero =
        std::min(decimal.digits.find_first_not_of('0'), decimal.digits.size());
    decimal.digits.erase(0, firstNonZero);
    decimal.exponent -= int(firstNonZero);
    StripTrailingZeros(decimal.digits);
    if (decimal.IsZero())
        decimal.exponent = 0;
    return decimal;
}

/// Rounds to the given count of significant digits (zero or less keeps none),
/// halves away from zero.
TDecimal RoundToDigits(TDecimal value, int keep)
{
    if (keep < 0 || int(value.digits.size()) <= keep)
        return keep < 0 ? TDecimal{} : value;
    const bool roundUp = value.digits[std::size_t(keep)] >= '5';
    value.digits.resize(std::size_t(keep));
    if (roundUp) {
        int index = keep - 1;
        while (index >= 0 && value.digits[std::size_t(index)] == '9')
            value.digits[std::size_t(index--)] = '0';
        if (index >= 0) {
            ++value.digits[std::size_t(index)];
        } else {
            value.digits.insert(0, 1, '1');
            ++value.exponent;
        }
    }
    StripTrailingZeros(value.digits);
    if (value.IsZero())
        value.exponent = 0;
    return value;
}

/// d.ddddE[-]p with the power padded with zeros to at least minPowerDigits.
std::string ExponentText(const TDecimal& value, int minPowerDigits, std::string_view separator)
{
    std::string text(1, value.digits.front());
    if (value.digits.size() > 1)
        text.append(separator).append(value.digits, 1);
    const int power = value.exponent - 1;
    std::string powerDigits = std::to_string(std::abs(power));
    if (int(powerDigits.size()) < minPowerDigits)
        powerDigits.insert(0, std::size_t(minPowerDigits) - powerDigits.size(), '0');
    return text + "E" + (power < 0 ? "-" : "") + powerDigits;
}

/// The integer part and decimals fraction digits of value, without sign.
std::string PlainText(const TDecimal& value, int decimals, std::string_view separator)
{
    std::string text;
    for (int power = std::max(value.exponent, 1) - 1; power >= 0; --power)
        text += value.DigitOfPower(power);
    if (decimals > 0) {
        text.append(separator);
        for (int power = -1; power >= -decimals; --power)
            text += value.DigitOfPower(power);
    }
    return text;
}

/// Texts for what has no digits; empty for finite values.
std::string NonFiniteText(double value)
{
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";
    return {};
}

} // namespace

std::string FormatFixedPrecision(double value, int precision, int decimals,
                                 std::string_view separator)
{
    if (!std::isfinite(value))
        return NonFiniteText(value);
    precision = std::max(precision, 1);
    decimals = std::max(decimals, 0);
    const TDecimal exact = ExactDecimal(std::fabs(value));
    const TDecimal rounded = RoundToDigits(exact, std::min(precision, exact.exponent + decimals));
    if (rounded.IsZero())
        return PlainText(rounded, decimals, separator);
    const std::string sign = value < 0 ? "-" : "";
    if (rounded.exponent > precision)
        return sign + ExponentText(rounded, decimals, separator);
    return sign + PlainText(rounded, decimals, separator);
}

std::string FormatFixedPrecision(double value, int precision, int decimals)
{
    return FormatFixedPrecision(value, precision, decimals, LocaleDecimalSeparator());
}

std::string FormatFixed(double value, int decimals, std::string_view separator)
{
    return FormatFixedPrecision(value, FixedSignificantDigits, decimals, separator);
}

std::string FormatFixed(double value, int decimals)
{
    return FormatFixed(value, decimals, LocaleDecimalSeparator());
}

std::string FormatGeneral(double value, std::string_view separator)
{
    if (!std::isfinite(value))
        return NonFiniteText(value);
    const TDecimal rounded =
        RoundToDigits(ExactDecimal(std::fabs(value)), GeneralSignificantDigits);
    if (rounded.IsZero())
        return "0";
    const std::string sign = value < 0 ? "-" : "";
    if (rounded.exponent > GeneralSignificantDigits || rounded.exponent < SmallestFixedExponent)
        return sign + ExponentText(rounded, 0, separator);
    const int decimals = std::max(int(rounded.digits.size()) - rounded.exponent, 0);
    return sign + PlainText(rounded, decimals, separator);
}

std::string FormatGeneral(double value)
{
    return FormatGeneral(value, LocaleDecimalSeparator());
}

} // namespace varnolux
