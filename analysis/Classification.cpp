#include "analysis/AnalysisSteps.h"
#include "imaging/TQROIRGB.h"

namespace varnolux {

namespace {

/// Which of the 256 channel values pass a channel's limits.
std::array<bool, 256> PassingValues(int lo, int hi)
{
    std::array<bool, 256> passes{};
    for (int value = 0; value < 256; ++value)
        passes[size_t(value)] = InChannelRange(value, lo, hi);
    return passes;
}

} // namespace

void ClassifyPixels(TQROIRGB& hsv, const TTrackBarPositions& limits)
{
    const auto hue = PassingValues(limits[HMin], limits[HMax]);
    const auto saturation = PassingValues(limits[SMin], limits[SMax]);
    const auto brightness = PassingValues(limits[VMin], limits[VMax]);
    // Every pixel is decided on its own, so the loop may run column by column.
    for (int x = 0; x < hsv.Width(); ++x) {
        auto mask = hsv.Mask().Column(x);
        const auto h = hsv.Red().Column(x);
        const auto s = hsv.Green().Column(x);
        const auto v = hsv.Blue().Column(x);
        for (size_t y = 0; y < mask.size(); ++y)
            if (mask[y] && !(hue[h[y]] && saturation[s[y]] && brightness[v[y]]))
                mask[y] = 0;
    }
}

} // namespace varnolux
