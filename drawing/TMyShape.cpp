#include "drawing/TMyShape.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace varnolux {

namespace {

float ToSingle(double value)
{
    constexpr double largest = std::numeric_limits<float>::max();
    return static_cast<float>(std::isnan(value) ? value : std::clamp(value, -largest, largest));
}

/// Rounded to the nearest integer, held within the 64-bit range.
std::int64_t RoundedExtent(double extent)
{
    constexpr double limit = 0x1p62;
    return std::llround(std::clamp(extent, -limit, limit));
}

QPointF Turned(QPointF point, QPointF center, double degrees)
{
    if (degrees == 0)
        return point;
    const double radians = degrees * std::numbers::pi / 180;
    const double c = std::cos(radians);
    const double s = std::sin(radians);
    const QPointF d = point - center;
    return center + QPointF(d.x() * c - d.y() * s, d.x() * s + d.y() * c);
}

QRectF BoundsOf(const std::vector<QPointF>& points)
{
    if (points.empty())
        return {};
    double left = points.front().x();
    double right = left;
    double top = points.front().y();
    double bottom = top;
    for (const QPointF& p : points) {
        left = std::min(left, p.x());
        right = std::max(right, p.x());
        top = std::min(top, p.y());
        bottom = std::max(bottom, p.y());
    }
    return QRectF(QPointF(left, top), QPointF(right, bottom));
}

std::vector<QPointF> ToQPoints(const std::vector<TMyPoint>& points)
{
    std::vector<QPointF> result;
    result.reserve(points.size());
    for (const TMyPoint& p : points)
        result.push_back(p.ToQPointF());
    return result;
}

} // namespace

TMyPoint::TMyPoint(double x, double y)
    : x(ToSingle(x))
    , y(ToSingle(y))
{
}

TMyShape::TMyShape(int id, const QString& name, std::vector<TMyPoint> points, float angle,
                   const QPen& pen)
    : id_(id)
    , name_(name)
    , points_(std::move(points))
    , angle_(angle)
    , pen_(pen)
{
    UpdateCenter();
}

void TMyShape::SetPoint(int index, TMyPoint point)
{
    if (index < 0 || index >= static_cast<int>(points_.size()))
        return;
    points_[static_cast<std::size_t>(index)] = point;
    UpdateCenter();
}

void TMyShape::SetPointsFrom(const TMyShape& other)
{
    points_ = other.points_;
    center_ = other.center_;
}

void TMyShape::MoveBy(double dx, double dy)
{
    for (TMyPoint& p : points_)
        p = TMyPoint(double{p.x} + dx, double{p.y} + dy);
    UpdateCenter();
}

TMyPoint TMyShape::GetTopLeft() const
{
    return TMyPoint(Bounds().topLeft());
}

TMyPoint TMyShape::GetBottomRight() const
{
    return TMyPoint(Bounds().bottomRight());
}

std::int64_t TMyShape::GetWidth() const
{
    return RoundedExtent(OwnBounds().width());
}

std::int64_t TMyShape::GetHeight() const
{
    return RoundedExtent(OwnBounds().height());
}

QRectF TMyShape::Bounds() const
{
    return BoundsOf(ToQPoints(points_));
}

QPointF TMyShape::ToOwn(QPointF point) const
{
    return Turned(point, center_.ToQPointF(), -double{angle_});
}

QPointF TMyShape::FromOwn(QPointF point) const
{
    return Turned(point, center_.ToQPointF(), angle_);
}

std::vector<QPointF> TMyShape::OwnPoints() const
{
    std::vector<QPointF> result = ToQPoints(points_);
    for (QPointF& p : result)
        p = ToOwn(p);
    return result;
}

void TMyShape::SetOwnPoints(const std::vector<QPointF>& ownPoints)
{
    points_.clear();
    for (const QPointF& p : ownPoints)
        points_.emplace_back(FromOwn(p));
    UpdateCenter();
}

QRectF TMyShape::OwnBounds() const
{
    return BoundsOf(OwnPoints());
}

void TMyShape::UpdateCenter()
{
    const QRectF bounds = Bounds();
    center_ = TMyPoint((bounds.left() + bounds.right()) / 2, (bounds.top() + bounds.bottom()) / 2);
}

} // namespace varnolux
