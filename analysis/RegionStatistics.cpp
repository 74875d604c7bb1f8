#include "analysis/AnalysisSteps.h"
#include "analysis/MeasureShape.h"
#include "analysis/TAnalysisTimings.h"
#include "imaging/LabelPlane.h"
#include "imaging/TBitmap24.h"
#include "imaging/TQImage.h"
#include "imaging/TQROIRGB.h"

#include <algorithm>
#include <vector>

namespace varnolux {

namespace {

/// The bit-quad area of every region, in eighths, taken from the label plane in one
/// pass. All set pixels of a 2 × 2 window are 8-neighbours of each other, so each
/// window belongs to one region only and the sum per region equals the region's own
/// measure over its bounding box.
std::vector<std::int64_t> RegionAreasInEighths(const TLabelPlane& plane)
{
    std::vector<std::int64_t> eighths(size_t(plane.RegionCount) + 1, 0);
    const auto& labels = plane.Labels;
    const int width = labels.Width();
    const int height = labels.Height();
    if (width == 0 || height == 0)
        return eighths;

    const std::vector<std::int32_t> outside(size_t(height), -1);
    const auto addWindow = [&](std::int32_t tl, std::int32_t tr, std::int32_t bl, std::int32_t br) {
        const int index = 3 * (tl > 0) + (tr > 0) + (bl > 0) + 3 * (br > 0);
        if (index != 0)
            eighths[size_t(std::max({tl, tr, bl, br}))] += BitQuadEighths[size_t(index)];
    };
    for (int x = -1; x < width; ++x) {
        const std::span<const std::int32_t> left = x >= 0 ? labels.Column(x) : outside;
        const std::span<const std::int32_t> right = x + 1 < width ? labels.Column(x + 1) : outside;
        addWindow(-1, -1, left[0], right[0]);
        for (size_t y = 0; y + 1 < size_t(height); ++y)
            addWindow(left[y], right[y], left[y + 1], right[y + 1]);
        addWindow(left[size_t(height) - 1], right[size_t(height) - 1], -1, -1);
    }
    return eighths;
}

/// Paints the pixels of the kept regions in their source colours.
void DrawKeptRegions(const TQROIRGB& image, const TLabelPlane& plane, const std::vector<bool>& kept,
                     TBitmap24& bitmap)
{
    const int width = std::min(image.Width(), bitmap.Width());
    const int height = std::min(image.Height(), bitmap.Height());
    for (int y = 0; y < height; ++y) {
        auto row = bitmap.Row(y);
        for (int x = 0; x < width; ++x) {
            const std::int32_t label = plane.Labels[x][y];
            if (label > 0 && kept[size_t(label)]) {
                row[size_t(x) * 3] = image.Blue()[x][y];
                row[size_t(x) * 3 + 1] = image.Green()[x][y];
                row[size_t(x) * 3 + 2] = image.Red()[x][y];
            }
        }
    }
}

} // namespace

TRegionStatistics MeasureRegions(const TQROIRGB& resultImage, double threshold, TQImage& surface,
                                 TAnalysisTimings* timings)
{
    TAnalysisTimings ignored;
    TAnalysisTimings& phases = timings ? *timings : ignored;
    TLabelPlane plane;
    {
        const TPhaseTimer timer(phases.Labelling);
        plane = LabelRegions(resultImage, 1);
    }

    TRegionStatistics statistics;
    std::vector<bool> kept;
    {
        const TPhaseTimer timer(phases.Statistics);
        const std::vector<std::int64_t> eighths = RegionAreasInEighths(plane);
        kept.assign(eighths.size(), false);
        for (int region = 1; region <= plane.RegionCount; ++region) {
            // Exact: an area is a sum of eighths.
            const double area = double(eighths[size_t(region)]) / 8.0;
            if (area >= threshold) {
                kept[size_t(region)] = true;
                ++statistics.Count;
                statistics.Sum += area;
            }
        }
    }

    const TPhaseTimer timer(phases.Drawing);
    surface.Clear();
    if (surface.Bitmap)
        DrawKeptRegions(resultImage, plane, kept, *surface.Bitmap);
    surface.Repaint();
    return statistics;
}

} // namespace varnolux
