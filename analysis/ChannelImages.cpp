#include "analysis/AnalysisSteps.h"
#include "imaging/GreyDrawing.h"
#include "imaging/TGreyBitmap.h"
#include "imaging/TQROIRGB.h"
#include "imaging/TileOrder.h"

#include <mutex>

namespace varnolux {

namespace {

using TChannelCounts = std::array<std::array<std::int64_t, 256>, 3>;

/// Counts the values of the mask's pixels in the columns [x0, x1). Two count sets per
/// channel, for even and odd rows, so that a run of equal values does not wait on one
/// counter.
TChannelCounts CountColumns(const TQROIRGB& hsv, int x0, int x1)
{
    std::array<TChannelCounts, 2> partial{};
    for (int x = x0; x < x1; ++x) {
        const auto mask = hsv.Mask().Column(x);
        const std::uint8_t* h = hsv.Red()[x];
        const std::uint8_t* s = hsv.Green()[x];
        const std::uint8_t* v = hsv.Blue()[x];
        for (size_t y = 0; y < mask.size(); ++y)
            if (mask[y]) {
                auto& counts = partial[y & 1];
                ++counts[0][h[y]];
                ++counts[1][s[y]];
                ++counts[2][v[y]];
            }
    }
    for (size_t channel = 0; channel < 3; ++channel)
        for (size_t value = 0; value < 256; ++value)
            partial[0][channel][value] += partial[1][channel][value];
    return partial[0];
}

/// Integer counts: their sum does not depend on how the columns were split.
TChannelCounts CountChannelValues(const TQROIRGB& hsv)
{
    TChannelCounts counts{};
    std::mutex mutex;
    ForEachBlock(hsv.Width(), 4 * std::size_t(hsv.Height()), [&](int x0, int x1) {
        const TChannelCounts block = CountColumns(hsv, x0, x1);
        const std::lock_guard lock(mutex);
        for (size_t channel = 0; channel < 3; ++channel)
            for (size_t value = 0; value < 256; ++value)
                counts[channel][value] += block[channel][value];
    });
    return counts;
}

} // namespace

TChannelCurves ComputeChannelCurves(const TQROIRGB& hsv)
{
    const TChannelCounts counts = CountChannelValues(hsv);
    TChannelCurves curves{};
    for (size_t channel = 0; channel < counts.size(); ++channel) {
        std::int64_t total = 0;
        for (const std::int64_t count : counts[channel])
            total += count;
        if (total == 0)
            continue;
        std::int64_t below = 0;
        for (size_t k = 0; k < 256; ++k) {
            curves[channel][k] = double(below) / double(total);
            below += counts[channel][k];
        }
    }
    return curves;
}

void DrawChannelImages(const TQROIRGB& hsv, std::array<TGreyBitmap*, 3> pictures)
{
    for (TGreyBitmap* picture : pictures)
        if (picture)
            picture->SetSize(hsv.Width(), hsv.Height());
    const std::array<const TPlane<std::uint8_t>*, 3> planes = {&hsv.Red(), &hsv.Green(),
                                                               &hsv.Blue()};
    ForEachTile(0, hsv.Width(), 0, hsv.Height(), 5,
                [&](int xBegin, int xEnd, int yBegin, int yEnd) {
                    for (size_t channel = 0; channel < 3; ++channel)
                        if (pictures[channel])
                            DrawMaskedGrey(hsv.Mask(), *planes[channel], *pictures[channel], xBegin,
                                           xEnd, yBegin, yEnd);
                });
}

} // namespace varnolux
