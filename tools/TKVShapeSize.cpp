#include "tools/TKVShapeSize.h"

#include <algorithm>

#include <QMouseEvent>
#include <QPainter>

namespace varnolux {

namespace {

constexpr int HandleCount = 8;

Qt::CursorShape HandleCursor(int handle)
{
    static constexpr std::array<Qt::CursorShape, HandleCount> cursors = {
        Qt::SizeFDiagCursor, Qt::SizeBDiagCursor, Qt::SizeHorCursor, Qt::SizeBDiagCursor,
        Qt::SizeFDiagCursor, Qt::SizeHorCursor,   Qt::SizeVerCursor, Qt::SizeVerCursor};
    return cursors[static_cast<size_t>(handle)];
}

/// The square of side min(width, height) centred in the rectangle.
QRect CentredSquare(const QRect& rect)
{
    const int side = std::min(rect.width(), rect.height());
    return {rect.left() + (rect.width() - side) / 2, rect.top() + (rect.height() - side) / 2, side,
            side};
}

QPoint GlobalPointer(const QMouseEvent& event)
{
    return event.globalPosition().toPoint();
}

} // namespace

/// The dashed rectangle around a selected shape; clicks go through it to the shape.
class TSelectionFrame : public QWidget {
public:
    explicit TSelectionFrame(QWidget* parent)
        : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setPen(QPen(Qt::black, 1, Qt::DashLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
};

/// One of the eight black squares that resize the shape.
class TSizingHandle : public QWidget {
public:
    TSizingHandle(QWidget* parent, TKVShapeSize& shape, int index)
        : QWidget(parent)
        , shape_(shape)
        , index_(index)
    {
        setCursor(HandleCursor(index));
        resize(TKVShapeSize::HandleSize, TKVShapeSize::HandleSize);
    }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), Qt::black); }
    void mousePressEvent(QMouseEvent* event) override
    {
        shape_.resizeHandle_ = index_;
        shape_.BeginDrag(TKVShapeSize::TDrag::Resizing, *this, GlobalPointer(*event));
    }
    void mouseMoveEvent(QMouseEvent* event) override { shape_.DragTo(GlobalPointer(*event)); }
    void mouseReleaseEvent(QMouseEvent*) override { shape_.EndDrag(); }

private:
    TKVShapeSize& shape_;
    int index_;
};

TKVShapeSize::TKVShapeSize(QWidget* parent)
    : QWidget(parent)
    , frame_(new TSelectionFrame(parent))
{
    setCursor(Qt::SizeAllCursor);
    frame_->setCursor(Qt::SizeAllCursor);
    for (int i = 0; i < HandleCount; ++i)
        handles_[static_cast<size_t>(i)] = new TSizingHandle(parent, *this, i);
    PlaceParts();
    UpdatePartVisibility();
}

TKVShapeSize::~TKVShapeSize()
{
    // The parts live in the parent; they must not outlive the shape they forward to.
    delete frame_;
    for (const QPointer<TSizingHandle>& handle : handles_)
        delete handle;
}

void TKVShapeSize::SetShape(TShapeType shape)
{
    shape_ = shape;
    update();
}

void TKVShapeSize::SetPen(const QPen& pen)
{
    pen_ = pen;
    update();
}

void TKVShapeSize::SetBounds(const QRect& bounds)
{
    setGeometry(bounds);
    PlaceParts();
}

void TKVShapeSize::setVisible(bool visible)
{
    visible_ = visible;
    QWidget::setVisible(visible);
    UpdatePartVisibility();
}

void TKVShapeSize::SetSelected(bool selected)
{
    selected_ = selected;
    UpdatePartVisibility();
    if (selected && OnSelected)
        OnSelected(*this, 0);
}

void TKVShapeSize::SetShowHandles(bool show)
{
    handlesEnabled_ = show;
    UpdatePartVisibility();
}

void TKVShapeSize::SetShowFrame(bool show)
{
    frameEnabled_ = show;
    UpdatePartVisibility();
}

void TKVShapeSize::UpdatePartVisibility()
{
    if (frame_)
        frame_->setVisible(visible_ && frameEnabled_ && selected_);
    for (const QPointer<TSizingHandle>& handle : handles_)
        if (handle)
            handle->setVisible(visible_ && handlesEnabled_ && selected_);
}

QRect TKVShapeSize::HandleRect(int handle) const
{
    // Where a handle sits along a side: at its start, at its end, or in its middle.
    enum TAlong { Start, End, Middle };
    static constexpr std::array<std::array<TAlong, 2>, HandleCount> placement = {{
        {Start, Start},
        {Start, End},
        {Start, Middle},
        {End, Start},
        {End, End},
        {End, Middle},
        {Middle, End},
        {Middle, Start},
    }};
    const auto offset = [](TAlong along, int extent) {
        return along == Start ? 0 : along == End ? extent - HandleSize : extent / 2;
    };
    const auto& where = placement[static_cast<size_t>(handle)];
    return {x() + offset(where[0], width()), y() + offset(where[1], height()), HandleSize,
            HandleSize};
}

void TKVShapeSize::PlaceParts()
{
    if (frame_)
        frame_->setGeometry(geometry());
    for (int i = 0; i < HandleCount; ++i)
        if (const QPointer<TSizingHandle>& handle = handles_[static_cast<size_t>(i)]) {
            handle->setGeometry(HandleRect(i));
            handle->raise();
        }
}

void TKVShapeSize::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    PlaceParts();
}

void TKVShapeSize::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    PlaceParts();
}

void TKVShapeSize::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(pen_);
    painter.setBrush(Qt::NoBrush);
    const QRect bounds = rect().adjusted(0, 0, -1, -1);
    switch (shape_) {
    case TShapeType::stRectangle:
        painter.drawRect(bounds);
        break;
    case TShapeType::stSquare:
        painter.drawRect(CentredSquare(bounds));
        break;
    case TShapeType::stRoundRect: {
        const int radius = std::min(bounds.width(), bounds.height()) / 4;
        painter.drawRoundedRect(bounds, radius, radius);
        break;
    }
    case TShapeType::stEllipse:
        painter.drawEllipse(bounds);
        break;
    case TShapeType::stCircle:
        painter.drawEllipse(CentredSquare(bounds));
        break;
    }
}

void TKVShapeSize::mousePressEvent(QMouseEvent* event)
{
    SetSelected(true);
    BeginDrag(TDrag::Moving, *this, GlobalPointer(*event));
}

void TKVShapeSize::mouseMoveEvent(QMouseEvent* event)
{
    DragTo(GlobalPointer(*event));
}

void TKVShapeSize::mouseReleaseEvent(QMouseEvent*)
{
    EndDrag();
}

void TKVShapeSize::BeginDrag(TDrag drag, const QWidget& part, QPoint globalPointer)
{
    drag_ = drag;
    dragged_ = false;
    pressPointer_ = parentWidget()->mapFromGlobal(globalPointer);
    pressBounds_ = geometry();
    Confine(part, pressPointer_);
}

void TKVShapeSize::Confine(const QWidget& part, QPoint parentPointer)
{
    if (!boundControl_) {
        confinement_ = {};
        return;
    }
    const QRect bound = boundControl_->geometry();
    if (!keepInside_) {
        confinement_ = bound;
        return;
    }
    // The pointer may move as far as the part can go without leaving the control.
    const QPoint offset = parentPointer - part.pos();
    confinement_ = {bound.left() + offset.x(), bound.top() + offset.y(),
                    std::max(bound.width() - part.width() + 1, 1),
                    std::max(bound.height() - part.height() + 1, 1)};
}

QPoint TKVShapeSize::ConfinedPointer(QPoint globalPointer) const
{
    const QPoint pointer = parentWidget()->mapFromGlobal(globalPointer);
    if (confinement_.isNull())
        return pointer;
    return {std::clamp(pointer.x(), confinement_.left(), confinement_.right()),
            std::clamp(pointer.y(), confinement_.top(), confinement_.bottom())};
}

void TKVShapeSize::DragTo(QPoint globalPointer)
{
    if (drag_ == TDrag::None)
        return;
    const QPoint pointer = ConfinedPointer(globalPointer);
    const QPoint offset = pointer - pressPointer_;
    if (drag_ == TDrag::Moving) {
        const QPoint topLeft = pressBounds_.topLeft() + offset;
        if (topLeft != pos()) {
            SetBounds({topLeft, size()});
            dragged_ = true;
        }
    } else {
        ResizeWith(offset);
        Confine(*handles_[static_cast<size_t>(resizeHandle_)], pointer);
    }
    if (OnMoved)
        OnMoved(*this);
}

void TKVShapeSize::ResizeWith(QPoint offset)
{
    const int dx = offset.x();
    const int dy = offset.y();
    int left = pressBounds_.left();
    int top = pressBounds_.top();
    int width = pressBounds_.width();
    int height = pressBounds_.height();
    const bool moveLeft = resizeHandle_ == 0 || resizeHandle_ == 1 || resizeHandle_ == 2;
    const bool moveRight = resizeHandle_ == 3 || resizeHandle_ == 4 || resizeHandle_ == 5;
    const bool moveTop = resizeHandle_ == 0 || resizeHandle_ == 3 || resizeHandle_ == 7;
    const bool moveBottom = resizeHandle_ == 1 || resizeHandle_ == 4 || resizeHandle_ == 6;
    if (moveLeft) {
        left += dx;
        width -= dx;
    }
    if (moveRight)
        width += dx;
    if (moveTop) {
        top += dy;
        height -= dy;
    }
    if (moveBottom)
        height += dy;
    if (width <= MinResizedSide || height <= MinResizedSide)
        return;
    const QRect bounds(left, top, width, height);
    if (bounds != geometry()) {
        SetBounds(bounds);
        dragged_ = true;
    }
}

void TKVShapeSize::EndDrag()
{
    if (drag_ == TDrag::None)
        return;
    drag_ = TDrag::None;
    confinement_ = {};
    if (OnReleased)
        OnReleased(*this);
    else if (OnMoved)
        OnMoved(*this);
}

} // namespace varnolux
