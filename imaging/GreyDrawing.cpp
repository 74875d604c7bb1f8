#include "imaging/GreyDrawing.h"

#include "imaging/CpuFeatures.h"
#include "imaging/TGreyBitmap.h"

#include <algorithm>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define VARNOLUX_HAVE_AVX2_KERNEL 1
#endif

namespace varnolux {

namespace {

constexpr int MaxColumns = 64;

struct TColumns {
    const std::uint8_t* mask[MaxColumns];
    const std::uint8_t* values[MaxColumns];
};

std::uint8_t Grey(const TColumns& columns, int i, int y)
{
    return columns.mask[i][y] ? columns.values[i][y] : 0;
}

/// Columns [first, last) of the tile (indices into columns, pixel first at xFirst).
void DrawScalar(const TColumns& columns, TGreyBitmap& picture, int xFirst, int first, int last,
                int yBegin, int yEnd)
{
    for (int y = yBegin; y < yEnd; ++y) {
        std::uint8_t* pixels = picture.Row(y).data() + xFirst;
        for (int i = first; i < last; ++i)
            pixels[i - first] = Grey(columns, i, y);
    }
}

#if defined(VARNOLUX_HAVE_AVX2_KERNEL)
/// Blocks of 16 × 16 pixels: 16 column pieces are loaded, masked and transposed into
/// 16 row pieces.
__attribute__((target("avx2"))) void DrawBlocksAvx2(const TColumns& columns, TGreyBitmap& picture,
                                                    int xBegin, int blockColumns, int yBegin,
                                                    int blockRows)
{
    for (int blockRow = 0; blockRow < blockRows; ++blockRow) {
        const int y = yBegin + 16 * blockRow;
        for (int blockColumn = 0; blockColumn < blockColumns; ++blockColumn) {
            __m128i pieces[16];
            __m128i shuffled[16];
            for (int i = 0; i < 16; ++i) {
                const int column = 16 * blockColumn + i;
                const __m128i mask =
                    _mm_loadu_si128(reinterpret_cast<const __m128i*>(columns.mask[column] + y));
                const __m128i values =
                    _mm_loadu_si128(reinterpret_cast<const __m128i*>(columns.values[column] + y));
                pieces[i] = _mm_andnot_si128(_mm_cmpeq_epi8(mask, _mm_setzero_si128()), values);
            }
            // Four rounds of interleaving transpose a 16 × 16 block of bytes.
            for (int round = 0; round < 4; ++round) {
                for (int i = 0; i < 8; ++i) {
                    shuffled[2 * i] = _mm_unpacklo_epi8(pieces[i], pieces[i + 8]);
                    shuffled[2 * i + 1] = _mm_unpackhi_epi8(pieces[i], pieces[i + 8]);
                }
                std::copy_n(shuffled, 16, pieces);
            }
            for (int row = 0; row < 16; ++row)
                _mm_storeu_si128(reinterpret_cast<__m128i*>(picture.Row(y + row).data() + xBegin +
                                                            16 * blockColumn),
                                 pieces[row]);
        }
    }
}
#endif

} // namespace

void DrawMaskedGrey(const TPlane<std::uint8_t>& mask, const TPlane<std::uint8_t>& values,
                    TGreyBitmap& picture, int xBegin, int xEnd, int yBegin, int yEnd)
{
    const int count = std::min(xEnd - xBegin, MaxColumns);
    if (count <= 0 || yBegin >= yEnd)
        return;
    TColumns columns;
    for (int i = 0; i < count; ++i) {
        columns.mask[i] = mask[xBegin + i];
        columns.values[i] = values[xBegin + i];
    }
    int vectorColumns = 0;
    int vectorRows = 0;
#if defined(VARNOLUX_HAVE_AVX2_KERNEL)
    if (HasAvx2()) {
        vectorColumns = count / 16 * 16;
        vectorRows = (yEnd - yBegin) / 16 * 16;
        DrawBlocksAvx2(columns, picture, xBegin, vectorColumns / 16, yBegin, vectorRows / 16);
    }
#endif
    // The columns right of the blocks, then the rows below them.
    DrawScalar(columns, picture, xBegin + vectorColumns, vectorColumns, count, yBegin, yEnd);
    DrawScalar(columns, picture, xBegin, 0, vectorColumns, yBegin + vectorRows, yEnd);
}

} // namespace varnolux
