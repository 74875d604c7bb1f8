#include "chart/FormatDateTime.h"

#include <cctype>
#include <cmath>
#include <cstdint>

namespace varnolux {

namespace {

constexpr double FirstDay = -693593.0; // 0001-01-01
constexpr double LastDay = 2958466.0;  // the day after 9999-12-31
constexpr std::int64_t MsPerDay = 86400000;
constexpr std::int64_t UnixEpochDay = 25569; // 1970-01-01

struct DateTimeParts {
    int Year = 0, Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0, Millisecond = 0;
};

/// The civil date of a day number counted from 1970-01-01.
void CivilFromDays(std::int64_t days, DateTimeParts& parts)
{
    const std::int64_t z = days + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t dayOfEra = z - era * 146097;
    const std::int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t monthIndex = (5 * dayOfYear + 2) / 153;
    parts.Day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    parts.Month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    parts.Year = static_cast<int>(yearOfEra + era * 400 + (parts.Month <= 2 ? 1 : 0));
}

DateTimeParts Decode(double dateTime)
{
    std::int64_t day = static_cast<std::int64_t>(std::trunc(dateTime));
    std::int64_t ms = std::llround(std::fabs(dateTime - std::trunc(dateTime)) * MsPerDay);
    if (ms >= MsPerDay) {
        ms -= MsPerDay;
        ++day;
    }
    DateTimeParts parts;
    CivilFromDays(day - UnixEpochDay, parts);
    parts.Hour = static_cast<int>(ms / 3600000);
    parts.Minute = static_cast<int>(ms / 60000 % 60);
    parts.Second = static_cast<int>(ms / 1000 % 60);
    parts.Millisecond = static_cast<int>(ms % 1000);
    return parts;
}

std::string Padded(int value, int width)
{
    std::string text = std::to_string(value);
    if (static_cast<int>(text.size()) < width)
        text.insert(0, width - text.size(), '0');
    return text;
}

bool IsField(char c)
{
    return std::string_view("ymdhnsz").find(c) != std::string_view::npos;
}

/// Writes the pattern; false when it holds no field.
bool Render(const DateTimeParts& parts, std::string_view pattern, std::string& text)
{
    bool anyField = false;
    bool afterHour = false;
    for (std::size_t i = 0; i < pattern.size();) {
        const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(pattern[i])));
        if (c == '\'' || c == '"') {
            const auto end = pattern.find(pattern[i], i + 1);
            const auto stop = end == std::string_view::npos ? pattern.size() : end;
            text += pattern.substr(i + 1, stop - i - 1);
            i = stop + 1;
            continue;
        }
        if (!IsField(c)) {
            text.push_back(pattern[i++]);
            continue;
        }
        std::size_t run = 1;
        while (i + run < pattern.size() &&
               std::tolower(static_cast<unsigned char>(pattern[i + run])) == c)
            ++run;
        i += run;
        anyField = true;
        const int width = run >= 2 ? 2 : 1;
        switch (c) {
        case 'y':
            text += run >= 3 ? Padded(parts.Year, 4) : Padded(parts.Year % 100, 2);
            break;
        case 'm':
            text += Padded(afterHour ? parts.Minute : parts.Month, width);
            break;
        case 'd':
            text += Padded(parts.Day, width);
            break;
        case 'h':
            text += Padded(parts.Hour, width);
            break;
        case 'n':
            text += Padded(parts.Minute, width);
            break;
        case 's':
            text += Padded(parts.Second, width);
            break;
        case 'z':
            text += Padded(parts.Millisecond, run >= 3 ? 3 : 1);
            break;
        }
        afterHour = c == 'h';
    }
    return anyField;
}

} // namespace

std::string FormatDateTime(double dateTime, std::string_view pattern)
{
    if (!(dateTime >= FirstDay && dateTime < LastDay))
        return {};
    const DateTimeParts parts = Decode(dateTime);
    std::string text;
    if (!Render(parts, pattern, text)) {
        text.clear();
        Render(parts, "yyyy-mm-dd hh:nn:ss", text);
    }
    return text;
}

} // namespace varnolux
