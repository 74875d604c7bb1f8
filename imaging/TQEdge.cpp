#include "imaging/TQEdge.h"

#include "imaging/TQROIL.h"

#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace varnolux {

namespace {

/// Whether the pixel at row y of a column is an outline point: its byte is 1 and one
/// of its 4-neighbours is 0 (a column outside the plane is all zeros; a byte of 2
/// counts as set but is never itself a point).
bool IsOutline(const std::uint8_t* left, const std::uint8_t* column, const std::uint8_t* right,
               int y, int height)
{
    return column[y] == 1 && (left[y] == 0 || right[y] == 0 || y == 0 || column[y - 1] == 0 ||
                              y == height - 1 || column[y + 1] == 0);
}

/// The rows [first, last) of one column, 16 at a time: a block without a point, the
/// usual case inside and outside an area, costs a few vector operations.
template <typename AddPoint>
void ExtractRows(const std::uint8_t* left, const std::uint8_t* column, const std::uint8_t* right,
                 int first, int last, int height, AddPoint&& add)
{
    int y = first;
#if defined(__SSE2__)
    const __m128i ones = _mm_set1_epi8(1);
    const __m128i zeros = _mm_setzero_si128();
    const auto load = [](const std::uint8_t* bytes) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
    };
    for (; y + 16 <= last; y += 16) {
        const __m128i isOne = _mm_cmpeq_epi8(load(column + y), ones);
        const __m128i zeroNeighbour =
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(load(left + y), zeros),
                                      _mm_cmpeq_epi8(load(right + y), zeros)),
                         _mm_or_si128(_mm_cmpeq_epi8(load(column + y - 1), zeros),
                                      _mm_cmpeq_epi8(load(column + y + 1), zeros)));
        for (int bits = _mm_movemask_epi8(_mm_and_si128(isOne, zeroNeighbour)); bits != 0;
             bits &= bits - 1)
            add(y + __builtin_ctz(unsigned(bits)));
    }
#endif
    for (; y < last; ++y)
        if (IsOutline(left, column, right, y, height))
            add(y);
}

} // namespace

void TQEdge::Extract(const TQROIL& roi)
{
    Clear();
    const int width = roi.Width();
    const int height = roi.Height();
    if (width <= 0 || height <= 0)
        return;
    const std::vector<std::uint8_t> outside(std::size_t(height), 0);
    const TPlane<std::uint8_t>& mask = roi.Mask();
    for (int x = 0; x < width; ++x) {
        const std::uint8_t* left = x > 0 ? mask[x - 1] : outside.data();
        const std::uint8_t* right = x + 1 < width ? mask[x + 1] : outside.data();
        const std::uint8_t* column = mask[x];
        const auto add = [&](int y) {
            AddPoint(x, y, roi.OriginX, roi.OriginY);
        };
        // The first and last rows have a neighbour outside; the rows between read both
        // of theirs from the column.
        if (IsOutline(left, column, right, 0, height))
            add(0);
        if (height > 2)
            ExtractRows(left, column, right, 1, height - 1, height, add);
        if (height > 1 && IsOutline(left, column, right, height - 1, height))
            add(height - 1);
    }
}

} // namespace varnolux
