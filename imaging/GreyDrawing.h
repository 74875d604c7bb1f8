#pragma once

#include "imaging/TPlane.h"

#include <cstdint>

namespace varnolux {

class TBitmap24;

/// Paints the columns [xBegin, xEnd) and rows [yBegin, yEnd) of a plane into the same
/// pixels of a 24-bit bitmap as grey levels: the value where the mask byte is
/// non-zero, else 0 (black). At most 64 columns at a time (a tile); writes nothing
/// outside the rectangle.
void DrawMaskedGrey(const TPlane<std::uint8_t>& mask, const TPlane<std::uint8_t>& values,
                    TBitmap24& bitmap, int xBegin, int xEnd, int yBegin, int yEnd);

} // namespace varnolux
