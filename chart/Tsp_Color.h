#pragma once

#include <cstdint>

namespace varnolux {

/// A chart colour: red in the low byte, then green, then blue (0x00BBGGRR).
using Tsp_Color = std::uint32_t;

namespace Tsp_Colors {
inline constexpr Tsp_Color Black = 0x000000;
inline constexpr Tsp_Color Maroon = 0x000080;
inline constexpr Tsp_Color Green = 0x008000;
inline constexpr Tsp_Color Navy = 0x800000;
inline constexpr Tsp_Color Gray = 0x808080;
inline constexpr Tsp_Color Silver = 0xC0C0C0;
inline constexpr Tsp_Color Red = 0x0000FF;
inline constexpr Tsp_Color Lime = 0x00FF00;
inline constexpr Tsp_Color Blue = 0xFF0000;
inline constexpr Tsp_Color White = 0xFFFFFF;
/// The face, highlight and shadow of a 3-D control.
inline constexpr Tsp_Color BtnFace = 0xF0F0F0;
inline constexpr Tsp_Color BtnHighlight = 0xFFFFFF;
inline constexpr Tsp_Color BtnShadow = 0xA0A0A0;
/// No colour at all: an area of this colour is left unfilled.
inline constexpr Tsp_Color None = 0x1FFFFFFF;
} // namespace Tsp_Colors

} // namespace varnolux
