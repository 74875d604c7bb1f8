#pragma once

#include "chart/Tsp_Color.h"

#include <string>

namespace varnolux {

struct Tsp_Font {
    /// Empty: the system's default family.
    std::string Family;
    /// Character height in pixels.
    int Height = 11;
    bool Bold = false;
    Tsp_Color Color = Tsp_Colors::Black;
    /// Tenths of a degree counter-clockwise; 900 writes upwards.
    int Orientation = 0;

    friend bool operator==(const Tsp_Font&, const Tsp_Font&) = default;
};

} // namespace varnolux
