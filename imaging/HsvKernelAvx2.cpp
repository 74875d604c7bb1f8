#include "imaging/HsvKernels.h"

#if defined(VARNOLUX_HAVE_AVX2_KERNEL)

#include "imaging/ColourFormulas.h"
#include "imaging/HsvKernelParts.h"

namespace varnolux {

namespace {

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

} // namespace

void ConvertHsvRangeAvx2(const THsvTables& tables, std::uint8_t* red, std::uint8_t* green,
                         std::uint8_t* blue, std::size_t count)
{
    std::size_t i = 0;
    for (; i + 16 <= count; i += 16)
        ConvertSixteenAvx2(red + i, green + i, blue + i, tables.SaturationTable());
    for (; i < count; ++i)
        tables.Convert(red[i], green[i], blue[i]);
}

} // namespace varnolux

#endif
