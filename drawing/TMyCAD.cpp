#include "drawing/TMyCAD.h"

#include "drawing/CanvasPixels.h"
#include "drawing/PictureArea.h"
#include "drawing/TMyEllipse.h"
#include "drawing/TMyRectangle.h"

#include <algorithm>
#include <array>
#include <cmath>

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace varnolux {

namespace {

Qt::CursorShape HandleCursor(int handle)
{
    static constexpr std::array<Qt::CursorShape, 8> cursors = {
        Qt::SizeFDiagCursor, Qt::SizeBDiagCursor, Qt::SizeFDiagCursor, Qt::SizeBDiagCursor,
        Qt::SizeVerCursor,   Qt::SizeHorCursor,   Qt::SizeVerCursor,   Qt::SizeHorCursor};
    return cursors[static_cast<std::size_t>(handle % 8)];
}

/// A canvas extent of an image extent at a zoom, truncated, within a widget's limits.
int CanvasExtent(int imageExtent, double zoom)
{
    return std::clamp(CanvasPixel(imageExtent * zoom), 0, QWIDGETSIZE_MAX);
}

double HeldInCanvas(double value)
{
    return std::clamp(value, double{-CanvasLimit}, double{CanvasLimit});
}

/// The pixels a handle covers: its outline is drawn on the border of this square.
QRect HandleSquare(QPoint centre)
{
    const QPoint half(TMyCAD::HotSize, TMyCAD::HotSize);
    return {centre - half, centre + half};
}

} // namespace

TMyCAD::TMyCAD(QWidget* parent)
    : QWidget(parent)
{
    setMouseTracking(true);
    setCursor(hoverCursor_);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(sizeHint());
}

TMyCAD::~TMyCAD() = default;

bool TMyCAD::SetZoom(double zoom)
{
    if (!std::isfinite(zoom) || zoom <= 0)
        return false;
    if (zoom == zoom_)
        return true;
    EndGesture();
    zoom_ = zoom;
    setFixedSize(sizeHint());
    update();
    return true;
}

void TMyCAD::SetBkBitmap(const QImage& bitmap)
{
    bkBitmap_ = bitmap;
    setFixedSize(sizeHint());
    update();
}

void TMyCAD::SetColorOfBackGround(const QColor& colour)
{
    colorOfBackGround_ = colour;
    update();
}

QSize TMyCAD::sizeHint() const
{
    return {CanvasExtent(bkBitmap_.width(), zoom_), CanvasExtent(bkBitmap_.height(), zoom_)};
}

QPoint TMyCAD::ToCanvas(TMyPoint imagePoint) const
{
    return CanvasPoint(imagePoint.ToQPointF() * zoom_);
}

int TMyCAD::AddShape(TDrawTool kind, float angle, std::span<const QPoint> canvasPoints,
                     const QString& name)
{
    if (canvasPoints.size() != TMyRectangle::CornerCount)
        return -1;
    std::array<TMyPoint, TMyRectangle::CornerCount> corners;
    std::ranges::transform(canvasPoints, corners.begin(),
                           [this](QPoint p) { return TMyPoint(p.x() / zoom_, p.y() / zoom_); });
    const int id = shapeCounter_;
    switch (kind) {
    case TDrawTool::SpRectangle:
        shapes_.push_back(std::make_unique<TMyRectangle>(id, name, corners, angle, pen_));
        break;
    case TDrawTool::SpEllipse:
        shapes_.push_back(std::make_unique<TMyEllipse>(id, name, corners, angle, pen_));
        break;
    case TDrawTool::SpSelecting:
        return -1;
    }
    ++shapeCounter_;
    update(DisplayRect(*shapes_.back()));
    return id;
}

TMyShape* TMyCAD::FindShapeByName(const QString& name) const
{
    const auto found = std::ranges::find_if(
        shapes_, [&name](const std::unique_ptr<TMyShape>& shape) { return shape->Name() == name; });
    return found == shapes_.end() ? nullptr : found->get();
}

TMyCAD::TShapes::const_iterator TMyCAD::ShapeWithId(int id) const
{
    return std::ranges::find_if(
        shapes_, [id](const std::unique_ptr<TMyShape>& shape) { return shape->ID() == id; });
}

TMyShape* TMyCAD::FindShapeById(int id) const
{
    if (id < 0 || id >= shapeCounter_)
        return nullptr;
    const auto found = ShapeWithId(id);
    return found == shapes_.end() ? nullptr : found->get();
}

void TMyCAD::DeleteShape(int id)
{
    const auto found = ShapeWithId(id);
    if (found == shapes_.end())
        return;
    TMyShape* shape = found->get();
    update(DisplayRect(Displayed(*shape)) | DisplayRect(*shape));
    if (gesture_.Shape == shape)
        EndGesture();
    if (std::erase_if(gesture_.Previews,
                      [shape](const TPreview& preview) { return preview.Shape == shape; }) > 0)
        UpdateDragBounds();
    if (current_ == shape)
        current_ = nullptr;
    const bool wasSelected = std::erase(selected_, shape) > 0;
    shapes_.erase(found);
    if (wasSelected)
        Q_EMIT SelectionChanged();
}

TMyCAD::THandleHit TMyCAD::HandleAt(QPoint point) const
{
    std::vector<TMyShape*> candidates = selected_;
    if (current_ && IsSelected(current_)) {
        std::erase(candidates, current_);
        candidates.insert(candidates.begin(), current_);
    }
    for (TMyShape* shape : candidates)
        for (int handle = 0; handle < shape->HandleCount(); ++handle)
            if (shape->HandleOffered(handle) &&
                HandleSquare(ToCanvas(shape->HandlePoint(handle))).contains(point))
                return {shape, handle};
    return {};
}

TMyShape* TMyCAD::ShapeAt(QPoint point) const
{
    // An outline under the pointer wins, the topmost first; inside outlines the
    // innermost shape, so that a shape drawn within another stays reachable.
    const QPointF imagePoint = QPointF(point) / zoom_;
    for (auto it = shapes_.rbegin(); it != shapes_.rend(); ++it)
        if ((*it)->OutlineDistance(imagePoint) * zoom_ <= HotSize)
            return it->get();
    TMyShape* innermost = nullptr;
    double innermostArea = 0;
    for (const std::unique_ptr<TMyShape>& shape : shapes_) {
        if (!shape->Contains(imagePoint))
            continue;
        const QRectF bounds = shape->Bounds();
        const double area = bounds.width() * bounds.height();
        if (!innermost || area <= innermostArea) {
            innermost = shape.get();
            innermostArea = area;
        }
    }
    return innermost;
}

bool TMyCAD::IsSelected(const TMyShape* shape) const
{
    return std::ranges::find(selected_, shape) != selected_.end();
}

void TMyCAD::Select(std::vector<TMyShape*> shapes)
{
    if (shapes == selected_)
        return;
    for (const TMyShape* shape : selected_)
        update(DisplayRect(*shape));
    selected_ = std::move(shapes);
    for (const TMyShape* shape : selected_)
        update(DisplayRect(*shape));
    Q_EMIT SelectionChanged();
}

void TMyCAD::UpdateHoverCursor(QPoint point)
{
    Qt::CursorShape shape = Qt::CrossCursor;
    if (const THandleHit hit = HandleAt(point); hit.Shape)
        shape = HandleCursor(hit.Handle);
    else if (ShapeAt(point))
        shape = Qt::SizeAllCursor;
    if (shape != hoverCursor_) {
        hoverCursor_ = shape;
        setCursor(shape);
    }
}

void TMyCAD::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    EndGesture();
    const QPoint point = event->position().toPoint();
    if (const THandleHit hit = HandleAt(point); hit.Shape) {
        current_ = hit.Shape;
        BeginResize(*hit.Shape, hit.Handle, point);
        return;
    }
    TMyShape* shape = ShapeAt(point);
    if (!shape) {
        current_ = nullptr;
        Select({});
        return;
    }
    if (event->modifiers().testFlag(Qt::ControlModifier)) {
        std::vector<TMyShape*> selection = selected_;
        if (IsSelected(shape)) {
            std::erase(selection, shape);
            current_ = selection.empty() ? nullptr : selection.back();
            Select(std::move(selection));
            return;
        }
        selection.push_back(shape);
        Select(std::move(selection));
    } else if (!IsSelected(shape)) {
        Select({shape});
    }
    current_ = shape;
    BeginDrag(point);
}

void TMyCAD::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    switch (gesture_.Mode) {
    case TMouseMode::Idle:
        UpdateHoverCursor(point);
        break;
    case TMouseMode::Resizing:
        gesture_.Moved = gesture_.Moved || point != gesture_.FromPoint;
        FollowResize(point, event->modifiers(), false);
        break;
    case TMouseMode::Dragging:
        gesture_.Moved = gesture_.Moved || point != gesture_.FromPoint;
        FollowDrag(point);
        break;
    }
}

void TMyCAD::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint point = event->position().toPoint();
    // A click without a move changes nothing, wherever it fell within a handle.
    if (!gesture_.Moved && point == gesture_.FromPoint) {
        EndGesture();
        return;
    }
    switch (gesture_.Mode) {
    case TMouseMode::Idle:
        break;
    case TMouseMode::Resizing:
        FinishResize(point, event->modifiers());
        break;
    case TMouseMode::Dragging:
        FinishDrag(point);
        break;
    }
}

void TMyCAD::BeginResize(TMyShape& shape, int handle, QPoint point)
{
    shape.SetHotIndex(handle);
    gesture_.Mode = TMouseMode::Resizing;
    gesture_.Shape = &shape;
    gesture_.Handle = handle;
    gesture_.FromPoint = point;
    gesture_.ToPoint = point;
    gesture_.Previews.push_back({&shape, shape.Clone()});
}

void TMyCAD::BeginDrag(QPoint point)
{
    gesture_.Mode = TMouseMode::Dragging;
    gesture_.Shape = current_;
    gesture_.FromPoint = point;
    gesture_.ToPoint = point;
    for (TMyShape* shape : selected_)
        gesture_.Previews.push_back({shape, shape->Clone()});
    UpdateDragBounds();
}

void TMyCAD::UpdateDragBounds()
{
    if (gesture_.Previews.empty())
        return;
    QPoint topLeft(CanvasLimit, CanvasLimit);
    QPoint bottomRight(-CanvasLimit, -CanvasLimit);
    for (const TPreview& preview : gesture_.Previews) {
        const QPoint shapeTopLeft = ToCanvas(preview.Shape->GetTopLeft());
        const QPoint shapeBottomRight = ToCanvas(preview.Shape->GetBottomRight());
        topLeft = {std::min(topLeft.x(), shapeTopLeft.x()),
                   std::min(topLeft.y(), shapeTopLeft.y())};
        bottomRight = {std::max(bottomRight.x(), shapeBottomRight.x()),
                       std::max(bottomRight.y(), shapeBottomRight.y())};
    }
    gesture_.DragBounds = QRect(topLeft, bottomRight);
}

bool TMyCAD::FollowResize(QPoint point, Qt::KeyboardModifiers modifiers, bool released)
{
    TMyShape& shape = *gesture_.Shape;
    const int id = shape.ID();
    const int handle = gesture_.Handle;
    const bool isCorner = handle < TMyRectangle::CornerCount;
    QPoint to = snap_.SnapPoint(point);
    if (isCorner && modifiers.testFlag(Qt::ShiftModifier)) {
        const TMyPoint opposite =
            shape.Points()[static_cast<std::size_t>((handle + 2) % TMyRectangle::CornerCount)];
        TMyRectangle::ConstrainSquare(ToCanvas(opposite), to, handle);
    }
    const QPoint pointer = to;
    // A copy: the handler may replace itself while it runs.
    if (const TShapeMouseDraggingSizing handler =
            released ? OnShapeMouseResized : OnShapeMouseResizing)
        handler(shape, gesture_.FromPoint, to);
    if (gesture_.Mode != TMouseMode::Resizing || !FindShapeById(id))
        return false;
    // A side handle moves along one axis only; the handler has no say in it.
    if (!isCorner)
        to = pointer;
    TMyShape& preview = *gesture_.Previews.front().Moved;
    const QRect before = DisplayRect(preview);
    preview.Resize(handle, QPointF(to) / zoom_);
    gesture_.ToPoint = to;
    update(before | DisplayRect(preview));
    return true;
}

void TMyCAD::FollowDrag(QPoint point)
{
    QPoint offset = point - gesture_.FromPoint;
    offset += snap_.DragCorrection(gesture_.DragBounds.translated(offset));
    gesture_.ToPoint = gesture_.FromPoint + offset;
    for (TPreview& preview : gesture_.Previews) {
        const QRect before = DisplayRect(*preview.Moved);
        preview.Moved->SetPointsFrom(*preview.Shape);
        preview.Moved->MoveBy(offset.x() / zoom_, offset.y() / zoom_);
        update(before | DisplayRect(*preview.Moved));
    }
}

void TMyCAD::FinishResize(QPoint point, Qt::KeyboardModifiers modifiers)
{
    if (!FollowResize(point, modifiers, true))
        return;
    TMyShape& shape = *gesture_.Shape;
    const QRect before = DisplayRect(shape);
    shape.SetPointsFrom(*gesture_.Previews.front().Moved);
    EndGesture();
    update(before | DisplayRect(shape));
    Q_EMIT ShapeChanged(shape.ID());
}

void TMyCAD::FinishDrag(QPoint point)
{
    FollowDrag(point);
    const QPoint from = gesture_.FromPoint;
    const QPoint applied = gesture_.ToPoint;
    TMyShape* current = gesture_.Shape;
    std::vector<int> moved;
    for (const TPreview& preview : gesture_.Previews) {
        update(DisplayRect(*preview.Shape));
        preview.Shape->SetPointsFrom(*preview.Moved);
        moved.push_back(preview.Shape->ID());
    }
    EndGesture();
    if (applied == from)
        return;
    QPoint to = applied;
    if (const TShapeMouseDraggingSizing handler = OnShapeMouseDragged)
        handler(*current, from, to);
    const QPoint further = to - applied;
    for (const int id : moved)
        if (TMyShape* shape = FindShapeById(id)) {
            update(DisplayRect(*shape));
            shape->MoveBy(further.x() / zoom_, further.y() / zoom_);
            update(DisplayRect(*shape));
        }
    for (const int id : moved)
        if (FindShapeById(id))
            Q_EMIT ShapeChanged(id);
}

void TMyCAD::EndGesture()
{
    if (gesture_.Shape && gesture_.Mode == TMouseMode::Resizing)
        gesture_.Shape->SetHotIndex(-1);
    for (const TPreview& preview : gesture_.Previews)
        update(DisplayRect(*preview.Moved));
    gesture_ = {};
}

QPainterPath TMyCAD::CanvasOutline(const TMyShape& shape) const
{
    QPainterPath path = shape.Outline();
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element element = path.elementAt(i);
        path.setElementPositionAt(i, HeldInCanvas(element.x * zoom_),
                                  HeldInCanvas(element.y * zoom_));
    }
    return path;
}

QRect TMyCAD::DisplayRect(const TMyShape& shape) const
{
    const int margin = HotSize + std::max(1, shape.Pen().width()) + 1;
    return CanvasOutline(shape).controlPointRect().toAlignedRect().adjusted(-margin, -margin,
                                                                            margin, margin);
}

const TMyShape& TMyCAD::Displayed(const TMyShape& shape) const
{
    for (const TPreview& preview : gesture_.Previews)
        if (preview.Shape == &shape)
            return *preview.Moved;
    return shape;
}

void TMyCAD::paintEvent(QPaintEvent* event)
{
    const QRect area = event->rect();
    QPainter painter(this);
    painter.fillRect(area, colorOfBackGround_);
    DrawBackground(painter, area);
    painter.setBrush(Qt::NoBrush);
    for (const std::unique_ptr<TMyShape>& shape : shapes_) {
        if (!area.intersects(DisplayRect(*shape)))
            continue;
        QPen pen = shape->Pen();
        pen.setCosmetic(true);
        painter.setPen(pen);
        painter.drawPath(CanvasOutline(*shape));
    }
    // The outline that follows the pointer: dashes over white, seen on any picture.
    for (const TPreview& preview : gesture_.Previews) {
        const QPainterPath outline = CanvasOutline(*preview.Moved);
        painter.setPen(QPen(Qt::white, 0));
        painter.drawPath(outline);
        painter.setPen(QPen(Qt::black, 0, Qt::DashLine));
        painter.drawPath(outline);
    }
    for (const TMyShape* shape : selected_)
        DrawHandles(painter, Displayed(*shape));
}

void TMyCAD::DrawBackground(QPainter& painter, const QRect& area) const
{
    DrawPictureArea(painter, area, bkBitmap_, zoom_);
}

void TMyCAD::DrawHandles(QPainter& painter, const TMyShape& shape) const
{
    painter.setPen(QPen(Qt::black, 0));
    painter.setBrush(Qt::white);
    for (int handle = 0; handle < shape.HandleCount(); ++handle)
        if (shape.HandleOffered(handle))
            painter.drawRect(
                HandleSquare(ToCanvas(shape.HandlePoint(handle))).adjusted(0, 0, -1, -1));
    painter.setBrush(Qt::NoBrush);
}

} // namespace varnolux
