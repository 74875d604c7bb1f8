#pragma once

// What the SSE2 and AVX2 kernels of the HSV conversion share: sixteen pixels loaded
// with their extremes, and the brightness bytes.

#include <cstdint>
#include <immintrin.h>

namespace varnolux {

/// lands just below.
inline __m128i Brightness(__m128i max)
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

} // namespace varnolux
