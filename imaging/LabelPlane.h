#pragma once

#include "imaging/TPlane.h"

#include <cstdint>

namespace varnolux {

class TQROIL;

/// The neighbour offsets in their fixed order; the first four are the 4-neighbourhood.
inline constexpr int NeighbourDx[8] = {1, -1, 0, 0, 1, 1, -1, -1};
inline constexpr int NeighbourDy[8] = {0, 0, 1, -1, 1, -1, 1, -1};

/// A labelled mask: -1 outside the mask, 1..RegionCount for the regions, numbered in
/// the order of their leftmost column and, within a column, from the top.
struct TLabelPlane {
    TPlane<std::int32_t> Labels;
    int RegionCount = 0;
};

/// Labels the pixels whose mask byte equals 1 into connected regions.
/// connectivity 0: 4-neighbourhood, anything else: 8-neighbourhood. Starts progress
/// slot 0 and steps slot 4 with the scanned column at multiples of the interval.
TLabelPlane LabelRegions(const TQROIL& roi, int connectivity);

} // namespace varnolux
