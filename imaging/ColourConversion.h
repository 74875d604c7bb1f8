#pragma once

#include <cstdint>
#include <span>

namespace varnolux {

struct THsv {
    double H = 0.0;
    double S = 0.0;
    double V = 0.0;
};

struct TRgb {
    double R = 0.0;
    double G = 0.0;
    double B = 0.0;
};

/// The double nearest 1/255: every scaling by 1/255 multiplies by it.
inline constexpr double OneBy255 = 0.00392156862745098;

/// Red, green, blue 0..255 to hue, saturation, brightness 0..255, not yet clamped or
/// truncated; black gives hue −1.
THsv RgbToHsv(double r, double g, double b);

/// Hue, saturation, brightness 0..255 to red, green, blue 0..255, not yet truncated.
TRgb HsvToRgb(double h, double s, double v);

/// A converted channel as a byte: trunc(min(255, max(0, x))).
std::uint8_t ChannelByte(double x);

/// The conversions of ConvertColourSpace, by the library's conversion codes.
enum class TConversionCode {
    Luv = 0,       ///< L*u*v*
    Lab = 1,       ///< L*a*b*
    LinearMap = 2, ///< a fixed linear map of red, green, blue
    Xyz = 3,       ///< CIE XYZ (sRGB, D65 white)
    Inversion = 4, ///< 255 minus each component
    None = 5,      ///< changes nothing
    Hsv = 6,       ///< RgbToHsv: hue, saturation, brightness
};

/// Converts the pixels of three equally long byte planes in place; the first result
/// replaces first, and so on. False, with nothing changed, for a value that is not
/// one of the codes.
bool ConvertColourBytes(TConversionCode code, std::span<std::uint8_t> first,
                        std::span<std::uint8_t> second, std::span<std::uint8_t> third);

/// Hue, saturation and brightness (code 6) of the pixels of three colour planes, into
/// three planes of the same length: the colour planes themselves or planes apart from
/// them (not overlapping otherwise). Pixels past the shortest of the six are left alone.
void ConvertRgbToHsv(std::span<const std::uint8_t> red, std::span<const std::uint8_t> green,
                     std::span<const std::uint8_t> blue, std::span<std::uint8_t> hue,
                     std::span<std::uint8_t> saturation, std::span<std::uint8_t> brightness);

/// The vector kernels of the HSV conversion (code 6): the best one the processor has
/// (AVX2, else SSE2), or a narrower one. They give the same bytes.
enum class THsvKernel { Best, Sse2, Scalar };
void UseHsvKernel(THsvKernel kernel);

} // namespace varnolux
