#include "analysis/AnalysisSteps.h"
#include "imaging/KernelThreads.h"
#include "imaging/TQROIRGB.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace varnolux {

namespace {

/// A channel's limits as one unsigned comparison: a value passes when
/// (value − Offset) mod 256 ≤ Span, or when it does not if Invert. A wrapping range
/// (hi ≤ lo) fails only strictly between hi and lo.
struct TChannelTest {
    std::uint8_t Offset = 0;
    std::uint8_t Span = 255;
    bool Invert = false;

    TChannelTest(int lo, int hi)
    {
        if (hi > lo) {
            Offset = std::uint8_t(lo);
            Span = std::uint8_t(hi - lo);
        } else if (lo - hi >= 2) {
            Offset = std::uint8_t(hi + 1);
            Span = std::uint8_t(lo - hi - 2);
            Invert = true;
        }
    }

    bool Passes(std::uint8_t value) const
    {
        return (std::uint8_t(value - Offset) <= Span) != Invert;
    }
};

#if defined(__SSE2__)
/// 0xFF in the lanes that pass.
__m128i PassingLanes(__m128i values, const TChannelTest& test)
{
    const __m128i shifted = _mm_sub_epi8(values, _mm_set1_epi8(char(test.Offset)));
    const __m128i inside =
        _mm_cmpeq_epi8(_mm_min_epu8(shifted, _mm_set1_epi8(char(test.Span))), shifted);
    return test.Invert ? _mm_xor_si128(inside, _mm_set1_epi8(char(0xFF))) : inside;
}
#endif

void ClassifyColumn(std::uint8_t* mask, const std::uint8_t* h, const std::uint8_t* s,
                    const std::uint8_t* v, int height, const std::array<TChannelTest, 3>& tests)
{
    int y = 0;
#if defined(__SSE2__)
    const auto load = [](const std::uint8_t* bytes) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
    };
    for (; y + 16 <= height; y += 16) {
        const __m128i passes = _mm_and_si128(PassingLanes(load(h + y), tests[0]),
                                             _mm_and_si128(PassingLanes(load(s + y), tests[1]),
                                                           PassingLanes(load(v + y), tests[2])));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(mask + y),
                         _mm_and_si128(load(mask + y), passes));
    }
#endif
    for (; y < height; ++y)
        if (mask[y] && !(tests[0].Passes(h[y]) && tests[1].Passes(s[y]) && tests[2].Passes(v[y])))
            mask[y] = 0;
}

} // namespace

void ClassifyPixels(TQROIRGB& hsv, const TColourRange& limits)
{
    const std::array<TChannelTest, 3> tests = {TChannelTest(limits[HMin], limits[HMax]),
                                               TChannelTest(limits[SMin], limits[SMax]),
                                               TChannelTest(limits[VMin], limits[VMax])};
    // Every pixel is decided on its own, so the columns may go in any order.
    ForEachBlock(hsv.Width(), 4 * std::size_t(hsv.Height()), [&](int x0, int x1) {
        for (int x = x0; x < x1; ++x)
            ClassifyColumn(hsv.Mask()[x], hsv.Red()[x], hsv.Green()[x], hsv.Blue()[x], hsv.Height(),
                           tests);
    });
}

} // namespace varnolux
