#pragma once

#include <optional>

#include <QPoint>
#include <QRect>

namespace varnolux {

/// Snapping of canvas pixels to a grid: a coordinate closer than SnapPixels to a grid
/// line jumps onto it, x with the grid width, y with the grid height. The grid is
/// never drawn.
class TMySnap {
public:
    bool Snap() const { return snap_; }
    void SetSnap(bool snap) { snap_ = snap; }
    int SnapPixels() const { return snapPixels_; }
    void SetSnapPixels(int pixels) { snapPixels_ = pixels; }
    double GridWidth() const { return gridWidth_; }
    double GridHeight() const { return gridHeight_; }
    /// False, and the grid stays, unless both sizes are finite and above 0.
    bool SetGridSize(double width, double height);

    /// The point with each coordinate snapped; unchanged with snapping off.
    QPoint SnapPoint(QPoint point) const;
    /// The shift that puts the corner of the bounds nearest to a grid line onto it:
    /// per axis the smaller correction of the two edges that snap, 0 when none does.
    QPoint DragCorrection(const QRect& bounds) const;

private:
    /// The grid line a coordinate snaps to, if any.
    std::optional<int> SnapCoordinate(int coordinate, double grid) const;
    int Snapped(int coordinate, double grid) const;
    int Correction(int first, int second, double grid) const;

    bool snap_ = true;
    int snapPixels_ = 4;
    double gridWidth_ = 20;
    double gridHeight_ = 20;
};

} // namespace varnolux
