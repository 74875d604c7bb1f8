#include "drawing/TMyEllipse.h"

#include <algorithm>
#include <cmath>

#include <QTransform>

namespace varnolux {

QPainterPath TMyEllipse::Outline() const
{
    QPainterPath own;
    own.addEllipse(OwnBounds());
    const QPointF center = GetCenter().ToQPointF();
    return QTransform()
        .translate(center.x(), center.y())
        .rotate(Angle())
        .translate(-center.x(), -center.y())
        .map(own);
}

bool TMyEllipse::Contains(QPointF point) const
{
    const QRectF bounds = OwnBounds();
    const QPointF d = ToOwn(point) - bounds.center();
    const double a = bounds.width() / 2;
    const double b = bounds.height() / 2;
    if (a <= 0 || b <= 0)
        return false;
    return (d.x() / a) * (d.x() / a) + (d.y() / b) * (d.y() / b) <= 1;
}

double TMyEllipse::OutlineDistance(QPointF point) const
{
    const QRectF bounds = OwnBounds();
    const double a = bounds.width() / 2;
    const double b = bounds.height() / 2;
    // A flat ellipse is a line: its rectangle's outline is as near as it gets.
    if (a < 1 || b < 1)
        return TMyRectangle::OutlineDistance(point);
    // Along the ray from the centre through the point: exact for a circle, and never
    // nearer than the true distance, which is all a pointer hit needs.
    const QPointF d = ToOwn(point) - bounds.center();
    const double radius = std::hypot(d.x() / a, d.y() / b);
    if (radius == 0)
        return std::min(a, b);
    const double length = std::hypot(d.x(), d.y());
    return std::abs(length - length / radius);
}

std::unique_ptr<TMyShape> TMyEllipse::Clone() const
{
    return std::unique_ptr<TMyShape>(new TMyEllipse(*this));
}

} // namespace varnolux
