#include "analysis/AnalysisSteps.h"
#include "imaging/TImageView.h"
#include "imaging/TQROIRGB.h"

namespace varnolux {

namespace {

using TChannelCounts = std::array<std::array<std::int64_t, 256>, 3>;

TChannelCounts CountChannelValues(const TQROIRGB& hsv)
{
    TChannelCounts counts{};
    const std::array<const TPlane<std::uint8_t>*, 3> planes = {&hsv.Red(), &hsv.Green(),
                                                               &hsv.Blue()};
    for (int x = 0; x < hsv.Width(); ++x) {
        const auto mask = hsv.Mask().Column(x);
        for (size_t channel = 0; channel < planes.size(); ++channel) {
            const auto values = planes[channel]->Column(x);
            auto& channelCounts = counts[channel];
            for (size_t y = 0; y < mask.size(); ++y)
                if (mask[y])
                    ++channelCounts[values[y]];
        }
    }
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

void DrawChannelImages(const TQROIRGB& hsv, std::array<TImageView*, 3> views)
{
    const std::array<const TPlane<std::uint8_t>*, 3> planes = {&hsv.Red(), &hsv.Green(),
                                                               &hsv.Blue()};
    const auto& mask = hsv.Mask();
    for (size_t channel = 0; channel < planes.size(); ++channel) {
        TBitmap24& picture = views[channel]->Picture();
        picture.SetSize(hsv.Width(), hsv.Height());
        const auto& plane = *planes[channel];
        for (int y = 0; y < hsv.Height(); ++y) {
            auto row = picture.Row(y);
            for (int x = 0; x < hsv.Width(); ++x) {
                const std::uint8_t grey = mask[x][y] ? plane[x][y] : 0;
                row[size_t(x) * 3] = row[size_t(x) * 3 + 1] = row[size_t(x) * 3 + 2] = grey;
            }
        }
        views[channel]->PictureChanged();
    }
}

} // namespace varnolux
