#include "imaging/HsvKernels.h"

#if defined(VARNOLUX_HAVE_SSE2_KERNEL)

#include <immintrin.h>

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

TSixteenPixels LoadSixteen(const std::uint8_t* red, const std::uint8_t* green,
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

/// Converts 16 pixels with the exact rational forms of hue and saturation; those whose
/// quotients were whole numbers again with the tables.
void ConvertSixteen(const THsvTables& tables, const THsvPixels& pixels)
{
    const auto [r, g, b, max, min, d, all, redIsMax, greenIsMax, blueIsMax, greenBelowBlue] =
        LoadSixteen(pixels.Red, pixels.Green, pixels.Blue);
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
    // The colours of whole-quotient pixels, before the results may overwrite them.
    std::uint8_t colours[3][16];
    if (whole != 0) {
        store(colours[0], r);
        store(colours[1], g);
        store(colours[2], b);
    }
    store(pixels.Hue, _mm_packus_epi16(hueWords[0], hueWords[1]));
    store(pixels.Saturation, _mm_packus_epi16(saturationWords[0], saturationWords[1]));
    store(pixels.Brightness, Brightness(max));
    for (int lanes = whole; lanes != 0; lanes &= lanes - 1) {
        const int lane = __builtin_ctz(unsigned(lanes));
        tables.Convert(colours[0][lane], colours[1][lane], colours[2][lane], pixels.Hue[lane],
                       pixels.Saturation[lane], pixels.Brightness[lane]);
    }
}

} // namespace

void ConvertHsvRangeSse2(const THsvTables& tables, const THsvPixels& pixels, std::size_t count)
{
    std::size_t i = 0;
    for (; i + 16 <= count; i += 16)
        ConvertSixteen(tables, pixels.From(i));
    for (; i < count; ++i)
        pixels.ConvertOne(tables, i);
}

} // namespace varnolux

#endif
