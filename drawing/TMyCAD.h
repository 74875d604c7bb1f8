#pragma once

#include "drawing/TMyShape.h"
#include "drawing/TMySnap.h"

#include <functional>
#include <memory>
#include <span>
#include <vector>

#include <QColor>
#include <QImage>
#include <QPen>
#include <QWidget>

namespace varnolux {

/// The kinds of shape the canvas creates; selecting is what the mouse does.
enum class TDrawTool { SpSelecting, SpRectangle, SpEllipse };

/// A drawing canvas: shapes over a background picture, selected, moved and resized
/// with the mouse. Shapes live in image pixels; the canvas shows them at Zoom canvas
/// pixels per image pixel and is itself the picture's size times Zoom, so a scroll
/// area can hold it. It paints only what is exposed.
class TMyCAD : public QWidget {
    Q_OBJECT

public:
    /// Half the side of a handle's square, and how near an outline the pointer must
    /// be to hit it (canvas pixels).
    static constexpr int HotSize = 4;

    /// Called with the shape, where the button went down (FromPoint) and the point
    /// the canvas is about to use (ToPoint, canvas pixels), which the handler may
    /// change. A callback, not a signal: the canvas goes on with the changed point, so
    /// exactly one handler must run, before the canvas continues; a signal may have
    /// several receivers or a queued connection that would drop the change.
    using TShapeMouseDraggingSizing =
        std::function<void(TMyShape& shape, QPoint fromPoint, QPoint& toPoint)>;
    /// While a handle is dragged, with the snapped pointer.
    TShapeMouseDraggingSizing OnShapeMouseResizing;
    /// At the release of a handle, before the shape is resized to ToPoint.
    TShapeMouseDraggingSizing OnShapeMouseResized;
    /// After the selected shapes were moved by ToPoint - FromPoint; a changed ToPoint
    /// moves them on by the difference.
    TShapeMouseDraggingSizing OnShapeMouseDragged;

    explicit TMyCAD(QWidget* parent = nullptr);
    ~TMyCAD() override;

    double Zoom() const { return zoom_; }
    /// False, and the zoom stays, unless the factor is finite and above 0.
    bool SetZoom(double zoom);
    /// The background, shared with the caller (QImage shares its pixels): the
    /// caller keeps them alive and unchanged while the canvas shows them.
    const QImage& BkBitmap() const { return bkBitmap_; }
    void SetBkBitmap(const QImage& bitmap);
    QColor ColorOfBackGround() const { return colorOfBackGround_; }
    void SetColorOfBackGround(const QColor& colour);
    /// The pen every new shape starts with.
    const QPen& Pen() const { return pen_; }
    void SetPen(const QPen& pen) { pen_ = pen; }
    TMySnap& Snapping() { return snap_; }
    const TMySnap& Snapping() const { return snap_; }

    /// Creates a rectangle or ellipse from four corners in canvas pixels (top-left,
    /// top-right, bottom-right, bottom-left), stored divided by Zoom. The new ID, or
    /// -1 for another kind or number of points.
    int AddShape(TDrawTool kind, float angle, std::span<const QPoint> canvasPoints,
                 const QString& name);
    /// The first shape with exactly this name, or none.
    TMyShape* FindShapeByName(const QString& name) const;
    /// The shape with this ID, or none when it was deleted or never existed.
    TMyShape* FindShapeById(int id) const;
    /// Removes the shape, and with it from the selection and from a drag or resize
    /// in progress. An unknown ID does nothing.
    void DeleteShape(int id);
    int ShapeCount() const { return static_cast<int>(shapes_.size()); }

    /// The shape last pressed on, or none.
    TMyShape* CurrentShape() const { return current_; }
    const std::vector<TMyShape*>& SelectedShapes() const { return selected_; }

    /// Where a point in image pixels lies on the canvas, to the nearest canvas pixel.
    QPoint ToCanvas(TMyPoint imagePoint) const;

    QSize sizeHint() const override;

Q_SIGNALS:
    void SelectionChanged();
    /// A shape was moved or resized with the mouse.
    void ShapeChanged(int id);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    enum class TMouseMode { Idle, Dragging, Resizing };

    /// A shape in a drag or resize, and where it would go: shapes change only at the
    /// release, the canvas shows the outline that follows the pointer.
    struct TPreview {
        TMyShape* Shape;
        std::unique_ptr<TMyShape> Moved;
    };

    struct TGesture {
        TMouseMode Mode = TMouseMode::Idle;
        TMyShape* Shape = nullptr;
        int Handle = -1;
        QPoint FromPoint;
        QPoint ToPoint;
        bool Moved = false;
        /// The selected shapes' bounds at the press (canvas pixels), for snapping.
        QRect DragBounds;
        std::vector<TPreview> Previews;
    };

    struct THandleHit {
        TMyShape* Shape = nullptr;
        int Handle = -1;
    };

    using TShapes = std::vector<std::unique_ptr<TMyShape>>;

    TShapes::const_iterator ShapeWithId(int id) const;
    THandleHit HandleAt(QPoint point) const;
    TMyShape* ShapeAt(QPoint point) const;
    bool IsSelected(const TMyShape* shape) const;
    void Select(std::vector<TMyShape*> shapes);
    void UpdateHoverCursor(QPoint point);

    void BeginResize(TMyShape& shape, int handle, QPoint point);
    void BeginDrag(QPoint point);
    void UpdateDragBounds();
    /// The resize to the pointer: false when the shape went in the handler.
    bool FollowResize(QPoint point, Qt::KeyboardModifiers modifiers, bool released);
    void FollowDrag(QPoint point);
    void FinishResize(QPoint point, Qt::KeyboardModifiers modifiers);
    void FinishDrag(QPoint point);
    void EndGesture();

    /// The shape's outline in canvas pixels, held within the canvas limits.
    QPainterPath CanvasOutline(const TMyShape& shape) const;
    /// What a shape covers on the canvas with its handles.
    QRect DisplayRect(const TMyShape& shape) const;
    const TMyShape& Displayed(const TMyShape& shape) const;
    void DrawBackground(QPainter& painter, const QRect& area) const;
    void DrawHandles(QPainter& painter, const TMyShape& shape) const;

    TShapes shapes_;
    int shapeCounter_ = 0;
    TMyShape* current_ = nullptr;
    std::vector<TMyShape*> selected_;
    TGesture gesture_;

    double zoom_ = 1;
    QImage bkBitmap_;
    QColor colorOfBackGround_ = Qt::white;
    QPen pen_{Qt::black};
    TMySnap snap_;
    Qt::CursorShape hoverCursor_ = Qt::CrossCursor;
};

} // namespace varnolux
