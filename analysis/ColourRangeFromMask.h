#pragma once

#include "analysis/ColourRange.h"
#include "imaging/TPlane.h"

#include <cstdint>

namespace varnolux {

class TBitmap24;
class TQROIRGB;

/// How far around the mean a range derived from a selection reaches, in standard
/// deviations.
inline constexpr double ColourRangeSpread = 2.0;

/// A colour range derived from selected pixels, or why there is none.
struct TMaskRange {
    enum class TFailure { None, OtherSize, FewerThanTwoPixels, NoHueDirection };

    TColourRange Range{};
    TFailure Failure = TFailure::None;

    explicit operator bool() const { return Failure == TFailure::None; }
    /// Why the range cannot be set, for a message; empty on success.
    const char* FailureText() const;
};

/// The colour range of the selected pixels: of the hue, saturation and brightness
/// planes of hsv (in its Red, Green and Blue planes) where selection is non-zero,
/// mean ± k sample standard deviations per channel; hue is taken as an angle, so that
/// a range around red wraps through 0 (hMin > hMax). Fails when the selection has
/// another size than the image (a stale or missing mask selects nothing, never the
/// whole image), when fewer than two pixels are selected or when their hues cancel out.
TMaskRange ColourRangeFromMask(const TQROIRGB& hsv, const TPlane<std::uint8_t>& selection,
                               double k);

/// The same for a colour picture, converted to hue, saturation and brightness first.
TMaskRange ColourRangeFromMask(const TBitmap24& picture, const TPlane<std::uint8_t>& selection,
                               double k);
/// The same for a colour picture, selected where the mask picture is not black.
TMaskRange ColourRangeFromMask(const TBitmap24& picture, const TBitmap24& maskPicture, double k);

} // namespace varnolux
