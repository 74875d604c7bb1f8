#pragma once

#include <optional>
#include <vector>

#include <QAbstractScrollArea>
#include <QCursor>
#include <QImage>
#include <QPolygon>

namespace varnolux {

/// A picture at a zoom in a scrollable area, for the tool windows. Only the visible
/// part is painted, scaled as it is painted, so a large zoom of a large picture
/// needs no zoomed copy. Mouse positions are handed on in picture pixels; lines
/// given as an overlay are drawn over the picture by inverting what they cross.
class TPictureView : public QAbstractScrollArea {
    Q_OBJECT

public:
    static constexpr int MinZoom = 1;
    static constexpr int MaxZoom = 1600;
    /// A zoom in percent that the view can show: not a number or 0 and below give
    /// 100, the rest is held within MinZoom..MaxZoom.
    static int SaneZoom(double percent);

    explicit TPictureView(QWidget* parent = nullptr);

    /// Shows the picture (kept in a format that paints without conversion).
    void SetPicture(const QImage& picture);
    const QImage& Picture() const { return picture_; }
    /// The picture for changing its pixels in place; call PictureChanged afterwards.
    QImage& Picture() { return picture_; }
    void PictureChanged() { viewport()->update(); }

    int Zoom() const { return zoom_; }
    /// Sets the zoom (made sane) and tells ZoomChanged.
    void SetZoom(double percent);
    /// The picture's size at the zoom: width · zoom / 100 by height · zoom / 100.
    qint64 ZoomedWidth() const;
    qint64 ZoomedHeight() const;

    /// The picture pixel under a viewport position: view position · 100 / zoom,
    /// truncated toward zero (so it may lie outside the picture).
    QPoint PicturePosition(QPoint viewportPosition) const;

    /// Polylines in picture pixels, drawn through the pixel centres.
    void SetOverlay(std::vector<QPolygon> polylines);
    const std::vector<QPolygon>& Overlay() const { return overlay_; }

    /// With a cursor, pressing any button on the picture and dragging moves it with
    /// the pointer, showing that cursor meanwhile; without, there is no dragging.
    void SetDragCursor(std::optional<QCursor> cursor);
    bool Dragging() const { return dragging_; }
    /// Ends a drag in progress, giving back the cursor it replaced.
    void EndDrag();

Q_SIGNALS:
    void ZoomChanged(int percent);
    void MousePressed(QPoint picturePosition, Qt::MouseButton button);
    void MouseMoved(QPoint picturePosition, Qt::MouseButtons buttons);
    void MouseReleased(QPoint picturePosition, Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void UpdateScrollRanges();
    QPoint ScrollOffset() const;
    void DrawOverlay(QPainter& painter) const;

    QImage picture_;
    int zoom_ = 100;
    std::vector<QPolygon> overlay_;
    std::optional<QCursor> dragCursor_;
    bool dragging_ = false;
    QPoint dragStart_;
    QPoint dragStartScroll_;
};

} // namespace varnolux
