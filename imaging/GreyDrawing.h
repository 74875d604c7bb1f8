#pragma once

#include "imaging/TPlane.h"

#include <cstdint>

namespace varnolux {

class TGreyBitmap;

/// Paints the columns [xBegin, xEnd) and rows [yBegin, yEnd) of a plane into the same
/// pixels of a grey picture: the value where the mask byte is non-zero, else 0
/// (black). At most 64 columns at a time (a tile); writes nothing
/// outside the rectangle.
void DrawMaskedGrey(const TPlane<std::uint8_t>& mask, const TPlane<std::uint8_t>& values,
                    TGreyBitmap& picture, int xBegin, int xEnd, int yBegin, int yEnd);

} // namespace varnolux
