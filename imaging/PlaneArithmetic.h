#pragma once

#include "imaging/TPlane.h"
#include "imaging/TQError.h"

#include <cmath>
#include <cstdint>
#include <string>

namespace varnolux {

/// trunc(x) modulo 256, as a byte; 0 for infinities and NaN.
inline std::uint8_t WrappedByte(double x)
{
    if (!std::isfinite(x))
        return 0;
    double wrapped = std::fmod(std::trunc(x), 256.0);
    if (wrapped < 0.0)
        wrapped += 256.0;
    return std::uint8_t(wrapped);
}

/// trunc(x) clamped to 0..255; 0 for NaN.
inline std::uint8_t ClampedByte(double x)
{
    if (!(x > 0.0))
        return 0;
    return x >= 255.0 ? 255 : std::uint8_t(x);
}

/// Throws unless two planes have the same size: the arithmetic indexes both with
/// the same (x, y).
inline void RequireSameSize(int width, int height, int otherWidth, int otherHeight,
                            const char* operation)
{
    if (width != otherWidth || height != otherHeight)
        throw TQError(std::string("Internal error: ") + operation +
                      " - the two images differ in size");
}

/// plane := combine(plane, other) where both masks are non-zero (or all); where a
/// pixel does not qualify the mask becomes 0.
template <typename T, typename Combine>
void CombinePlanes(TPlane<T>& plane, TPlane<std::uint8_t>& mask, const TPlane<T>& otherPlane,
                   const TPlane<std::uint8_t>& otherMask, bool all, Combine combine)
{
    for (int x = 0; x < plane.Width(); ++x) {
        T* values = plane[x];
        std::uint8_t* maskColumn = mask[x];
        const T* others = otherPlane[x];
        const std::uint8_t* otherMaskColumn = otherMask[x];
        for (int y = 0; y < plane.Height(); ++y) {
            if (all || (maskColumn[y] && otherMaskColumn[y]))
                values[y] = combine(values[y], others[y]);
            else
                maskColumn[y] = 0;
        }
    }
}

/// plane := change(plane) where the mask is non-zero (or all).
template <typename T, typename Change>
void ChangePlane(TPlane<T>& plane, const TPlane<std::uint8_t>& mask, bool all, Change change)
{
    for (int x = 0; x < plane.Width(); ++x) {
        T* values = plane[x];
        const std::uint8_t* maskColumn = mask[x];
        for (int y = 0; y < plane.Height(); ++y)
            if (all || maskColumn[y])
                values[y] = change(values[y]);
    }
}

/// Smallest and largest element where the mask is non-zero (or all); false when no
/// pixel qualifies. Widens min and max, which the caller initialises.
template <typename T>
bool WidenMinMax(const TPlane<T>& plane, const TPlane<std::uint8_t>& mask, bool all, T& min, T& max)
{
    bool any = false;
    for (int x = 0; x < plane.Width(); ++x) {
        const T* values = plane[x];
        const std::uint8_t* maskColumn = mask[x];
        for (int y = 0; y < plane.Height(); ++y)
            if (all || maskColumn[y]) {
                min = std::min(min, values[y]);
                max = std::max(max, values[y]);
                any = true;
            }
    }
    return any;
}

} // namespace varnolux
