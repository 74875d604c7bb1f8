#include "imaging/HsvTables.h"

#include <cstddef>
#include <memory>

namespace varnolux {

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
}

const THsvTables& HsvTables()
{
    static const auto tables = std::make_unique<const THsvTables>();
    return *tables;
}

} // namespace varnolux
