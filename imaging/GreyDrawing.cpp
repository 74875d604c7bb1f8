#include "imaging/GreyDrawing.h"

#include "imaging/CpuFeatures.h"
#include "imaging/TBitmap24.h"

#include <algorithm>
#include <cstring>

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
void DrawScalar(const TColumns& columns, TBitmap24& bitmap, int xFirst, int first, int last,
                int yBegin, int yEnd)
{
    if (first >= last)
        return;
    for (int y = yBegin; y < yEnd; ++y) {
        std::uint8_t* pixels = bitmap.Row(y).data() + std::size_t(xFirst) * 3;
        // One four-byte store per pixel, its fourth byte the next pixel's first,
        // written right after; the last pixel gets three bytes.
        for (int i = first; i < last - 1; ++i) {
            const std::uint32_t triple = std::uint32_t(Grey(columns, i, y)) * 0x010101u;
            std::memcpy(pixels + std::size_t(i - first) * 3, &triple, 4);
        }
        std::fill_n(pixels + std::size_t(last - 1 - first) * 3, 3, Grey(columns, last - 1, y));
    }
}

#if defined(VARNOLUX_HAVE_AVX2_KERNEL)
/// Blocks of 16 × 16 pixels: 16 column pieces are loaded, masked, transposed into
/// 16 row pieces and spread to blue, green, red with three byte shuffles.
__attribute__((target("avx2"))) void DrawBlocksAvx2(const TColumns& columns, TBitmap24& bitmap,
                                                    int xBegin, int blockColumns, int yBegin,
                                                    int blockRows)
{
    const __m128i spread[3] = {
        _mm_setr_epi8(0, 0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5),
        _mm_setr_epi8(5, 5, 6, 6, 6, 7, 7, 7, 8, 8, 8, 9, 9, 9, 10, 10),
        _mm_setr_epi8(10, 11, 11, 11, 12, 12, 12, 13, 13, 13, 14, 14, 14, 15, 15, 15),
    };
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
            for (int row = 0; row < 16; ++row) {
                auto* out = reinterpret_cast<__m128i*>(bitmap.Row(y + row).data() +
                                                       std::size_t(xBegin + 16 * blockColumn) * 3);
                for (int part = 0; part < 3; ++part)
                    _mm_storeu_si128(out + part, _mm_shuffle_epi8(pieces[row], spread[part]));
            }
        }
    }
}
#endif

} // namespace

void DrawMaskedGrey(const TPlane<std::uint8_t>& mask, const TPlane<std::uint8_t>& values,
                    TBitmap24& bitmap, int xBegin, int xEnd, int yBegin, int yEnd)
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
        DrawBlocksAvx2(columns, bitmap, xBegin, vectorColumns / 16, yBegin, vectorRows / 16);
    }
#endif
    // The columns right of the blocks, then the rows below them.
    DrawScalar(columns, bitmap, xBegin + vectorColumns, vectorColumns, count, yBegin, yEnd);
    DrawScalar(columns, bitmap, xBegin, 0, vectorColumns, yBegin + vectorRows, yEnd);
}

} // namespace varnolux
