#pragma once

#include "imaging/ColourConversion.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace varnolux {

/// whenTrue or whenFalse without a branch.
inline int Select(bool condition, int whenTrue, int whenFalse)
{
    const int all = -int(condition);
    return (whenTrue & all) | (whenFalse & ~all);
}

/// Tables for the exact HSV bytes without floating point. Brightness depends on the
/// largest component only and saturation on the largest and the smallest, so both
/// are looked up, computed once by RgbToHsv itself. The hue is 85 · T / (2 · d) in
/// exact arithmetic (d = max − min, T the hue sector's numerator plus its offset,
/// 0 ≤ T < 6 · d); where that quotient is not a whole number it lies at least
/// 1 / (2 · d) from one, far beyond the rounding of the double computation, so its
/// floor is RgbToHsv's truncated hue. Whole quotients, where the doubles may land
/// just below, are left to RgbToHsv.
class THsvTables {
public:
    THsvTables();

    void Convert(std::uint8_t& red, std::uint8_t& green, std::uint8_t& blue) const
    {
        const int r = red;
        const int g = green;
        const int b = blue;
        const int max = std::max({r, g, b});
        const int min = std::min({r, g, b});
        const int d = max - min;
        // Selections instead of branches: in a photograph which component is largest
        // changes from pixel to pixel, and a mispredicted branch costs more than the
        // arithmetic. The order takes the first of two equal largest components.
        const int redSector = g - b + Select(g < b, 6 * d, 0);
        const int greenSector = b - r + 2 * d;
        const int blueSector = r - g + 4 * d;
        const int sector = Select(r == max, redSector, Select(g == max, greenSector, blueSector));
        const auto numerator = std::uint32_t(85 * sector);
        const auto denominator = std::uint32_t(2 * d);
        const auto quotient =
            std::uint32_t((std::uint64_t(numerator) * reciprocals_[denominator]) >> 32);
        // d = 0 (grey) gives quotient 0, the hue of grey.
        red = d > 0 && quotient * denominator == numerator ? ChannelByte(RgbToHsv(r, g, b).H)
                                                           : std::uint8_t(quotient);
        green = saturation_[size_t(max) * 256 + size_t(min)];
        blue = brightness_[size_t(max)];
    }

    /// Saturation by max · 256 + min, with three bytes of padding so that four-byte
    /// reads at every index stay inside.
    const std::uint8_t* SaturationTable() const { return saturation_.data(); }

private:
    std::array<std::uint8_t, 256> brightness_{};
    std::array<std::uint8_t, 256 * 256 + 3> saturation_{};
    std::array<std::uint32_t, 511> reciprocals_{};
};

/// The tables, made on first use.
const THsvTables& HsvTables();

} // namespace varnolux
