#pragma once

#include "chart/Tsp_Color.h"

namespace varnolux {

enum class Tsp_BrushStyle { bsSolid, bsClear };

struct Tsp_Brush {
    Tsp_Color Color = Tsp_Colors::White;
    Tsp_BrushStyle Style = Tsp_BrushStyle::bsSolid;

    friend bool operator==(const Tsp_Brush&, const Tsp_Brush&) = default;
};

} // namespace varnolux
