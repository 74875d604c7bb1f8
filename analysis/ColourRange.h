#pragma once

#include <array>
#include <string>

namespace varnolux {

/// The six limits of a colour range, each 0..255, in this order.
enum TRangeIndex { HMin, HMax, SMin, SMax, VMin, VMax };
using TColourRange = std::array<int, 6>;
inline constexpr TColourRange InitialColourRange = {0, 255, 0, 255, 0, 255};

/// The message labels that name the six limits in messages about them.
inline constexpr std::array<const char*, 6> RangeFieldLabels = {"LabelFieldHMin", "LabelFieldHMax",
                                                                "LabelFieldSMin", "LabelFieldSMax",
                                                                "LabelFieldVMin", "LabelFieldVMax"};

/// A limit stays inside 0..255.
constexpr int ClampRangeLimit(int limit)
{
    return limit < 0 ? 0 : limit > 255 ? 255 : limit;
}

/// The range-text rule: a text that is a whole decimal number sets the limit (clamped
/// to 0..255) and gives true; any other text leaves the limit and gives false.
bool ApplyRangeText(const std::string& text, int& limit);

/// Whether a channel value passes the limits of a Min and a Max: inside lo..hi when
/// hi > lo, else at or above lo or at or below hi (a range that wraps through 0;
/// equal limits pass everything).
constexpr bool InChannelRange(int value, int lo, int hi)
{
    return hi > lo ? lo <= value && value <= hi : value >= lo || value <= hi;
}

} // namespace varnolux
