#include "imaging/HsvKernels.h"

#if defined(VARNOLUX_HAVE_AVX2_KERNEL)

#include <algorithm>
#include <immintrin.h>

#define VARNOLUX_AVX2 inline __attribute__((target("avx2"), always_inline))

namespace varnolux {

namespace {

/// The bytes in first … last on multiples of step from first (step a power of two).
VARNOLUX_AVX2 __m256i OnSteps(__m256i max, int first, int last, int step)
{
    const __m256i offset = _mm256_sub_epi8(max, _mm256_set1_epi8(char(first)));
    const __m256i inRange =
        _mm256_cmpeq_epi8(_mm256_min_epu8(offset, _mm256_set1_epi8(char(last - first))), offset);
    const __m256i onStep = _mm256_cmpeq_epi8(
        _mm256_and_si256(offset, _mm256_set1_epi8(char(step - 1))), _mm256_setzero_si256());
    return _mm256_and_si256(inRange, onStep);
}

/// Brightness from the largest component: one less at 33, 37, … 61, at 66, 74, … 122
/// and at 132, 148, … 244, where the multiplication by the double nearest 1/255
/// lands just below.
VARNOLUX_AVX2 __m256i Brightness(__m256i max)
{
    const __m256i lower =
        _mm256_or_si256(_mm256_or_si256(OnSteps(max, 33, 61, 4), OnSteps(max, 66, 122, 8)),
                        OnSteps(max, 132, 244, 16));
    return _mm256_add_epi8(max, lower); // lanes of lower are −1 or 0
}

/// The floors of two quotients of whole numbers below 2^24 (hue: denominator at most
/// 510; saturation: at most 255; both quotients below 256) from one division: a
/// fraction lies at least 1 / 510 from the next whole number, and the three roundings
/// of the products leave each quotient within 10^-4 of its value, so adding 1 / 1024
/// and truncating gives the floor. A floor times its denominator tells whether it is
/// the quotient itself.
struct TFloors {
    __m256i Values;
    __m256i Whole;
};

VARNOLUX_AVX2 TFloors Floors(__m256 approximate, __m256 numerator, __m256 denominator)
{
    const __m256i floor =
        _mm256_cvttps_epi32(_mm256_add_ps(approximate, _mm256_set1_ps(1.0f / 1024.0f)));
    const __m256 whole =
        _mm256_cmp_ps(_mm256_mul_ps(_mm256_cvtepi32_ps(floor), denominator), numerator, _CMP_EQ_OQ);
    return {floor, _mm256_castps_si256(whole)};
}

/// Results of pixels in 32-bit lanes (eight), 16-bit lanes (sixteen) or bytes: hue and
/// saturation as exact floors of 85 · T / (2 · d) and 255 · d / max, and whether each
/// is the quotient itself.
struct TLanes {
    __m256i Hue;
    __m256i Saturation;
    __m256i HueWhole;
    __m256i SaturationWhole;
};

VARNOLUX_AVX2 TLanes ConvertEight(__m256i sector, __m256i d, __m256i max)
{
    const __m256 one = _mm256_set1_ps(1.0f);
    const __m256 dFloat = _mm256_cvtepi32_ps(d);
    const __m256 hueNumerator = _mm256_mul_ps(_mm256_cvtepi32_ps(sector), _mm256_set1_ps(85.0f));
    const __m256 hueDenominator = _mm256_max_ps(_mm256_add_ps(dFloat, dFloat), one);
    const __m256 saturationNumerator = _mm256_mul_ps(dFloat, _mm256_set1_ps(255.0f));
    const __m256 saturationDenominator = _mm256_max_ps(_mm256_cvtepi32_ps(max), one);
    const __m256 reciprocal =
        _mm256_div_ps(one, _mm256_mul_ps(hueDenominator, saturationDenominator));
    const TFloors hue =
        Floors(_mm256_mul_ps(_mm256_mul_ps(hueNumerator, saturationDenominator), reciprocal),
               hueNumerator, hueDenominator);
    const TFloors saturation =
        Floors(_mm256_mul_ps(_mm256_mul_ps(saturationNumerator, hueDenominator), reciprocal),
               saturationNumerator, saturationDenominator);
    return {hue.Values, saturation.Values, hue.Whole, saturation.Whole};
}

VARNOLUX_AVX2 __m256i EqualsAny(__m256i bytes, char a, char b)
{
    return _mm256_or_si256(_mm256_cmpeq_epi8(bytes, _mm256_set1_epi8(a)),
                           _mm256_cmpeq_epi8(bytes, _mm256_set1_epi8(b)));
}

/// The pixels whose results RgbToHsv's doubles may put just below a whole quotient: all
/// whole ones but those the doubles reach exactly (hue 0, 85, 170 where the two smaller
/// components are equal, saturation 0 of grey and 255 of a colour with a zero
/// component). Bit i for pixel i.
struct TDoubtful {
    unsigned Hue;
    unsigned Saturation;
};

VARNOLUX_AVX2 TDoubtful Doubtful(const TLanes& bytes)
{
    const __m256i exactHue = _mm256_or_si256(
        EqualsAny(bytes.Hue, 0, 85), _mm256_cmpeq_epi8(bytes.Hue, _mm256_set1_epi8(char(170))));
    const __m256i exactSaturation = EqualsAny(bytes.Saturation, 0, char(255));
    return {unsigned(_mm256_movemask_epi8(_mm256_andnot_si256(exactHue, bytes.HueWhole))),
            unsigned(
                _mm256_movemask_epi8(_mm256_andnot_si256(exactSaturation, bytes.SaturationWhole)))};
}

VARNOLUX_AVX2 __m256i Load(const std::uint8_t* bytes)
{
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes));
}

VARNOLUX_AVX2 void Store(std::uint8_t* bytes, __m256i values)
{
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(bytes), values);
}

/// The low or high half of each 128-bit half, widened: bytes to 16-bit lanes with
/// zeros, byte masks to 16-bit masks, 16-bit lanes to 32-bit lanes with zeros. The
/// packs that narrow them again work within 128-bit halves too, so the results come
/// back in pixel order.
VARNOLUX_AVX2 __m256i Widen(__m256i bytes, bool high)
{
    return high ? _mm256_unpackhi_epi8(bytes, _mm256_setzero_si256())
                : _mm256_unpacklo_epi8(bytes, _mm256_setzero_si256());
}

VARNOLUX_AVX2 __m256i WidenMask(__m256i mask, bool high)
{
    return high ? _mm256_unpackhi_epi8(mask, mask) : _mm256_unpacklo_epi8(mask, mask);
}

VARNOLUX_AVX2 __m256i Widen32(__m256i words, bool high)
{
    return high ? _mm256_unpackhi_epi16(words, _mm256_setzero_si256())
                : _mm256_unpacklo_epi16(words, _mm256_setzero_si256());
}

/// Thirty-two pixels' components, their extremes and which of them is the largest.
struct TThirtyTwo {
    __m256i r, g, b, max, min, d;
    // The first of two equal largest components wins, as in RgbToHsv.
    __m256i redIsMax, greenIsMax, blueIsMax;
    __m256i greenBelowBlue;
};

VARNOLUX_AVX2 TThirtyTwo LoadThirtyTwo(const THsvPixels& pixels)
{
    TThirtyTwo p;
    p.r = Load(pixels.Red);
    p.g = Load(pixels.Green);
    p.b = Load(pixels.Blue);
    p.max = _mm256_max_epu8(_mm256_max_epu8(p.r, p.g), p.b);
    p.min = _mm256_min_epu8(_mm256_min_epu8(p.r, p.g), p.b);
    p.d = _mm256_sub_epi8(p.max, p.min);
    p.redIsMax = _mm256_cmpeq_epi8(p.r, p.max);
    p.greenIsMax = _mm256_andnot_si256(p.redIsMax, _mm256_cmpeq_epi8(p.g, p.max));
    p.blueIsMax = _mm256_andnot_si256(_mm256_or_si256(p.redIsMax, p.greenIsMax),
                                      _mm256_cmpeq_epi8(p.b, p.max));
    p.greenBelowBlue = _mm256_andnot_si256(_mm256_cmpeq_epi8(p.g, p.b),
                                           _mm256_cmpeq_epi8(_mm256_min_epu8(p.g, p.b), p.g));
    return p;
}

/// The 32-bit lanes of two sets of eight as 16-bit lanes, or 16-bit lanes of two sets of
/// sixteen as bytes (saturating; masks stay masks).
VARNOLUX_AVX2 TLanes PackWords(const TLanes& low, const TLanes& high)
{
    return {_mm256_packs_epi32(low.Hue, high.Hue),
            _mm256_packs_epi32(low.Saturation, high.Saturation),
            _mm256_packs_epi32(low.HueWhole, high.HueWhole),
            _mm256_packs_epi32(low.SaturationWhole, high.SaturationWhole)};
}

VARNOLUX_AVX2 TLanes PackBytes(const TLanes& low, const TLanes& high)
{
    return {_mm256_packus_epi16(low.Hue, high.Hue),
            _mm256_packus_epi16(low.Saturation, high.Saturation),
            _mm256_packs_epi16(low.HueWhole, high.HueWhole),
            _mm256_packs_epi16(low.SaturationWhole, high.SaturationWhole)};
}

/// Sixteen of the thirty-two pixels in 16-bit lanes: the low or high half of each
/// 128-bit half.
VARNOLUX_AVX2 TLanes ConvertSixteen(const TThirtyTwo& p, bool high)
{
    const __m256i r16 = Widen(p.r, high);
    const __m256i g16 = Widen(p.g, high);
    const __m256i b16 = Widen(p.b, high);
    const __m256i d16 = Widen(p.d, high);
    const __m256i max16 = Widen(p.max, high);
    const __m256i d2 = _mm256_add_epi16(d16, d16);
    const __m256i d4 = _mm256_add_epi16(d2, d2);
    const __m256i redSector = _mm256_add_epi16(
        _mm256_sub_epi16(g16, b16),
        _mm256_and_si256(WidenMask(p.greenBelowBlue, high), _mm256_add_epi16(d4, d2)));
    const __m256i greenSector = _mm256_add_epi16(_mm256_sub_epi16(b16, r16), d2);
    const __m256i blueSector = _mm256_add_epi16(_mm256_sub_epi16(r16, g16), d4);
    const __m256i sector = _mm256_or_si256(
        _mm256_or_si256(_mm256_and_si256(WidenMask(p.redIsMax, high), redSector),
                        _mm256_and_si256(WidenMask(p.greenIsMax, high), greenSector)),
        _mm256_and_si256(WidenMask(p.blueIsMax, high), blueSector));
    return PackWords(
        ConvertEight(Widen32(sector, false), Widen32(d16, false), Widen32(max16, false)),
        ConvertEight(Widen32(sector, true), Widen32(d16, true), Widen32(max16, true)));
}

/// Converts thirty-two pixels from their exact quotients; returns those to correct, and
/// their largest and smallest components.
VARNOLUX_AVX2 TDoubtful ConvertThirtyTwo(const THsvPixels& pixels, std::uint8_t* maxima,
                                         std::uint8_t* minima)
{
    const TThirtyTwo p = LoadThirtyTwo(pixels);
    Store(maxima, p.max);
    Store(minima, p.min);
    const TLanes results = PackBytes(ConvertSixteen(p, false), ConvertSixteen(p, true));
    Store(pixels.Hue, results.Hue);
    Store(pixels.Saturation, results.Saturation);
    Store(pixels.Brightness, Brightness(p.max));
    return Doubtful(results);
}

} // namespace

__attribute__((target("avx2"))) void
ConvertHsvRangeAvx2(const THsvTables& tables, const THsvPixels& pixels, std::size_t count)
{
    // The doubtful pixels are corrected after each chunk, from bit masks: a test per
    // thirty-two pixels would be mispredicted most of the time.
    constexpr std::size_t Chunk = 4096;
    std::uint32_t hueDoubtful[Chunk / 32];
    std::uint32_t saturationDoubtful[Chunk / 32];
    std::uint8_t maxima[Chunk];
    std::uint8_t minima[Chunk];
    std::size_t begin = 0;
    while (count - begin >= 32) {
        const std::size_t blocks = std::min(Chunk, count - begin) / 32;
        const THsvPixels chunk = pixels.From(begin);
        for (std::size_t block = 0; block < blocks; ++block) {
            const TDoubtful doubtful =
                ConvertThirtyTwo(chunk.From(block * 32), maxima + block * 32, minima + block * 32);
            hueDoubtful[block] = doubtful.Hue;
            saturationDoubtful[block] = doubtful.Saturation;
        }
        chunk.CorrectDoubtful(tables, std::span(hueDoubtful, blocks),
                              std::span(saturationDoubtful, blocks), maxima, minima);
        begin += blocks * 32;
    }
    for (; begin < count; ++begin)
        pixels.ConvertOne(tables, begin);
}

} // namespace varnolux

#endif
