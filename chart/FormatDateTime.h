#pragma once

#include <string>
#include <string_view>

namespace varnolux {

/// A date-time value (days since 1899-12-30, the fraction the time of day; for a
/// negative value the fraction still counts forwards from the start of its day)
/// written after a pattern. Fields, in either letter case: "yyyy" and "yy" the year,
/// "mm" and "m" the month (or the minutes right after an hour field), "dd" and "d"
/// the day, "hh" and "h" the hour, "nn" and "n" the minutes, "ss" and "s" the
/// seconds, "zzz" and "z" the milliseconds; text in quotes and other characters as
/// they stand. A pattern without any field writes "yyyy-mm-dd hh:nn:ss". Values
/// outside the years 1 to 9999 give an empty text.
std::string FormatDateTime(double dateTime, std::string_view pattern);

} // namespace varnolux
