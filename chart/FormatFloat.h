#pragma once

#include <string>
#include <string_view>

namespace varnolux {

/// A number written after a pattern: "0" a digit that is always written, "#" a digit
/// written only when it matters, the first "." the decimal separator (written only
/// when a decimal digit follows), text in single or double quotes and every other
/// character as it stands. Up to three sections separated by ";" serve positive,
/// negative and zero values; a negative value written with the first section gets a
/// leading "-". The value is rounded to 15 significant digits and then, half away
/// from zero, to the pattern's decimals. An empty pattern writes 15 significant
/// digits.
std::string FormatFloat(double value, std::string_view pattern, std::string_view decimalSeparator);

} // namespace varnolux
