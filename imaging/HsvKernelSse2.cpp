#include "imaging/HsvKernels.h"

#if defined(VARNOLUX_HAVE_SSE2_KERNEL)

#include "imaging/HsvKernelParts.h"

#include <algorithm>

namespace varnolux {

namespace {

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

} // namespace

void ConvertHsvRangeSse2(const THsvTables& tables, std::uint8_t* red, std::uint8_t* green,
                         std::uint8_t* blue, std::size_t count)
{
    std::size_t i = 0;
    for (; i + 16 <= count; i += 16) {
        std::uint8_t r[16], g[16], b[16];
        std::copy_n(red + i, 16, r);
        std::copy_n(green + i, 16, g);
        std::copy_n(blue + i, 16, b);
        for (int lanes = ConvertSixteen(red + i, green + i, blue + i); lanes != 0;
             lanes &= lanes - 1) {
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

} // namespace varnolux

#endif
