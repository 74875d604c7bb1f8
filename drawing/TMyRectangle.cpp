#include "drawing/TMyRectangle.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#include <QLineF>
#include <QPolygonF>

namespace varnolux {

namespace {

/// Which way each corner lies from the opposite one, in the shape's own orientation.
constexpr std::array<QPoint, TMyRectangle::CornerCount> Outward = {QPoint(-1, -1), QPoint(1, -1),
                                                                   QPoint(1, 1), QPoint(-1, 1)};

double SegmentDistance(QPointF point, QPointF a, QPointF b)
{
    const QPointF ab = b - a;
    const double length2 = QPointF::dotProduct(ab, ab);
    const double t =
        length2 > 0 ? std::clamp(QPointF::dotProduct(point - a, ab) / length2, 0.0, 1.0) : 0.0;
    return QLineF(point, a + t * ab).length();
}

} // namespace

TMyRectangle::TMyRectangle(int id, const QString& name,
                           const std::array<TMyPoint, CornerCount>& corners, float angle,
                           const QPen& pen)
    : TMyShape(id, name, {corners.begin(), corners.end()}, angle, pen)
{
}

bool TMyRectangle::HandleOffered(int index) const
{
    return index >= 0 && (index < CornerCount || (showSideHot_ && index < HandleCount()));
}

TMyPoint TMyRectangle::HandlePoint(int index) const
{
    const std::vector<TMyPoint>& corners = Points();
    if (index < CornerCount)
        return corners[static_cast<std::size_t>(index)];
    const QPointF first = corners[static_cast<std::size_t>(index - CornerCount)].ToQPointF();
    const QPointF second =
        corners[static_cast<std::size_t>((index - CornerCount + 1) % CornerCount)].ToQPointF();
    return TMyPoint((first + second) / 2);
}

bool TMyRectangle::Resize(int handle, QPointF target)
{
    if (handle < 0 || handle >= HandleCount())
        return false;
    std::vector<QPointF> corners = OwnPoints();
    const QPointF to = ToOwn(target);
    // A side handle works from its first corner: top from top-left, right from
    // top-right, bottom from bottom-right, left from bottom-left.
    const int corner = handle % CornerCount;
    const bool isCorner = handle < CornerCount;
    const bool movesX = isCorner || handle == 5 || handle == 7;
    const bool movesY = isCorner || handle == 4 || handle == 6;
    const QPointF opposite = corners[static_cast<std::size_t>((corner + 2) % CornerCount)];
    const QPoint outward = Outward[static_cast<std::size_t>(corner)];
    if (movesX && outward.x() * (to.x() - opposite.x()) < MinimumSide)
        return false;
    if (movesY && outward.y() * (to.y() - opposite.y()) < MinimumSide)
        return false;

    const auto at = [&corners](int index) -> QPointF& {
        return corners[static_cast<std::size_t>(index % CornerCount)];
    };
    const QPointF d = to - at(corner);
    if (isCorner) {
        at(corner) = to;
        at(corner ^ 1).ry() += d.y(); // the neighbour on the same horizontal side
        at(3 - corner).rx() += d.x(); // the neighbour on the same vertical side
    } else {
        const QPointF along = movesX ? QPointF(d.x(), 0) : QPointF(0, d.y());
        at(corner) += along;
        at(corner + 1) += along;
    }
    SetOwnPoints(corners);
    return true;
}

QPainterPath TMyRectangle::Outline() const
{
    QPolygonF polygon;
    for (const TMyPoint& p : Points())
        polygon << p.ToQPointF();
    QPainterPath path;
    path.addPolygon(polygon);
    path.closeSubpath();
    return path;
}

bool TMyRectangle::Contains(QPointF point) const
{
    return OwnBounds().contains(ToOwn(point));
}

double TMyRectangle::OutlineDistance(QPointF point) const
{
    const std::vector<TMyPoint>& corners = Points();
    double distance = std::numeric_limits<double>::infinity();
    for (std::size_t i = 0; i < corners.size(); ++i)
        distance =
            std::min(distance, SegmentDistance(point, corners[i].ToQPointF(),
                                               corners[(i + 1) % corners.size()].ToQPointF()));
    return distance;
}

std::unique_ptr<TMyShape> TMyRectangle::Clone() const
{
    return std::unique_ptr<TMyShape>(new TMyRectangle(*this));
}

void TMyRectangle::ConstrainSquare(QPoint corner, QPoint& toPoint, int handle)
{
    if (handle < 0 || handle >= CornerCount)
        return;
    const int dx = toPoint.x() - corner.x();
    const int dy = toPoint.y() - corner.y();
    const bool verticalLeads = std::abs(dy) >= std::abs(dx);
    if (handle == 0 || handle == 2) {
        const int f = verticalLeads ? dy : dx;
        toPoint = corner + QPoint(f, f);
        return;
    }
    // Along the other diagonal the leading move keeps its direction: right or up
    // grows the top-right corner, left or down the bottom-left one.
    const int f = verticalLeads ? -dy : dx;
    toPoint = corner + QPoint(f, -f);
}

} // namespace varnolux
