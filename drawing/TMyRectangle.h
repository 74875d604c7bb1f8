#pragma once

#include "drawing/TMyShape.h"

#include <QPoint>

namespace varnolux {

/// A rectangle of four points: top-left, top-right, bottom-right, bottom-left in its
/// own orientation. Handles 0-3 are the corners; 4-7 the middles of the top, right,
/// bottom and left sides.
class TMyRectangle : public TMyShape {
public:
    static constexpr int CornerCount = 4;
    /// A resize must leave at least this width and height (image pixels).
    static constexpr double MinimumSide = 2;

    TMyRectangle(int id, const QString& name, const std::array<TMyPoint, CornerCount>& corners,
                 float angle, const QPen& pen);

    /// Whether the side handles 4-7 are offered.
    bool ShowSideHot() const { return showSideHot_; }
    void SetShowSideHot(bool show) { showSideHot_ = show; }

    int HandleCount() const override { return 2 * CornerCount; }
    bool HandleOffered(int index) const override;
    TMyPoint HandlePoint(int index) const override;
    /// A corner handle moves its corner to the target and its two neighbours along;
    /// a side handle moves its side. Refused unless the moved corner or side stays
    /// at least MinimumSide on its own side of the opposite one.
    bool Resize(int handle, QPointF target) override;

    QPainterPath Outline() const override;
    bool Contains(QPointF point) const override;
    double OutlineDistance(QPointF point) const override;
    std::unique_ptr<TMyShape> Clone() const override;

    /// Keeps a corner drag square, measured from the given corner (canvas pixels):
    /// the larger of the two moves decides, diagonally for the top-left and
    /// bottom-right handles, anti-diagonally for the other two. Side handles are
    /// left alone.
    static void ConstrainSquare(QPoint corner, QPoint& toPoint, int handle);

protected:
    TMyRectangle(const TMyRectangle&) = default;

private:
    bool showSideHot_ = true;
};

} // namespace varnolux
