#include "imaging/HsvTables.h"

#include <cstddef>
#include <memory>
#include <numeric>

namespace varnolux {

namespace {

struct TRgbBytes {
    int R, G, B;
};

/// The colour with this largest component, difference d = max − min and hue sector
/// numerator T (0 ≤ T < 6 · d, as THsvTables::Convert computes it).
TRgbBytes ColourOfSector(int max, int d, int sector)
{
    const int min = max - d;
    if (sector <= d) // red largest, green at least blue
        return {max, min + sector, min};
    if (sector >= 5 * d) // red largest, blue above green
        return {max, min, min + 6 * d - sector};
    if (sector <= 3 * d) { // green largest
        const int blueAboveRed = sector - 2 * d;
        return blueAboveRed >= 0 ? TRgbBytes{min, max, min + blueAboveRed}
                                 : TRgbBytes{min - blueAboveRed, max, min};
    }
    const int redAboveGreen = sector - 4 * d; // blue largest
    return redAboveGreen >= 0 ? TRgbBytes{min + redAboveGreen, min, max}
                              : TRgbBytes{min, min - redAboveGreen, max};
}

/// 85 · T / (2 · d) is whole when T is a multiple of 2d / gcd(d, 85): the whole hue
/// quotients of a difference d are the multiples of this step below 255.
int WholeHueStep(int d)
{
    return 85 / std::gcd(d, 85);
}

} // namespace

THsvTables::THsvTables()
{
    for (int max = 0; max < 256; ++max) {
        brightness_[size_t(max)] = ChannelByte(RgbToHsv(max, 0, 0).V);
        for (int min = 0; min <= max; ++min)
            saturation_[size_t(max) * 256 + size_t(min)] = ChannelByte(RgbToHsv(max, min, min).S);
    }
    // floor(n / d) = (n · m) >> 32 with m = floor(2^32 / d) + 1, exact while
    // n · d < 2^32 (here n < 85 · 6 · 255, d ≤ 510).
    for (std::uint64_t divisor = 1; divisor < reciprocals_.size(); ++divisor)
        reciprocals_[divisor] = std::uint32_t((std::uint64_t(1) << 32) / divisor + 1);

    std::size_t bits = 0;
    for (int d = 1; d < 256; ++d) {
        const int step = WholeHueStep(d);
        wholeHueScale_[size_t(d)] = std::uint32_t((65536 + step - 1) / step);
        hueBelowStart_[size_t(d)] = std::uint32_t(bits);
        bits += std::size_t(255 / step) * std::size_t(256 - d);
    }
    hueBelow_.assign((bits + 63) / 64, 0);
    for (int d = 1; d < 256; ++d) {
        for (int quotient = 0; quotient < 255; quotient += WholeHueStep(d)) {
            // Where the two smaller components are equal (quotients 0, 85, 170) the
            // doubles are exact.
            if (quotient % 85 == 0)
                continue;
            const int sector = 2 * d * quotient / 85;
            for (int max = d; max < 256; ++max) {
                const auto [r, g, b] = ColourOfSector(max, d, sector);
                if (ChannelByte(RgbToHsv(r, g, b).H) == quotient)
                    continue;
                const std::size_t bit = HueBit(d, std::uint32_t(quotient), max);
                hueBelow_[bit / 64] |= std::uint64_t(1) << (bit % 64);
            }
        }
    }
}

const THsvTables& HsvTables()
{
    static const auto tables = std::make_unique<const THsvTables>();
    return *tables;
}

} // namespace varnolux
