#pragma once

#include "imaging/TColour.h"
#include "imaging/TQObject.h"

namespace varnolux {

/// A coloured point, drawn with DrawPoint at its position plus origin.
class TQPoint : public TQObject {
public:
    TQPoint(int x, int y, int originX, int originY);

    void Draw(TBitmap24& bitmap) override;
    /// Copies origin, X, Y and Colour of another point.
    void Assign(const TQObject& other) override;

    int X = 0;
    int Y = 0;
    TColour Colour = 0xff0000;
};

} // namespace varnolux
