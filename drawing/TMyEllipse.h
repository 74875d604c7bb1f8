#pragma once

#include "drawing/TMyRectangle.h"

namespace varnolux {

/// The ellipse inscribed in a rectangle's corners (in its own orientation); handles
/// and resizing are the rectangle's.
class TMyEllipse : public TMyRectangle {
public:
    using TMyRectangle::TMyRectangle;

    QPainterPath Outline() const override;
    bool Contains(QPointF point) const override;
    double OutlineDistance(QPointF point) const override;
    std::unique_ptr<TMyShape> Clone() const override;

private:
    TMyEllipse(const TMyEllipse&) = default;
};

} // namespace varnolux
