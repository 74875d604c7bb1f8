#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace varnolux {

/// The decimal separator of the current LC_NUMERIC locale.
std::string LocaleDecimalSeparator();

struct TParsedNumber {
    double value = 0.0;
    bool success = false;
};

/// The strict parser: a decimal number with an optional sign and either "." or ","
/// (or the locale's separator) as decimal separator, nothing else. On failure
/// gives defaultValue and success false.
TParsedNumber ParseNumberStrict(std::string_view text, double defaultValue,
                                std::string_view separator);
TParsedNumber ParseNumberStrict(std::string_view text, double defaultValue);

/// The tolerant parser: surrounding blanks ignored, either "," or "." as decimal
/// separator (a text with a comma tries the comma first), an exponent allowed.
/// Nothing for a lone "-", a word, or a value that is not finite.
std::optional<double> ParseNumberTolerant(std::string_view text);

/// A whole text in decimal notation with an optional sign that fits 32 bits.
std::optional<int> ParseDecimalInteger(std::string_view text);

} // namespace varnolux
