#include "analysis/MeasureShape.h"

#include "imaging/TQROIL.h"

#include <vector>

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

} // namespace

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
    return MeasureShape(roi).Area;
}

} // namespace varnolux
