#pragma once

#include <cstdint>
#include <vector>

namespace varnolux {

/// A picture for the plot: rows from the top, each pixel 0xAARRGGBB with straight
/// alpha (the layout of QImage::Format_ARGB32).
struct Tsp_Picture {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint32_t> Pixels;

    bool IsEmpty() const { return Width <= 0 || Height <= 0; }
};

} // namespace varnolux
