#include "analysis/AnalysisSteps.h"
#include "imaging/TQROIL.h"

#include <cstdint>
#include <vector>

namespace varnolux {

namespace {

/// The pixels of the 8-connected region at the seed, as flags over its bounding box.
class TRegionPixels {
public:
    TRegionPixels(const TQROIL& selection, const TRegionMeasurement& region)
        : left_(region.Left)
        , top_(region.Top)
        , width_(region.Right - region.Left + 1)
        , height_(region.Bottom - region.Top + 1)
        , flags_(std::size_t(width_) * std::size_t(height_), 0)
    {
        const auto selected = [&](int x, int y) {
            return Inside(x, y) && x < selection.Width() && y < selection.Height() &&
                   selection.Mask()[x][y] == 1;
        };
        if (!selected(region.SeedX, region.SeedY))
            return;
        std::vector<std::pair<int, int>> open = {{region.SeedX, region.SeedY}};
        Flag(region.SeedX, region.SeedY) = 1;
        while (!open.empty()) {
            const auto [x, y] = open.back();
            open.pop_back();
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    if (selected(x + dx, y + dy) && Flag(x + dx, y + dy) == 0) {
                        Flag(x + dx, y + dy) = 1;
                        open.emplace_back(x + dx, y + dy);
                    }
        }
    }

    bool Contains(int x, int y) const
    {
        return Inside(x, y) &&
               flags_[std::size_t(y - top_) * std::size_t(width_) + std::size_t(x - left_)] != 0;
    }

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Right() const { return left_ + width_; }  // exclusive
    int Bottom() const { return top_ + height_; } // exclusive

private:
    bool Inside(int x, int y) const
    {
        return x >= left_ && y >= top_ && x < left_ + width_ && y < top_ + height_ && x >= 0 &&
               y >= 0;
    }
    std::uint8_t& Flag(int x, int y)
    {
        return flags_[std::size_t(y - top_) * std::size_t(width_) + std::size_t(x - left_)];
    }

    int left_;
    int top_;
    int width_;
    int height_;
    std::vector<std::uint8_t> flags_;
};

} // namespace

std::vector<TPixelEdge> RegionOutline(const TQROIL& selection, const TRegionMeasurement& region)
{
    if (region.Right < region.Left || region.Bottom < region.Top)
        return {};
    const TRegionPixels pixels(selection, region);
    std::vector<TPixelEdge> edges;
    for (int y = pixels.Top(); y < pixels.Bottom(); ++y)
        for (int x = pixels.Left(); x < pixels.Right(); ++x) {
            if (!pixels.Contains(x, y))
                continue;
            if (!pixels.Contains(x, y - 1))
                edges.push_back({x, y, x + 1, y});
            if (!pixels.Contains(x + 1, y))
                edges.push_back({x + 1, y, x + 1, y + 1});
            if (!pixels.Contains(x, y + 1))
                edges.push_back({x, y + 1, x + 1, y + 1});
            if (!pixels.Contains(x - 1, y))
                edges.push_back({x, y, x, y + 1});
        }
    return edges;
}

} // namespace varnolux
