#include "input/BmpInfoHeader.h"

#include <algorithm>

namespace varnolux {

namespace {

constexpr std::size_t FileHeaderSize = 14;
constexpr std::uint32_t PlainInfoSize = 40;
constexpr std::uint32_t BiBitfields = 3;
constexpr std::uint32_t BiAlphaBitfields = 6;

std::uint32_t Read32(std::span<const std::uint8_t> bytes, std::size_t at)
{
    return std::uint32_t(bytes[at]) | std::uint32_t(bytes[at + 1]) << 8 |
           std::uint32_t(bytes[at + 2]) << 16 | std::uint32_t(bytes[at + 3]) << 24;
}

void Write32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint64_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = std::uint8_t(value >> (8 * i));
}

} // namespace

std::optional<std::vector<std::uint8_t>> WithPlainBmpInfoHeader(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < FileHeaderSize + PlainInfoSize || bytes[0] != 'B' || bytes[1] != 'M')
        return std::nullopt;
    const std::uint32_t infoSize = Read32(bytes, FileHeaderSize);
    if (infoSize != 108 && infoSize != 124)
        return std::nullopt;
    const std::uint32_t pixelOffset = Read32(bytes, 10);
    const std::uint16_t bitCount = std::uint16_t(bytes[28] | bytes[29] << 8);
    const std::uint32_t compression = Read32(bytes, 30);
    const std::uint32_t coloursUsed = Read32(bytes, 46);
    const std::size_t maskSize = compression == BiBitfields        ? 12
                                 : compression == BiAlphaBitfields ? 16
                                                                   : 0;
    const std::uint64_t paletteEntries = coloursUsed != 0 ? coloursUsed
                                         : bitCount <= 8  ? std::uint64_t(1) << bitCount
                                                          : 0;
    const std::uint64_t paletteBegin = FileHeaderSize + infoSize;
    const std::uint64_t paletteEnd = paletteBegin + paletteEntries * 4;
    if (paletteEnd > pixelOffset || pixelOffset > bytes.size())
        return std::nullopt;

    // The masks lie at the same place in the larger headers as after the plain one.
    const auto plainEnd = bytes.begin() + FileHeaderSize + PlainInfoSize;
    std::vector<std::uint8_t> plain(bytes.begin(), plainEnd + std::ptrdiff_t(maskSize));
    plain.insert(plain.end(), bytes.begin() + std::ptrdiff_t(paletteBegin),
                 bytes.begin() + std::ptrdiff_t(paletteEnd));
    const std::size_t newPixelOffset = plain.size();
    plain.insert(plain.end(), bytes.begin() + pixelOffset, bytes.end());
    Write32(plain, 2, plain.size());
    Write32(plain, 10, newPixelOffset);
    Write32(plain, FileHeaderSize, PlainInfoSize);
    return plain;
}

} // namespace varnolux
