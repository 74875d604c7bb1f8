#pragma once

#include <cstdint>

namespace varnolux {

/// A colour: red in the low byte, then green, then blue (0x00BBGGRR).
using TColour = std::uint32_t;

constexpr std::uint8_t RedOf(TColour c)
{
    return c & 0xff;
}
constexpr std::uint8_t GreenOf(TColour c)
{
    return (c >> 8) & 0xff;
}
constexpr std::uint8_t BlueOf(TColour c)
{
    return (c >> 16) & 0xff;
}
constexpr TColour MakeColour(std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    return TColour(r) | TColour(g) << 8 | TColour(b) << 16;
}

} // namespace varnolux
