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

/// Converts the pixels of three equally long byte planes in place with conversion
/// code 0 (L*u*v*), 1 (L*a*b*), 2 (linear map), 3 (XYZ), 4 (inversion) or 6 (HSV);
/// the first result replaces first, and so on. False, with nothing changed, for
/// another code.
bool ConvertColourBytes(int code, std::span<std::uint8_t> first, std::span<std::uint8_t> second,
                        std::span<std::uint8_t> third);

/// The vector kernels of the HSV conversion (code 6): the best one the processor has
/// (AVX2, else SSE2), or a narrower one. They give the same bytes.
enum class THsvKernel { Best, Sse2, Scalar };
void UseHsvKernel(THsvKernel kernel);

} // namespace varnolux
