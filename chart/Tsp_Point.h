#pragma once

namespace varnolux {

/// A pixel position, x to the right and y downwards.
struct Tsp_Point {
    int X = 0;
    int Y = 0;

    friend bool operator==(const Tsp_Point&, const Tsp_Point&) = default;
};

} // namespace varnolux
