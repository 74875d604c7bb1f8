#include "drawing/TMySnap.h"

#include "drawing/CanvasPixels.h"

#include <cmath>
#include <cstdlib>

namespace varnolux {

bool TMySnap::SetGridSize(double width, double height)
{
    const auto usable = [](double size) {
        return std::isfinite(size) && size > 0;
    };
    if (!usable(width) || !usable(height))
        return false;
    gridWidth_ = width;
    gridHeight_ = height;
    return true;
}

QPoint TMySnap::SnapPoint(QPoint point) const
{
    return {Snapped(point.x(), gridWidth_), Snapped(point.y(), gridHeight_)};
}

std::optional<int> TMySnap::SnapCoordinate(int coordinate, double grid) const
{
    if (!snap_)
        return std::nullopt;
    const double line = std::round(coordinate / grid) * grid;
    if (std::abs(coordinate - line) >= snapPixels_)
        return std::nullopt;
    return CanvasPixel(std::round(line));
}

int TMySnap::Snapped(int coordinate, double grid) const
{
    return SnapCoordinate(coordinate, grid).value_or(coordinate);
}

int TMySnap::Correction(int first, int second, double grid) const
{
    // An edge already on a line is the nearest: it needs no correction.
    const std::optional<int> a = SnapCoordinate(first, grid);
    const std::optional<int> b = SnapCoordinate(second, grid);
    if (a && (!b || std::abs(*a - first) <= std::abs(*b - second)))
        return *a - first;
    return b ? *b - second : 0;
}

QPoint TMySnap::DragCorrection(const QRect& bounds) const
{
    return {Correction(bounds.left(), bounds.right(), gridWidth_),
            Correction(bounds.top(), bounds.bottom(), gridHeight_)};
}

} // namespace varnolux
