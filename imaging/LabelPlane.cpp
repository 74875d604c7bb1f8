#include "imaging/LabelPlane.h"

#include "imaging/TQError.h"
#include "imaging/TQROIL.h"
#include "imaging/TQStatus.h"

#include <algorithm>
#include <cstddef>
#include <limits>
#include <memory>

namespace varnolux {

namespace {

constexpr std::int32_t Outside = -1;
constexpr std::int32_t Unlabelled = 0;

/// Breadth-first fill of one region from its seed. The queue holds linear indices
/// x · height + y; it is shared by all regions and never needs more than one entry
/// per pixel.
class TRegionFiller {
public:
    TRegionFiller(std::span<std::int32_t> labels, int width, int height, int neighbours)
        : labels_(labels)
        , width_(width)
        , height_(height)
        , neighbours_(neighbours)
        , queue_(std::make_unique_for_overwrite<std::uint32_t[]>(labels.size()))
    {
        for (int k = 0; k < neighbours_; ++k)
            offsets_[k] = std::ptrdiff_t(NeighbourDx[k]) * height + NeighbourDy[k];
    }

    void Fill(std::uint32_t seed, std::int32_t label)
    {
        std::size_t head = 0;
        std::size_t tail = 0;
        labels_[seed] = label;
        queue_[tail++] = seed;
        const auto height = std::uint32_t(height_);
        while (head < tail) {
            const std::uint32_t pixel = queue_[head++];
            const int x = int(pixel / height);
            const int y = int(pixel - std::uint32_t(x) * height);
            const bool interior = x > 0 && x < width_ - 1 && y > 0 && y < height_ - 1;
            for (int k = 0; k < neighbours_; ++k) {
                if (!interior) {
                    const int nx = x + NeighbourDx[k];
                    const int ny = y + NeighbourDy[k];
                    if (nx < 0 || nx >= width_ || ny < 0 || ny >= height_)
                        continue;
                }
                const auto neighbour = std::uint32_t(std::ptrdiff_t(pixel) + offsets_[k]);
                // Only pixels whose mask byte is 1 start out unlabelled.
                if (labels_[neighbour] == Unlabelled) {
                    labels_[neighbour] = label;
                    queue_[tail++] = neighbour;
                }
            }
        }
    }

private:
    std::span<std::int32_t> labels_;
    int width_;
    int height_;
    int neighbours_;
    std::ptrdiff_t offsets_[8] = {};
    std::unique_ptr<std::uint32_t[]> queue_;
};

} // namespace

TLabelPlane LabelRegions(const TQROIL& roi, int connectivity)
{
    TLabelPlane result;
    result.Labels.Allocate(roi.Width(), roi.Height());
    const std::size_t pixelCount = result.Labels.Size();
    if (pixelCount == 0)
        return result;
    if (pixelCount > std::size_t(std::numeric_limits<std::int32_t>::max()))
        throw TQError("Internal error: LabelRegions - the image is too large");

    const auto labels = result.Labels.Elements();
    const auto mask = roi.Mask().Elements();
    for (std::size_t i = 0; i < pixelCount; ++i)
        labels[i] = mask[i] == 1 ? Unlabelled : Outside;

    const int height = roi.Height();
    TRegionFiller filler(labels, roi.Width(), height, connectivity == 0 ? 4 : 8);
    TQStatus& status = TQStatus::Instance();
    status.StartProgress(0, 0, roi.Width() - 1, 0);
    int reportedColumn = -1;
    std::int32_t label = 0;
    // Every pixel before the last seed in column order is labelled or outside, so
    // the scan resumes there: regions are numbered by their first pixel in column
    // order, that is by leftmost column and then from the top.
    for (std::size_t seed = 0;; ++seed) {
        while (seed < pixelCount && labels[seed] != Unlabelled)
            ++seed;
        const int column = int(std::min(seed, pixelCount - 1) / std::size_t(height));
        const int reportable = column - column % std::max(1, status.UpdateInterval);
        if (reportable > reportedColumn) {
            status.StepProgress(4, reportable);
            reportedColumn = reportable;
        }
        if (seed == pixelCount)
            break;
        filler.Fill(std::uint32_t(seed), ++label);
    }
    result.RegionCount = label;
    return result;
}

} // namespace varnolux
