#pragma once

#include <array>
#include <cstdint>

namespace varnolux {

class TQROIL;

/// The number of 2 × 2 windows of each index 3·tl + tr + bl + 3·br over a mask,
/// windows hanging over the edges included.
using TBitQuadCounts = std::array<std::int64_t, 9>;

/// Counts the windows of a ROI's mask.
TBitQuadCounts CountBitQuads(const TQROIL& roi);

/// Gray's bit-quad area in eighths of a pixel: exact, as the area is a sum of eighths.
std::int64_t BitQuadAreaEighths(const TBitQuadCounts& counts);

/// The window index's share of the area in eighths.
inline constexpr std::array<std::int64_t, 9> BitQuadEighths = {0, 2, 6, 2, 4, 7, 6, 7, 8};

/// A window's eighths beyond the 2 per set pixel (each 0 or 1): 1 with three set, 2
/// on a diagonal. Every pixel lies in four windows, so an area in eighths is 8 per
/// set pixel plus the extras of all windows.
constexpr int BitQuadExtraEighths(int tl, int tr, int bl, int br)
{
    const int set = tl + tr + bl + br;
    return set == 3 ? 1 : set == 2 && tl == br ? 2 : 0;
}

struct TShapeMeasures {
    bool Ok = false; // area > 0
    double Area = -1.0;
    double Perimeter = -1.0;
    double Compactness = -1.0;
};

/// The bit-quad area, perimeter and compactness of a ROI's mask.
TShapeMeasures MeasureShape(const TQROIL& roi);
TShapeMeasures MeasureShape(const TBitQuadCounts& counts);

/// The bit-quad area of a ROI's mask in eighths, counted without classifying every
/// window (8 per set pixel, 1 per window with three set, 2 per diagonal window).
std::int64_t BitQuadAreaEighths(const TQROIL& roi);

/// The bit-quad area of a ROI's mask: the area of MeasureShape, to the last bit.
double Area(const TQROIL& roi);

} // namespace varnolux
