#include "imaging/ColourConversion.h"

#include <algorithm>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace varnolux {

namespace {

constexpr double DegreesToHue = 0.7083333333333334;

struct TTriple {
    double First;
    double Second;
    double Third;
};

TTriple Xyz(double r, double g, double b)
{
    return {0.412452 * r + 0.35758 * g + 0.180423 * b, 0.212671 * r + 0.71516 * g + 0.072169 * b,
            0.019334 * r + 0.119193 * g + 0.950227 * b};
}

double CubeRootOrLinear(double t)
{
    return t > 0.008856 ? std::pow(t, 1.0 / 3.0) : 7.787 * t + 0.13793103448275862;
}

/// CIE lightness from the relative luminance t = Y/255.
double Lightness(double t)
{
    return t > 0.008856 ? 116.0 * std::pow(t, 1.0 / 3.0) - 16.0 : 903.3 * t;
}

TTriple Luv(double r, double g, double b)
{
    const auto [x, y, z] = Xyz(r, g, b);
    const double l = Lightness(y * OneBy255);
    const double denominator = x + 15.0 * y + 3.0 * z;
    const double uPrime = denominator > 0.0 ? 4.0 * x / denominator : 1.333333333;
    const double vPrime = denominator > 0.0 ? 9.0 * y / denominator : 3.0;
    const double u = 13.0 * l * (uPrime - 0.19783945981597695);
    const double v = 13.0 * l * (vPrime - 0.4683428784128829);
    return {l * 2.55, u * 1.457142857142857, v * 2.339449541284403633};
}

TTriple Lab(double r, double g, double b)
{
    const auto [x, y, z] = Xyz(r, g, b);
    const double yRelative = y * OneBy255;
    const double l = Lightness(yRelative);
    const double a = 500.0 * (CubeRootOrLinear(x / 242.366) - CubeRootOrLinear(yRelative));
    const double bStar = 200.0 * (CubeRootOrLinear(yRelative) - CubeRootOrLinear(z / 277.63));
    return {l * 2.55, a * 1.27 + 128.0, bStar * 1.27 + 128.0};
}

TTriple LinearMap(double r, double g, double b)
{
    return {255.0 * (0.000233846 * r + 0.00261968 * g + 0.00127135 * b),
            255.0 * (0.000726333 * r + 0.000718106 * g - 0.00121377 * b),
            255.0 * (0.000846833 * r - 0.00173932 * g + 0.000221515 * b)};
}

TTriple Inversion(double r, double g, double b)
{
    return {255.0 - r, 255.0 - g, 255.0 - b};
}

TTriple Hsv(double r, double g, double b)
{
    const THsv hsv = RgbToHsv(r, g, b);
    return {hsv.H, hsv.S, hsv.V};
}

#if defined(__SSE2__)

__m128d Select(__m128d condition, __m128d whenTrue, __m128d whenFalse)
{
    return _mm_or_pd(_mm_and_pd(condition, whenTrue), _mm_andnot_pd(condition, whenFalse));
}

/// Two results as bytes: trunc(min(255, max(0, x))) per lane.
__m128i ChannelBytes(__m128d x)
{
    return _mm_cvttpd_epi32(_mm_min_pd(_mm_set1_pd(255.0), _mm_max_pd(x, _mm_setzero_pd())));
}

void StoreTwo(std::uint8_t* out, __m128i values)
{
    out[0] = std::uint8_t(_mm_cvtsi128_si32(values));
    out[1] = std::uint8_t(_mm_cvtsi128_si32(_mm_srli_si128(values, 4)));
}

/// RgbToHsv for two pixels at once. Every lane performs the scalar operations in
/// the scalar order (IEEE arithmetic is the same in both units), and the branches
/// become selections, so the bytes equal the scalar ones exactly.
void HsvPair(std::uint8_t* first, std::uint8_t* second, std::uint8_t* third)
{
    const __m128d k = _mm_set1_pd(OneBy255);
    const __m128d zero = _mm_setzero_pd();
    const __m128d one = _mm_set1_pd(1.0);
    const __m128d r = _mm_mul_pd(_mm_set_pd(first[1], first[0]), k);
    const __m128d g = _mm_mul_pd(_mm_set_pd(second[1], second[0]), k);
    const __m128d b = _mm_mul_pd(_mm_set_pd(third[1], third[0]), k);
    const __m128d max = _mm_max_pd(r, _mm_max_pd(g, b));
    const __m128d min = _mm_min_pd(r, _mm_min_pd(g, b));
    const __m128d d = _mm_sub_pd(max, min);
    const __m128d redIsMax = _mm_cmpeq_pd(r, max);
    const __m128d greenIsMax = _mm_cmpeq_pd(g, max);
    const __m128d numerator =
        Select(redIsMax, _mm_sub_pd(g, b), Select(greenIsMax, _mm_sub_pd(b, r), _mm_sub_pd(r, g)));
    const __m128d sector =
        Select(redIsMax, zero, Select(greenIsMax, _mm_set1_pd(2.0), _mm_set1_pd(4.0)));
    const __m128d coloured = _mm_cmpgt_pd(d, zero);
    __m128d h = _mm_add_pd(_mm_div_pd(numerator, Select(coloured, d, one)), sector);
    h = _mm_mul_pd(h, _mm_set1_pd(60.0));
    h = Select(_mm_cmplt_pd(h, zero), _mm_add_pd(h, _mm_set1_pd(360.0)), h);
    h = _mm_and_pd(coloured, h);
    const __m128d lit = _mm_cmpgt_pd(max, zero);
    const __m128d s = _mm_and_pd(lit, _mm_div_pd(d, Select(lit, max, one)));
    StoreTwo(first, ChannelBytes(_mm_mul_pd(h, _mm_set1_pd(DegreesToHue))));
    StoreTwo(second, ChannelBytes(_mm_mul_pd(s, _mm_set1_pd(255.0))));
    StoreTwo(third, ChannelBytes(_mm_mul_pd(max, _mm_set1_pd(255.0))));
}

#endif

template <typename Convert>
void ConvertLine(std::span<std::uint8_t> first, std::span<std::uint8_t> second,
                 std::span<std::uint8_t> third, Convert convert)
{
    const std::size_t count = std::min({first.size(), second.size(), third.size()});
    for (std::size_t i = 0; i < count; ++i) {
        const TTriple result = convert(first[i], second[i], third[i]);
        first[i] = ChannelByte(result.First);
        second[i] = ChannelByte(result.Second);
        third[i] = ChannelByte(result.Third);
    }
}

void ConvertHsvLine(std::span<std::uint8_t> first, std::span<std::uint8_t> second,
                    std::span<std::uint8_t> third)
{
    std::size_t done = 0;
#if defined(__SSE2__)
    const std::size_t count = std::min({first.size(), second.size(), third.size()});
    for (; done + 2 <= count; done += 2)
        HsvPair(&first[done], &second[done], &third[done]);
#endif
    ConvertLine(first.subspan(done), second.subspan(done), third.subspan(done), Hsv);
}

} // namespace

THsv RgbToHsv(double red, double green, double blue)
{
    const double r = red * OneBy255;
    const double g = green * OneBy255;
    const double b = blue * OneBy255;
    const double min = std::min({r, g, b});
    const double max = std::max({r, g, b});
    if (max == 0.0)
        return {-1.0, 0.0, 0.0};
    const double d = max - min;
    const double s = d / max;
    double h = 0.0;
    if (d > 0.0) {
        if (r == max)
            h = (g - b) / d;
        else if (g == max)
            h = (b - r) / d + 2.0;
        else
            h = (r - g) / d + 4.0;
        h = h * 60.0;
        if (h < 0.0)
            h = h + 360.0;
    }
    return {h * DegreesToHue, s * 255.0, max * 255.0};
}

TRgb HsvToRgb(double hue, double saturation, double value)
{
    const double h = hue * OneBy255;
    const double s = saturation * OneBy255;
    const double v = value * OneBy255;
    if (saturation == 0.0)
        return {v * 255.0, v * 255.0, v * 255.0};
    const double f = h * 6.0;
    const double sector = std::trunc(f);
    const double fraction = f - sector;
    const double p = (1.0 - s) * v;
    const double q = (1.0 - fraction * s) * v;
    const double t = (1.0 - (1.0 - fraction) * s) * v;
    TRgb rgb;
    if (sector == 0.0)
        rgb = {v, t, p};
    else if (sector == 1.0)
        rgb = {q, v, p};
    else if (sector == 2.0)
        rgb = {p, v, t};
    else if (sector == 3.0)
        rgb = {p, q, v};
    else if (sector == 4.0)
        rgb = {t, p, v};
    else
        rgb = {v, p, q}; // sector 5, and 6 for a hue of 255
    return {rgb.R * 255.0, rgb.G * 255.0, rgb.B * 255.0};
}

std::uint8_t ChannelByte(double x)
{
    // max before min, with x second: a NaN becomes 0.
    return std::uint8_t(std::trunc(std::min(255.0, std::max(0.0, x))));
}

bool ConvertColourBytes(int code, std::span<std::uint8_t> first, std::span<std::uint8_t> second,
                        std::span<std::uint8_t> third)
{
    switch (code) {
    case 0:
        ConvertLine(first, second, third, Luv);
        return true;
    case 1:
        ConvertLine(first, second, third, Lab);
        return true;
    case 2:
        ConvertLine(first, second, third, LinearMap);
        return true;
    case 3:
        ConvertLine(first, second, third, Xyz);
        return true;
    case 4:
        ConvertLine(first, second, third, Inversion);
        return true;
    case 6:
        ConvertHsvLine(first, second, third);
        return true;
    default:
        return false;
    }
}

} // namespace varnolux
