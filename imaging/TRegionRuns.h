#pragma once

#include "imaging/PixelAllocator.h"

#include <cstddef>
#include <cstdint>

namespace varnolux {

class TQROIL;

/// The pixels whose mask byte equals 1 as vertical runs, grouped into 8-connected
/// regions. Regions are numbered from 0 in the order of their leftmost column and,
/// within it, from the top: region r is label r + 1 of LabelRegions (…, 1).
struct TRegionRuns {
    struct TRun {
        std::int32_t Top;
        std::int32_t Bottom; // exclusive
        std::int32_t Region;
    };

    /// Column by column, each column's runs from the top.
    TPixelVector<TRun> Runs;
    /// The runs of column x are Runs[ColumnStart[x]] up to Runs[ColumnStart[x + 1]].
    TPixelVector<std::size_t> ColumnStart;
    int RegionCount = 0;
    /// The pixel count of every region.
    TPixelVector<std::int64_t> PixelCounts;

    std::size_t ColumnBegin(int x) const { return ColumnStart[std::size_t(x)]; }
    std::size_t ColumnEnd(int x) const { return ColumnStart[std::size_t(x) + 1]; }
};

/// Cuts the mask into runs and joins touching runs of neighbouring columns (a run
/// touches those that overlap it or meet it at a corner) with a union-find; linear in
/// the pixel count for the scan and in the run count for the rest. Fills runs anew,
/// keeping the room its arrays have: a noisy mask has millions of runs, and fresh
/// memory is slow.
void LabelRegionRuns(const TQROIL& roi, TRegionRuns& runs);
TRegionRuns LabelRegionRuns(const TQROIL& roi);

} // namespace varnolux
