#pragma once

#include <array>
#include <functional>

#include <QPen>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QWidget>

namespace varnolux {

class TSelectionFrame;
class TSizingHandle;

/// A shape the user moves with the mouse and, through eight handles, resizes. The
/// dashed frame and the handles are siblings of the shape in its parent. While a
/// drag runs, the shape (or the dragged handle) is kept over a bound control.
class TKVShapeSize : public QWidget {
    Q_OBJECT

public:
    enum class TShapeType { stRectangle, stSquare, stRoundRect, stEllipse, stCircle };

    static constexpr int HandleSize = 5;
    /// A resize applies only when both new sides exceed this.
    static constexpr int MinResizedSide = 14;

    explicit TKVShapeSize(QWidget* parent);
    ~TKVShapeSize() override;

    TShapeType Shape() const { return shape_; }
    void SetShape(TShapeType shape);
    void SetPen(const QPen& pen);

    /// Moves and sizes the shape and its frame and places the handles.
    void SetBounds(const QRect& bounds);

    void setVisible(bool visible) override;
    bool Selected() const { return selected_; }
    void SetSelected(bool selected);
    void SetShowHandles(bool show);
    void SetShowFrame(bool show);

    /// The control the shape must stay over while dragged; none lets it go anywhere.
    void SetBoundControl(QWidget* control) { boundControl_ = control; }
    QWidget* BoundControl() const { return boundControl_; }
    /// Keeps all of the dragged part over the bound control, not just the pointer.
    void SetKeepInside(bool keepInside) { keepInside_ = keepInside; }
    bool KeepInside() const { return keepInside_; }

    /// Whether the last press moved or resized the shape (a plain click does not).
    bool Dragged() const { return dragged_; }

    /// After every pointer move while the shape is dragged or resized.
    std::function<void(TKVShapeSize&)> OnMoved;
    /// At the release of a press on the shape or a handle; without it OnMoved runs.
    std::function<void(TKVShapeSize&)> OnReleased;
    std::function<void(TKVShapeSize&, int)> OnSelected;

    /// The handle's rectangle in the parent for the shape's current bounds.
    QRect HandleRect(int handle) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class TSizingHandle;

    enum class TDrag { None, Moving, Resizing };

    void BeginDrag(TDrag drag, const QWidget& part, QPoint globalPointer);
    void DragTo(QPoint globalPointer);
    void EndDrag();
    void ResizeWith(QPoint offset);
    /// The pointer in parent coordinates, kept where the dragged part stays over the
    /// bound control.
    QPoint ConfinedPointer(QPoint globalPointer) const;
    void Confine(const QWidget& part, QPoint parentPointer);
    void PlaceParts();
    void UpdatePartVisibility();

    TShapeType shape_ = TShapeType::stRectangle;
    QPen pen_;
    QPointer<TSelectionFrame> frame_;
    std::array<QPointer<TSizingHandle>, 8> handles_;
    bool selected_ = true;
    bool handlesEnabled_ = true;
    bool frameEnabled_ = true;
    bool visible_ = true;

    QPointer<QWidget> boundControl_;
    bool keepInside_ = false;

    TDrag drag_ = TDrag::None;
    int resizeHandle_ = -1;
    bool dragged_ = false;
    QPoint pressPointer_;
    QRect pressBounds_;
    QRect confinement_;
};

} // namespace varnolux
