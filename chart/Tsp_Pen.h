#pragma once

#include "chart/Tsp_Color.h"

namespace varnolux {

enum class Tsp_PenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear };

/// How a pen combines with what is already drawn: copy, or the inverse of
/// (pen colour xor pixel), which a second drawing takes away again.
enum class Tsp_PenMode { pmCopy, pmNotXor };

struct Tsp_Pen {
    Tsp_Color Color = Tsp_Colors::Black;
    Tsp_PenStyle Style = Tsp_PenStyle::psSolid;
    int Width = 1;
    Tsp_PenMode Mode = Tsp_PenMode::pmCopy;

    friend bool operator==(const Tsp_Pen&, const Tsp_Pen&) = default;
};

} // namespace varnolux
