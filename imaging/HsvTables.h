#pragma once

#include "imaging/ColourConversion.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

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
/// floor is RgbToHsv's truncated hue. Where the quotient is whole the doubles may land
/// just below it: one bit per such colour, found once by RgbToHsv, says whether they do.
class THsvTables {
public:
    THsvTables();

    /// One pixel's hue, saturation and brightness bytes.
    void Convert(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t& hue,
                 std::uint8_t& saturation, std::uint8_t& brightness) const
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
        const bool whole = d > 0 && quotient * denominator == numerator;
        hue = std::uint8_t(quotient - std::uint32_t(whole && HueFallsBelow(d, quotient, max)));
        saturation = Saturation(max, min);
        brightness = brightness_[size_t(max)];
    }

    /// RgbToHsv's saturation byte of a colour with these largest and smallest components.
    std::uint8_t Saturation(int max, int min) const
    {
        return saturation_[size_t(max) * 256 + size_t(min)];
    }

    /// Whether RgbToHsv's hue of the colour with this largest component, difference
    /// d > 0 and whole hue quotient (85 · T / (2 · d)) truncates to one less.
    bool HueFallsBelow(int d, std::uint32_t quotient, int max) const
    {
        const std::size_t bit = HueBit(d, quotient, max);
        return (hueBelow_[bit / 64] >> (bit % 64)) & 1;
    }

private:
    std::size_t HueBit(int d, std::uint32_t quotient, int max) const
    {
        const std::size_t index = (quotient * wholeHueScale_[size_t(d)]) >> 16;
        return hueBelowStart_[size_t(d)] + index * std::size_t(256 - d) + std::size_t(max - d);
    }

    std::array<std::uint8_t, 256> brightness_{};
    std::array<std::uint8_t, 256 * 256> saturation_{};
    std::array<std::uint32_t, 511> reciprocals_{};
    /// By d: the whole hue quotients are the multiples of a step below 255, and
    /// (quotient · this) >> 16 counts the steps: this is 2^16 / step, rounded up.
    std::array<std::uint32_t, 256> wholeHueScale_{};
    /// By d: where the bits of its whole quotients begin, one per largest component
    /// from d to 255 for each quotient.
    std::array<std::uint32_t, 256> hueBelowStart_{};
    std::vector<std::uint64_t> hueBelow_;
};

/// The tables, made on first use.
const THsvTables& HsvTables();

} // namespace varnolux
