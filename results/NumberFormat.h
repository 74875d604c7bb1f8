#pragma once

#include <string>
#include <string_view>

namespace varnolux {

/// fixed(v, d): v rounded to nearest (halves away from zero) at d decimals but to no
/// more than 6 significant digits, written with exactly d decimals, the given
/// separator and no thousands separators: fixed(12.3456, 2) = 12.35,
/// fixed(123456.789, 2) = 123457.00. With more than 6 integer digits the exponent
/// form: fixed(1234567, 0) = 1.23457E6, fixed(12345678, 2) = 1.23457E07.
std::string FormatFixed(double value, int decimals, std::string_view separator);
/// With the locale's decimal separator.
std::string FormatFixed(double value, int decimals);

/// fixed(v, d) with another count of significant digits (precision, at least 1):
/// FormatFixed(v, d, s) is FormatFixedPrecision(v, 6, d, s), and
/// FormatFixedPrecision(12345678.9, 7, 0) = 1.234568E7.
std::string FormatFixedPrecision(double value, int precision, int decimals,
                                 std::string_view separator);
/// With the locale's decimal separator.
std::string FormatFixedPrecision(double value, int precision, int decimals);

/// General format with up to 15 significant digits: 307200, 1, 0.5, exponent form
/// only for very large or very small values.
std::string FormatGeneral(double value, std::string_view separator);
/// With the locale's decimal separator.
std::string FormatGeneral(double value);

} // namespace varnolux
