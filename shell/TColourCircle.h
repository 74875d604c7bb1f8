#pragma once

#include "imaging/TQROIRGB.h"

#include <memory>

namespace varnolux {

class TBitmap24;

/// The colour circle of the hue handles: a hue-saturation disc, bright in the sector
/// between the two handles and dim elsewhere, on light grey.
class TColourCircle {
public:
    /// Paints the circle for a view of that size into the picture (grown to at least
    /// the circle's size). The shadings are computed on the first call only.
    void Draw(TBitmap24& picture, int viewWidth, int viewHeight);

    /// The negated angles (radians) of the hue-minimum and hue-maximum handles.
    double HueMarkA = 0.0;
    double HueMarkB = 0.0;

    /// The circle and its two shadings, once drawn.
    const TQROIRGB* Image() const { return image_.get(); }
    const TQROIRGB* Bright() const { return bright_.get(); }
    const TQROIRGB* Dim() const { return dim_.get(); }

private:
    std::unique_ptr<TQROIRGB> image_;
    std::unique_ptr<TQROIRGB> bright_;
    std::unique_ptr<TQROIRGB> dim_;
    bool shadingsPending_ = true;
};

} // namespace varnolux
