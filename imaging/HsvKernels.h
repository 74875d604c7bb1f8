#pragma once

// The vector kernels of the HSV conversion. Each converts the pixels [0, count), many
// at a time, the rest and the doubtful lanes with the tables, and gives the same bytes
// as RgbToHsv.

#include "imaging/HsvTables.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

namespace varnolux {

/// The pixels of three colour planes and of the three planes their hue, saturation and
/// brightness go to; the two sets are either the same planes or apart.
struct THsvPixels {
    const std::uint8_t* Red;
    const std::uint8_t* Green;
    const std::uint8_t* Blue;
    std::uint8_t* Hue;
    std::uint8_t* Saturation;
    std::uint8_t* Brightness;

    /// The same planes from pixel i on.
    THsvPixels From(std::size_t i) const
    {
        return {Red + i, Green + i, Blue + i, Hue + i, Saturation + i, Brightness + i};
    }
    /// Pixel i with the tables.
    void ConvertOne(const THsvTables& tables, std::size_t i) const
    {
        tables.Convert(Red[i], Green[i], Blue[i], Hue[i], Saturation[i], Brightness[i]);
    }

    /// Corrects the pixels converted from exact quotients where a quotient was whole and
    /// RgbToHsv's doubles may land just below it: bit j of mask m stands for pixel
    /// 32 · m + j, whose largest and smallest components are given. Their saturation is
    /// looked up, and where the hue was doubtful it is one less if the doubles fall below.
    void CorrectDoubtful(const THsvTables& tables, std::span<const std::uint32_t> hueDoubtful,
                         std::span<const std::uint32_t> saturationDoubtful,
                         const std::uint8_t* maxima, const std::uint8_t* minima) const
    {
        // Each loop over a mask ends with a mispredicted branch: 64 pixels a mask.
        for (std::size_t pair = 0; pair < hueDoubtful.size(); pair += 2) {
            const auto maskPair = [&](std::span<const std::uint32_t> masks) {
                const std::uint64_t high = pair + 1 < masks.size() ? masks[pair + 1] : 0;
                return masks[pair] | high << 32;
            };
            const std::uint64_t hue = maskPair(hueDoubtful);
            for (std::uint64_t pixels = hue | maskPair(saturationDoubtful); pixels != 0;
                 pixels &= pixels - 1) {
                const int bit = __builtin_ctzll(pixels);
                const std::size_t i = 32 * pair + std::size_t(bit);
                const int max = maxima[i];
                const int min = minima[i];
                Saturation[i] = tables.Saturation(max, min);
                // Without a branch: the table has a bit for every quotient of a difference
                // above 0, and a pixel is doubtful only with one.
                const int below = int(tables.HueFallsBelow(max - min, Hue[i], max));
                Hue[i] = std::uint8_t(Hue[i] - (below & int(hue >> bit) & 1));
            }
        }
    }
};

#if defined(__SSE2__)
#define VARNOLUX_HAVE_SSE2_KERNEL 1
void ConvertHsvRangeSse2(const THsvTables& tables, const THsvPixels& pixels, std::size_t count);

#if defined(__x86_64__) && defined(__GNUC__)
#define VARNOLUX_HAVE_AVX2_KERNEL 1
/// Only for processors with AVX2 (HasAvx2).
void ConvertHsvRangeAvx2(const THsvTables& tables, const THsvPixels& pixels, std::size_t count);
#endif
#endif

} // namespace varnolux
