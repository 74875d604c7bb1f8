#pragma once

#include <algorithm>
#include <cmath>

#include <QPoint>
#include <QPointF>

namespace varnolux {

/// Canvas coordinates are held within ±CanvasLimit: far beyond any widget (at most
/// 2^24 pixels wide), and the sum or difference of two of them still fits an int.
inline constexpr int CanvasLimit = 1 << 28;

/// A canvas coordinate from a value in canvas pixels, truncated toward zero and held
/// within ±CanvasLimit; not a number gives 0.
inline int CanvasPixel(double value)
{
    if (std::isnan(value))
        return 0;
    return static_cast<int>(
        std::clamp(std::trunc(value), double{-CanvasLimit}, double{CanvasLimit}));
}

/// The canvas pixel nearest to a point in canvas pixels, held within ±CanvasLimit.
inline QPoint CanvasPoint(QPointF point)
{
    return {CanvasPixel(std::round(point.x())), CanvasPixel(std::round(point.y()))};
}

} // namespace varnolux
