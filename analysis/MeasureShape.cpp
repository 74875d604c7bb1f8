#include "analysis/MeasureShape.h"

#include "imaging/KernelThreads.h"
#include "imaging/TQROIL.h"

#include <mutex>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace varnolux {

namespace {

/// Counts the windows between two neighbouring columns; a column outside the plane
/// is all zeros.
void CountColumnPair(std::span<const std::uint8_t> left, std::span<const std::uint8_t> right,
                     TBitQuadCounts& counts)
{
    const auto set = [](std::uint8_t byte) {
        return byte != 0 ? 1 : 0;
    };
    const size_t height = left.size();
    // The window hanging over the top edge.
    ++counts[set(left[0]) + 3 * set(right[0])];
    for (size_t y = 0; y + 1 < height; ++y)
        ++counts[3 * set(left[y]) + set(right[y]) + set(left[y + 1]) + 3 * set(right[y + 1])];
    // The window hanging over the bottom edge.
    ++counts[3 * set(left[height - 1]) + set(right[height - 1])];
}

struct TAreaParts {
    std::int64_t setPixels = 0; // of the left columns
    std::int64_t extraEighths = 0;
};

/// The windows between two neighbouring columns; a column outside the plane is all
/// zeros. Adds the set pixels of the left column and the extra eighths.
void AddColumnPair(const std::uint8_t* left, const std::uint8_t* right, int height,
                   TAreaParts& parts)
{
    const auto set = [](std::uint8_t byte) {
        return byte != 0 ? 1 : 0;
    };
    // The windows hanging over the top and the bottom edge.
    parts.extraEighths += BitQuadExtraEighths(0, 0, set(left[0]), set(right[0]));
    parts.extraEighths += BitQuadExtraEighths(set(left[height - 1]), set(right[height - 1]), 0, 0);
    int y = 0;
#if defined(__SSE2__)
    const __m128i ones = _mm_set1_epi8(1);
    const __m128i twos = _mm_set1_epi8(2);
    const __m128i threes = _mm_set1_epi8(3);
    const auto load = [&](const std::uint8_t* bytes) {
        return _mm_min_epu8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes)), ones);
    };
    __m128i pixels = _mm_setzero_si128();
    __m128i extra = _mm_setzero_si128();
    for (; y + 17 <= height; y += 16) {
        const __m128i tl = load(left + y);
        const __m128i tr = load(right + y);
        const __m128i bl = load(left + y + 1);
        const __m128i br = load(right + y + 1);
        const __m128i count = _mm_add_epi8(_mm_add_epi8(tl, tr), _mm_add_epi8(bl, br));
        const __m128i three = _mm_and_si128(_mm_cmpeq_epi8(count, threes), ones);
        const __m128i diagonal =
            _mm_and_si128(_mm_and_si128(_mm_cmpeq_epi8(count, twos), _mm_cmpeq_epi8(tl, br)), twos);
        pixels = _mm_add_epi64(pixels, _mm_sad_epu8(tl, _mm_setzero_si128()));
        extra =
            _mm_add_epi64(extra, _mm_sad_epu8(_mm_or_si128(three, diagonal), _mm_setzero_si128()));
    }
    const auto total = [](__m128i sums) {
        std::int64_t halves[2];
        _mm_storeu_si128(reinterpret_cast<__m128i*>(halves), sums);
        return halves[0] + halves[1];
    };
    parts.setPixels += total(pixels);
    parts.extraEighths += total(extra);
#endif
    for (; y + 1 < height; ++y) {
        parts.setPixels += set(left[y]);
        parts.extraEighths +=
            BitQuadExtraEighths(set(left[y]), set(right[y]), set(left[y + 1]), set(right[y + 1]));
    }
    parts.setPixels += set(left[height - 1]);
}

} // namespace

std::int64_t BitQuadAreaEighths(const TQROIL& roi)
{
    const int width = roi.Width();
    const int height = roi.Height();
    if (width <= 0 || height <= 0)
        return 0;
    const std::vector<std::uint8_t> outside(size_t(height), 0);
    const auto& mask = roi.Mask();
    TAreaParts total;
    std::mutex mutex;
    // Item x is the pair of columns x − 1 and x, for x = 0 … width.
    ForEachBlock(width + 1, 2 * size_t(height), [&](int first, int last) {
        TAreaParts parts;
        for (int x = first; x < last; ++x) {
            // The outside column's pixels are not counted: it is only ever a left column
            // at x = 0, whose set-pixel count is 0.
            const std::uint8_t* left = x > 0 ? mask[x - 1] : outside.data();
            const std::uint8_t* right = x < width ? mask[x] : outside.data();
            AddColumnPair(left, right, height, parts);
        }
        const std::lock_guard lock(mutex);
        total.setPixels += parts.setPixels;
        total.extraEighths += parts.extraEighths;
    });
    return 8 * total.setPixels + total.extraEighths;
}

TBitQuadCounts CountBitQuads(const TQROIL& roi)
{
    TBitQuadCounts counts{};
    const int width = roi.Width();
    const int height = roi.Height();
    if (width == 0 || height == 0) {
        counts[0] = std::int64_t(width + 1) * (height + 1);
        return counts;
    }
    const std::vector<std::uint8_t> outside(size_t(height), 0);
    const auto& mask = roi.Mask();
    for (int x = -1; x < width; ++x) {
        const std::span<const std::uint8_t> left = x >= 0 ? mask.Column(x) : outside;
        const std::span<const std::uint8_t> right = x + 1 < width ? mask.Column(x + 1) : outside;
        CountColumnPair(left, right, counts);
    }
    return counts;
}

std::int64_t BitQuadAreaEighths(const TBitQuadCounts& counts)
{
    std::int64_t eighths = 0;
    for (size_t index = 0; index < counts.size(); ++index)
        eighths += counts[index] * BitQuadEighths[index];
    return eighths;
}

TShapeMeasures MeasureShape(const TBitQuadCounts& counts)
{
    const double q1 = double(counts[1] + counts[3]);
    const double q2 = double(counts[4]);
    const double q3 = double(counts[5] + counts[7]);
    const double q4 = double(counts[8]);
    const double qd = double(counts[2] + counts[6]);

    TShapeMeasures measures;
    measures.Area = 0.25 * q1 + 0.5 * q2 + 0.875 * q3 + q4 + 0.75 * qd;
    measures.Perimeter = q2 + (q1 + q3 + 2 * qd) * 0.7071067;
    if (measures.Area > 0 && measures.Perimeter > 0)
        measures.Compactness =
            measures.Perimeter * measures.Perimeter * 0.07957747154594767 / measures.Area;
    measures.Ok = measures.Area > 0;
    return measures;
}

TShapeMeasures MeasureShape(const TQROIL& roi)
{
    return MeasureShape(CountBitQuads(roi));
}

double Area(const TQROIL& roi)
{
    // Exact: the area is a sum of eighths, as MeasureShape's sum of quarters and eighths.
    return double(BitQuadAreaEighths(roi)) / 8.0;
}

} // namespace varnolux
