#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include <QPainterPath>
#include <QPen>
#include <QPointF>
#include <QRectF>
#include <QString>

namespace varnolux {

/// A point of a shape in image pixels. Shapes keep their geometry in single
/// precision; values beyond its range are held at its largest magnitude.
struct TMyPoint {
    float x = 0;
    float y = 0;

    TMyPoint() = default;
    TMyPoint(double x, double y);
    explicit TMyPoint(QPointF point)
        : TMyPoint(point.x(), point.y())
    {
    }
    QPointF ToQPointF() const { return {x, y}; }
    friend bool operator==(const TMyPoint&, const TMyPoint&) = default;
};

/// A shape of the drawing canvas: named points in image pixels (unzoomed), turned by
/// Angle degrees about their centre. Only the canvas that owns a shape creates,
/// moves and resizes it; the owner of the canvas may set its points and pen.
class TMyShape {
public:
    virtual ~TMyShape() = default;

    /// The canvas's counter at creation: unique on its canvas, never reused.
    int ID() const { return id_; }
    const QString& Name() const { return name_; }
    void SetName(const QString& name) { name_ = name; }
    float Angle() const { return angle_; }
    const QPen& Pen() const { return pen_; }
    void SetPen(const QPen& pen) { pen_ = pen; }
    /// The handle being dragged with the mouse, -1 when none.
    int HotIndex() const { return hotIndex_; }
    void SetHotIndex(int index) { hotIndex_ = index; }

    const std::vector<TMyPoint>& Points() const { return points_; }
    /// Replaces one point (image pixels, no zoom); the centre follows. An index
    /// outside the points does nothing.
    void SetPoint(int index, TMyPoint point);
    /// Takes over the points of a shape of the same kind.
    void SetPointsFrom(const TMyShape& other);
    void MoveBy(double dx, double dy);

    /// Smallest x and y, largest x and y over the points.
    TMyPoint GetTopLeft() const;
    TMyPoint GetBottomRight() const;
    /// The centre of the points' bounding box.
    TMyPoint GetCenter() const { return center_; }
    /// Width and height in the shape's own orientation (the points turned back by
    /// -Angle about the centre), each rounded to the nearest integer.
    std::int64_t GetWidth() const;
    std::int64_t GetHeight() const;
    /// The bounding box of the points.
    QRectF Bounds() const;

    /// Handles the mouse can drag; an index not offered is never reported as hit.
    virtual int HandleCount() const = 0;
    virtual bool HandleOffered(int index) const = 0;
    virtual TMyPoint HandlePoint(int index) const = 0;
    /// Moves a handle to the target (image pixels). False, and nothing changes, when
    /// the resize would turn the shape inside out.
    virtual bool Resize(int handle, QPointF target) = 0;

    /// The outline to draw, in image pixels.
    virtual QPainterPath Outline() const = 0;
    /// Whether the point (image pixels) lies inside the outline.
    virtual bool Contains(QPointF point) const = 0;
    /// The distance of the point (image pixels) from the outline.
    virtual double OutlineDistance(QPointF point) const = 0;

    /// A copy, used to preview a move or resize before it is applied.
    virtual std::unique_ptr<TMyShape> Clone() const = 0;

protected:
    TMyShape(int id, const QString& name, std::vector<TMyPoint> points, float angle,
             const QPen& pen);
    TMyShape(const TMyShape&) = default;
    TMyShape& operator=(const TMyShape&) = delete;

    /// Between image pixels and the shape's own orientation, about the centre.
    QPointF ToOwn(QPointF point) const;
    QPointF FromOwn(QPointF point) const;
    /// The points in the shape's own orientation.
    std::vector<QPointF> OwnPoints() const;
    /// Replaces all points, given in the shape's own orientation about the current
    /// centre, and recomputes the centre.
    void SetOwnPoints(const std::vector<QPointF>& ownPoints);
    /// The bounding box of the points in the shape's own orientation.
    QRectF OwnBounds() const;

private:
    void UpdateCenter();

    int id_;
    QString name_;
    std::vector<TMyPoint> points_;
    TMyPoint center_;
    float angle_;
    QPen pen_;
    int hotIndex_ = -1;
};

} // namespace varnolux
