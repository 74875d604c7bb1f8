#include "imaging/ColourConversion.h"

#include "imaging/CpuFeatures.h"
#include "imaging/KernelThreads.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <memory>

#if defined(__SSE2__)
#include <immintrin.h>
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

/// Tables for the exact HSV bytes without floating point. Brightness depends on the
/// largest component only and saturation on the largest and the smallest, so both
/// are looked up, computed once by RgbToHsv itself. The hue is 85 · T / (2 · d) in
/// exact arithmetic (d = max − min, T the hue sector's numerator plus its offset,
/// 0 ≤ T < 6 · d); where that quotient is not a whole number it lies at least
/// 1 / (2 · d) from one, far beyond the rounding of the double computation, so its
/// floor is RgbToHsv's truncated hue. Whole quotients, where the doubles may land
/// just below, are left to RgbToHsv.
/// whenTrue or whenFalse without a branch.
int Select(bool condition, int whenTrue, int whenFalse)
{
    const int all = -int(condition);
    return (whenTrue & all) | (whenFalse & ~all);
}

class THsvTables {
public:
    THsvTables()
    {
        for (int max = 0; max < 256; ++max) {
            brightness_[size_t(max)] = ChannelByte(RgbToHsv(max, 0, 0).V);
            for (int min = 0; min <= max; ++min)
                saturation_[size_t(max) * 256 + size_t(min)] =
                    ChannelByte(RgbToHsv(max, min, min).S);
        }
        // floor(n / d) = (n · m) >> 32 with m = floor(2^32 / d) + 1, exact while
        // n · d < 2^32 (here n < 85 · 6 · 255, d ≤ 510).
        for (std::uint64_t divisor = 1; divisor < reciprocals_.size(); ++divisor)
            reciprocals_[divisor] = std::uint32_t((std::uint64_t(1) << 32) / divisor + 1);
    }

    void Convert(std::uint8_t& red, std::uint8_t& green, std::uint8_t& blue) const
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
        red = d > 0 && quotient * denominator == numerator ? ChannelByte(RgbToHsv(r, g, b).H)
                                                           : std::uint8_t(quotient);
        green = saturation_[size_t(max) * 256 + size_t(min)];
        blue = brightness_[size_t(max)];
    }

    /// Saturation by max · 256 + min, with three bytes of padding so that four-byte
    /// reads at every index stay inside.
    const std::uint8_t* SaturationTable() const { return saturation_.data(); }

private:
    std::array<std::uint8_t, 256> brightness_{};
    std::array<std::uint8_t, 256 * 256 + 3> saturation_{};
    std::array<std::uint32_t, 511> reciprocals_{};
};

const THsvTables& HsvTables()
{
    static const auto tables = std::make_unique<const THsvTables>();
    return *tables;
}

#if defined(__SSE2__)

/// The 16-bit lanes of the low or high eight bytes, zero-extended.
__m128i Widen(__m128i bytes, bool high)
{
    return high ? _mm_unpackhi_epi8(bytes, _mm_setzero_si128())
                : _mm_unpacklo_epi8(bytes, _mm_setzero_si128());
}

/// A byte mask (0 or 0xFF per lane) as 16-bit lanes.
__m128i WidenMask(__m128i mask, bool high)
{
    return high ? _mm_unpackhi_epi8(mask, mask) : _mm_unpacklo_epi8(mask, mask);
}

/// The 32-bit lanes of the low or high four 16-bit lanes as floats.
__m128 ToFloats(__m128i words, bool high)
{
    const __m128i zero = _mm_setzero_si128();
    return _mm_cvtepi32_ps(high ? _mm_unpackhi_epi16(words, zero)
                                : _mm_unpacklo_epi16(words, zero));
}

struct TQuotients {
    __m128i Values; // floor(numerator / denominator), 32-bit lanes
    __m128 Whole;   // all bits set where the quotient may be a whole number
};

/// The floor of numerator / denominator (whole numbers below 2^24) from an
/// approximate quotient whose error is far below the distance 1 / denominator
/// between a fraction and the next whole number: correct unless the quotient is
/// whole, where the approximation may fall just below. Those lanes are marked by
/// testing the floor and the next number exactly.
TQuotients FloorOf(__m128 approximate, __m128 numerator, __m128 denominator)
{
    const __m128i floor = _mm_cvttps_epi32(approximate);
    const __m128 below = _mm_cvtepi32_ps(floor);
    const __m128 whole = _mm_or_ps(
        _mm_cmpeq_ps(_mm_mul_ps(below, denominator), numerator),
        _mm_cmpeq_ps(_mm_mul_ps(_mm_add_ps(below, _mm_set1_ps(1.0f)), denominator), numerator));
    return {floor, whole};
}

/// Brightness from the largest component: one less at 33, 37, … 61, at 66, 74, … 122
/// and at 132, 148, … 244, where the multiplication by the double nearest 1/255
/// lands just below.
__m128i Brightness(__m128i max)
{
    const auto inSteps = [&](int first, int last, int step) {
        const __m128i offset = _mm_sub_epi8(max, _mm_set1_epi8(char(first)));
        const __m128i inRange =
            _mm_cmpeq_epi8(_mm_min_epu8(offset, _mm_set1_epi8(char(last - first))), offset);
        const __m128i onStep = _mm_cmpeq_epi8(_mm_and_si128(offset, _mm_set1_epi8(char(step - 1))),
                                              _mm_setzero_si128());
        return _mm_and_si128(inRange, onStep);
    };
    const __m128i lower =
        _mm_or_si128(_mm_or_si128(inSteps(33, 61, 4), inSteps(66, 122, 8)), inSteps(132, 244, 16));
    return _mm_add_epi8(max, lower); // lanes of lower are −1 or 0
}

/// Sixteen pixels' components, their extremes and which of them is the largest.
struct TSixteenPixels {
    __m128i r, g, b, max, min, d, all;
    // The first of two equal largest components wins, as in RgbToHsv.
    __m128i redIsMax, greenIsMax, blueIsMax;
    __m128i greenBelowBlue;
};

inline TSixteenPixels LoadSixteen(const std::uint8_t* red, const std::uint8_t* green,
                                  const std::uint8_t* blue)
{
    const auto load = [](const std::uint8_t* bytes) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
    };
    TSixteenPixels p;
    p.r = load(red);
    p.g = load(green);
    p.b = load(blue);
    p.max = _mm_max_epu8(_mm_max_epu8(p.r, p.g), p.b);
    p.min = _mm_min_epu8(_mm_min_epu8(p.r, p.g), p.b);
    p.d = _mm_sub_epi8(p.max, p.min);
    p.all = _mm_set1_epi8(char(0xFF));
    p.redIsMax = _mm_cmpeq_epi8(p.r, p.max);
    p.greenIsMax = _mm_andnot_si128(p.redIsMax, _mm_cmpeq_epi8(p.g, p.max));
    p.blueIsMax = _mm_andnot_si128(_mm_or_si128(p.redIsMax, p.greenIsMax), p.all);
    p.greenBelowBlue =
        _mm_andnot_si128(_mm_cmpeq_epi8(p.g, p.b), _mm_cmpeq_epi8(_mm_min_epu8(p.g, p.b), p.g));
    return p;
}

/// Converts 16 pixels in place with the exact rational forms of hue and saturation;
/// returns the lanes (bit i for pixel i) whose quotients were whole numbers, which
/// the caller converts again with the tables.
int ConvertSixteen(std::uint8_t* red, std::uint8_t* green, std::uint8_t* blue)
{
    const auto [r, g, b, max, min, d, all, redIsMax, greenIsMax, blueIsMax, greenBelowBlue] =
        LoadSixteen(red, green, blue);
    const __m128i coloured = _mm_andnot_si128(_mm_cmpeq_epi8(d, _mm_setzero_si128()), all);

    __m128i hueWords[2];
    __m128i saturationWords[2];
    int whole = 0;
    for (const bool high : {false, true}) {
        const __m128i r16 = Widen(r, high);
        const __m128i g16 = Widen(g, high);
        const __m128i b16 = Widen(b, high);
        const __m128i d16 = Widen(d, high);
        const __m128i max16 = Widen(max, high);
        const __m128i d2 = _mm_add_epi16(d16, d16);
        const __m128i d4 = _mm_add_epi16(d2, d2);
        const __m128i redSector =
            _mm_add_epi16(_mm_sub_epi16(g16, b16),
                          _mm_and_si128(WidenMask(greenBelowBlue, high), _mm_add_epi16(d4, d2)));
        const __m128i greenSector = _mm_add_epi16(_mm_sub_epi16(b16, r16), d2);
        const __m128i blueSector = _mm_add_epi16(_mm_sub_epi16(r16, g16), d4);
        const __m128i sector =
            _mm_or_si128(_mm_or_si128(_mm_and_si128(WidenMask(redIsMax, high), redSector),
                                      _mm_and_si128(WidenMask(greenIsMax, high), greenSector)),
                         _mm_and_si128(WidenMask(blueIsMax, high), blueSector));
        const __m128i colouredWords = WidenMask(coloured, high);
        __m128i hue[2];
        __m128i saturation[2];
        for (const bool upper : {false, true}) {
            // Grey (d = 0) divides 0 by 1: hue and saturation 0, and no whole-number
            // doubt, since those are exact.
            const __m128 one = _mm_set1_ps(1.0f);
            const __m128 dFloat = ToFloats(d16, upper);
            const __m128 isColoured =
                _mm_castsi128_ps(upper ? _mm_unpackhi_epi16(colouredWords, colouredWords)
                                       : _mm_unpacklo_epi16(colouredWords, colouredWords));
            // One division for both quotients: 1 / (2d · max). Three roundings of
            // 2^-24 leave hue and saturation within 5e-5 of the true quotients.
            const __m128 hueDenominator = _mm_max_ps(_mm_add_ps(dFloat, dFloat), one);
            const __m128 saturationDenominator = _mm_max_ps(ToFloats(max16, upper), one);
            const __m128 reciprocal =
                _mm_div_ps(one, _mm_mul_ps(hueDenominator, saturationDenominator));
            const __m128 hueNumerator = _mm_mul_ps(ToFloats(sector, upper), _mm_set1_ps(85.0f));
            const __m128 saturationNumerator = _mm_mul_ps(dFloat, _mm_set1_ps(255.0f));
            const TQuotients h =
                FloorOf(_mm_mul_ps(_mm_mul_ps(hueNumerator, saturationDenominator), reciprocal),
                        hueNumerator, hueDenominator);
            const TQuotients s =
                FloorOf(_mm_mul_ps(_mm_mul_ps(saturationNumerator, hueDenominator), reciprocal),
                        saturationNumerator, saturationDenominator);
            const __m128 doubtful = _mm_and_ps(isColoured, _mm_or_ps(h.Whole, s.Whole));
            whole |= _mm_movemask_ps(doubtful) << (8 * int(high) + 4 * int(upper));
            hue[int(upper)] = h.Values;
            saturation[int(upper)] = s.Values;
        }
        hueWords[int(high)] = _mm_packs_epi32(hue[0], hue[1]);
        saturationWords[int(high)] = _mm_packs_epi32(saturation[0], saturation[1]);
    }
    const auto store = [](std::uint8_t* bytes, __m128i values) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(bytes), values);
    };
    store(red, _mm_packus_epi16(hueWords[0], hueWords[1]));
    store(green, _mm_packus_epi16(saturationWords[0], saturationWords[1]));
    store(blue, Brightness(max));
    return whole;
}

#if defined(__x86_64__) && defined(__GNUC__)
#define VARNOLUX_HAVE_AVX2_KERNEL 1

/// Eight of sixteen 16-bit lanes (half 0 or 1) as floats.
__attribute__((target("avx2"))) __m256 FloatsAvx2(__m256i words, int half)
{
    return _mm256_cvtepi32_ps(_mm256_cvtepu16_epi32(half ? _mm256_extracti128_si256(words, 1)
                                                         : _mm256_castsi256_si128(words)));
}

/// Sixteen 32-bit results (two registers, in pixel order) as bytes. Lane-wise packing
/// interleaves the registers' quarters; the permutation puts them back in order.
__attribute__((target("avx2"))) __m128i BytesAvx2(const __m256i* values)
{
    const __m256i words = _mm256_permute4x64_epi64(_mm256_packus_epi32(values[0], values[1]), 0xD8);
    return _mm_packus_epi16(_mm256_castsi256_si128(words), _mm256_extracti128_si256(words, 1));
}

/// 4 · 4 signed 32-bit results (in pixel order) as 16 signed bytes, for masks.
__attribute__((target("avx2"))) __m128i MaskBytesAvx2(const __m256i* masks)
{
    const __m256i words = _mm256_permute4x64_epi64(_mm256_packs_epi32(masks[0], masks[1]), 0xD8);
    return _mm_packs_epi16(_mm256_castsi256_si128(words), _mm256_extracti128_si256(words, 1));
}

/// Four of sixteen bytes (quarter 0 … 3) as doubles times the double nearest 1/255.
__attribute__((target("avx2"))) __m256d ScaledQuarterAvx2(__m128i bytes, int quarter)
{
    const __m128i shifted = quarter == 0   ? bytes
                            : quarter == 1 ? _mm_srli_si128(bytes, 4)
                            : quarter == 2 ? _mm_srli_si128(bytes, 8)
                                           : _mm_srli_si128(bytes, 12);
    return _mm256_mul_pd(_mm256_cvtepi32_pd(_mm_cvtepu8_epi32(shifted)), _mm256_set1_pd(OneBy255));
}

/// RgbToHsv's hue bytes of 16 pixels, computed in doubles four at a time: every lane
/// performs the scalar operations in the scalar order and the branches become
/// selections, so the bytes equal the scalar ones exactly. Only groups of four that
/// hold one of the lanes (bit i for pixel i) are computed; the others are 0.
__attribute__((target("avx2"))) __m128i HueFromDoublesAvx2(__m128i red, __m128i green, __m128i blue,
                                                           int lanes)
{
    const __m256d zero = _mm256_setzero_pd();
    const __m256d one = _mm256_set1_pd(1.0);
    __m128i quarters[4];
    for (int quarter = 0; quarter < 4; ++quarter) {
        quarters[quarter] = _mm_setzero_si128();
        if (((lanes >> (4 * quarter)) & 0xF) == 0)
            continue;
        const __m256d r = ScaledQuarterAvx2(red, quarter);
        const __m256d g = ScaledQuarterAvx2(green, quarter);
        const __m256d b = ScaledQuarterAvx2(blue, quarter);
        const __m256d max = _mm256_max_pd(r, _mm256_max_pd(g, b));
        const __m256d min = _mm256_min_pd(r, _mm256_min_pd(g, b));
        const __m256d d = _mm256_sub_pd(max, min);
        const __m256d redIsMax = _mm256_cmp_pd(r, max, _CMP_EQ_OQ);
        const __m256d greenIsMax = _mm256_cmp_pd(g, max, _CMP_EQ_OQ);
        const __m256d numerator =
            _mm256_blendv_pd(_mm256_blendv_pd(_mm256_sub_pd(r, g), _mm256_sub_pd(b, r), greenIsMax),
                             _mm256_sub_pd(g, b), redIsMax);
        const __m256d sector = _mm256_blendv_pd(
            _mm256_blendv_pd(_mm256_set1_pd(4.0), _mm256_set1_pd(2.0), greenIsMax), zero, redIsMax);
        const __m256d coloured = _mm256_cmp_pd(d, zero, _CMP_GT_OQ);
        __m256d h =
            _mm256_add_pd(_mm256_div_pd(numerator, _mm256_blendv_pd(one, d, coloured)), sector);
        h = _mm256_mul_pd(h, _mm256_set1_pd(60.0));
        h = _mm256_blendv_pd(h, _mm256_add_pd(h, _mm256_set1_pd(360.0)),
                             _mm256_cmp_pd(h, zero, _CMP_LT_OQ));
        h = _mm256_mul_pd(_mm256_and_pd(coloured, h), _mm256_set1_pd(DegreesToHue));
        quarters[quarter] =
            _mm256_cvttpd_epi32(_mm256_min_pd(_mm256_set1_pd(255.0), _mm256_max_pd(h, zero)));
    }
    return _mm_packus_epi16(_mm_packs_epi32(quarters[0], quarters[1]),
                            _mm_packs_epi32(quarters[2], quarters[3]));
}

/// ConvertSixteen for processors with AVX2, with nothing left to the caller:
/// saturation is gathered from the table, the hue is a float quotient with eight
/// lanes, and where a quotient is a whole number the lanes take the double hue.
__attribute__((target("avx2"))) void ConvertSixteenAvx2(std::uint8_t* red, std::uint8_t* green,
                                                        std::uint8_t* blue,
                                                        const std::uint8_t* saturationTable)
{
    const auto [r, g, b, max, min, d, all, redIsMax, greenIsMax, blueIsMax, greenBelowBlue] =
        LoadSixteen(red, green, blue);
    // Where the two smaller components are equal the double numerator is exactly 0,
    // so the double hue is the sector's own (0, 85 or 170) and never falls below:
    // no doubt, whole or not. Grey (d = 0) is exact as well.
    const __m128i certain =
        _mm_or_si128(_mm_or_si128(_mm_and_si128(redIsMax, _mm_cmpeq_epi8(g, b)),
                                  _mm_and_si128(greenIsMax, _mm_cmpeq_epi8(b, r))),
                     _mm_or_si128(_mm_and_si128(blueIsMax, _mm_cmpeq_epi8(r, g)),
                                  _mm_cmpeq_epi8(d, _mm_setzero_si128())));
    const __m128i doubtful = _mm_andnot_si128(certain, all);

    // Sixteen 16-bit lanes; masks widen by sign extension.
    const __m256i r16 = _mm256_cvtepu8_epi16(r);
    const __m256i g16 = _mm256_cvtepu8_epi16(g);
    const __m256i b16 = _mm256_cvtepu8_epi16(b);
    const __m256i d16 = _mm256_cvtepu8_epi16(d);
    const __m256i d2 = _mm256_add_epi16(d16, d16);
    const __m256i d4 = _mm256_add_epi16(d2, d2);
    const __m256i redSector = _mm256_add_epi16(
        _mm256_sub_epi16(g16, b16),
        _mm256_and_si256(_mm256_cvtepi8_epi16(greenBelowBlue), _mm256_add_epi16(d4, d2)));
    const __m256i greenSector = _mm256_add_epi16(_mm256_sub_epi16(b16, r16), d2);
    const __m256i blueSector = _mm256_add_epi16(_mm256_sub_epi16(r16, g16), d4);
    const __m256i sector = _mm256_or_si256(
        _mm256_or_si256(_mm256_and_si256(_mm256_cvtepi8_epi16(redIsMax), redSector),
                        _mm256_and_si256(_mm256_cvtepi8_epi16(greenIsMax), greenSector)),
        _mm256_and_si256(_mm256_cvtepi8_epi16(blueIsMax), blueSector));
    const __m256i tableIndex =
        _mm256_or_si256(_mm256_slli_epi16(_mm256_cvtepu8_epi16(max), 8), _mm256_cvtepu8_epi16(min));

    __m256i hue[2];
    __m256i wholeHue[2];
    __m256i saturation[2];
    for (const int half : {0, 1}) {
        // Exact floors: numerator and denominator are whole numbers below 2^24, so the
        // correctly rounded quotient truncates to the floor, and a whole quotient is
        // exact. Grey (d = 0) divides 0 by 1.
        const __m256 dFloat = FloatsAvx2(d16, half);
        const __m256 denominator =
            _mm256_max_ps(_mm256_add_ps(dFloat, dFloat), _mm256_set1_ps(1.0f));
        const __m256 numerator = _mm256_mul_ps(FloatsAvx2(sector, half), _mm256_set1_ps(85.0f));
        hue[half] = _mm256_cvttps_epi32(_mm256_div_ps(numerator, denominator));
        const __m256 whole = _mm256_cmp_ps(
            _mm256_mul_ps(_mm256_cvtepi32_ps(hue[half]), denominator), numerator, _CMP_EQ_OQ);
        const __m256 isDoubtful = _mm256_castsi256_ps(
            _mm256_cvtepi8_epi32(half ? _mm_srli_si128(doubtful, 8) : doubtful));
        wholeHue[half] = _mm256_castps_si256(_mm256_and_ps(whole, isDoubtful));
        const __m256i index = _mm256_cvtepu16_epi32(half ? _mm256_extracti128_si256(tableIndex, 1)
                                                         : _mm256_castsi256_si128(tableIndex));
        saturation[half] = _mm256_and_si256(
            _mm256_i32gather_epi32(reinterpret_cast<const int*>(saturationTable), index, 1),
            _mm256_set1_epi32(0xFF));
    }
    __m128i hueBytes = BytesAvx2(hue);
    const __m128i wholeLanes = MaskBytesAvx2(wholeHue);
    if (const int lanes = _mm_movemask_epi8(wholeLanes))
        hueBytes = _mm_blendv_epi8(hueBytes, HueFromDoublesAvx2(r, g, b, lanes), wholeLanes);
    const auto store = [](std::uint8_t* out, __m128i values) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), values);
    };
    store(red, hueBytes);
    store(green, BytesAvx2(saturation));
    store(blue, Brightness(max));
}

#endif
#endif

/// The pixels [0, count) with a 16-pixel kernel, those it marks and the rest with
/// the tables.
template <typename Kernel>
void ConvertHsvRangeWith(Kernel kernel, const THsvTables& tables, std::uint8_t* red,
                         std::uint8_t* green, std::uint8_t* blue, std::size_t count)
{
    std::size_t i = 0;
    for (; i + 16 <= count; i += 16) {
        std::uint8_t r[16], g[16], b[16];
        std::copy_n(red + i, 16, r);
        std::copy_n(green + i, 16, g);
        std::copy_n(blue + i, 16, b);
        for (int lanes = kernel(red + i, green + i, blue + i); lanes != 0; lanes &= lanes - 1) {
            const int lane = __builtin_ctz(unsigned(lanes));
            tables.Convert(r[lane], g[lane], b[lane]);
            red[i + lane] = r[lane];
            green[i + lane] = g[lane];
            blue[i + lane] = b[lane];
        }
    }
    for (; i < count; ++i)
        tables.Convert(red[i], green[i], blue[i]);
}

std::atomic<THsvKernel> hsvKernel{THsvKernel::Best};

void ConvertHsvRange(const THsvTables& tables, std::uint8_t* red, std::uint8_t* green,
                     std::uint8_t* blue, std::size_t count)
{
    const THsvKernel kernel = hsvKernel.load(std::memory_order_relaxed);
#if defined(VARNOLUX_HAVE_AVX2_KERNEL)
    if (kernel == THsvKernel::Best && HasAvx2()) {
        std::size_t i = 0;
        for (; i + 16 <= count; i += 16)
            ConvertSixteenAvx2(red + i, green + i, blue + i, tables.SaturationTable());
        for (; i < count; ++i)
            tables.Convert(red[i], green[i], blue[i]);
        return;
    }
#endif
#if defined(__SSE2__)
    if (kernel != THsvKernel::Scalar)
        return ConvertHsvRangeWith(ConvertSixteen, tables, red, green, blue, count);
#endif
    for (std::size_t i = 0; i < count; ++i)
        tables.Convert(red[i], green[i], blue[i]);
}

void ConvertHsvLine(std::span<std::uint8_t> first, std::span<std::uint8_t> second,
                    std::span<std::uint8_t> third)
{
    const THsvTables& tables = HsvTables();
    const std::size_t count = std::min({first.size(), second.size(), third.size()});
    // Pixels in blocks of 4096, the blocks across threads.
    constexpr std::size_t BlockSize = 4096;
    const int blocks = int((count + BlockSize - 1) / BlockSize);
    ForEachBlock(blocks, 6 * BlockSize, [&](int firstBlock, int lastBlock) {
        const std::size_t begin = std::size_t(firstBlock) * BlockSize;
        const std::size_t end = std::min(count, std::size_t(lastBlock) * BlockSize);
        ConvertHsvRange(tables, first.data() + begin, second.data() + begin, third.data() + begin,
                        end - begin);
    });
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

void UseHsvKernel(THsvKernel kernel)
{
    hsvKernel.store(kernel, std::memory_order_relaxed);
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
