#pragma once

#include "imaging/KernelThreads.h"

#include <algorithm>
#include <cstddef>

namespace varnolux {

/// Columns per tile: a bitmap row piece of 64 pixels is three whole cache lines.
inline constexpr int TileWidth = 64;
/// Rows per tile: 64 plane columns of this many bytes stay in the first-level cache.
inline constexpr int TileHeight = 128;

/// Visits the columns [x0, x1) and rows [y0, y1) tile by tile, calling
/// visit(xBegin, xEnd, yBegin, yEnd) for each tile, tiles of one column of tiles from
/// the top. Column planes are then read and bitmap rows written in cache-sized
/// pieces, where a plain row-by-row loop over column planes would touch a new cache
/// line for every pixel. Columns of tiles may run on several threads (ForEachBlock),
/// so visit must only write inside its tile; bytesPerPixel is the work estimate.
template <typename Visit>
void ForEachTile(int x0, int x1, int y0, int y1, std::size_t bytesPerPixel, Visit&& visit)
{
    if (x0 >= x1 || y0 >= y1)
        return;
    const int tileColumns = (x1 - x0 + TileWidth - 1) / TileWidth;
    const std::size_t bytesPerTileColumn =
        std::size_t(TileWidth) * std::size_t(y1 - y0) * bytesPerPixel;
    ForEachBlock(tileColumns, bytesPerTileColumn, [&](int first, int last) {
        for (int tile = first; tile < last; ++tile) {
            const int xBegin = x0 + tile * TileWidth;
            const int xEnd = std::min(x1, xBegin + TileWidth);
            for (int yBegin = y0; yBegin < y1; yBegin += TileHeight)
                visit(xBegin, xEnd, yBegin, std::min(y1, yBegin + TileHeight));
        }
    });
}

} // namespace varnolux
