#include "chart/Tsp_XYPlot.h"

#include "chart/Tsp_QtCanvas.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>

namespace varnolux {

namespace {

Tsp_ShiftState ShiftStateOf(const QMouseEvent& event)
{
    Tsp_ShiftState state = 0;
    const Qt::KeyboardModifiers keys = event.modifiers();
    if (keys & Qt::ShiftModifier)
        state |= Tsp_Shift::ssShift;
    if (keys & Qt::AltModifier)
        state |= Tsp_Shift::ssAlt;
    if (keys & Qt::ControlModifier)
        state |= Tsp_Shift::ssCtrl;
    const Qt::MouseButtons buttons = event.buttons();
    if (buttons & Qt::LeftButton)
        state |= Tsp_Shift::ssLeft;
    if (buttons & Qt::RightButton)
        state |= Tsp_Shift::ssRight;
    if (buttons & Qt::MiddleButton)
        state |= Tsp_Shift::ssMiddle;
    return state;
}

std::optional<Tsp_MouseButton> ButtonOf(const QMouseEvent& event)
{
    switch (event.button()) {
    case Qt::LeftButton:
        return Tsp_MouseButton::mbLeft;
    case Qt::RightButton:
        return Tsp_MouseButton::mbRight;
    case Qt::MiddleButton:
        return Tsp_MouseButton::mbMiddle;
    default:
        return std::nullopt;
    }
}

Tsp_Point PointOf(const QMouseEvent& event)
{
    const QPoint p = event.position().toPoint();
    return {p.x(), p.y()};
}

} // namespace

Tsp_XYPlot::Tsp_XYPlot(QWidget* parent)
    : QWidget(parent)
{
    // Every paint covers the whole widget, so Qt need not erase it first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(180, 120);
}

Tsp_XYPlot::~Tsp_XYPlot()
{
    ShowScreenCursor(std::nullopt);
}

QString Tsp_XYPlot::BottomAxisCaption() const
{
    return QString::fromStdString(BottomAxis().Caption());
}

void Tsp_XYPlot::SetBottomAxisCaption(const QString& caption)
{
    BottomAxis().SetCaption(caption.toStdString());
}

void Tsp_XYPlot::SetBufferedDisplay(bool buffered)
{
    if (buffered == buffered_)
        return;
    buffered_ = buffered;
    buffer_ = QImage();
    Invalidate();
}

bool Tsp_XYPlot::EnsureBuffer()
{
    if (buffer_.size() != size()) {
        buffer_ = QImage(size(), QImage::Format_RGB32);
        BufferIsInvalid();
    }
    return !buffer_.isNull();
}

void Tsp_XYPlot::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    if (buffered_ && EnsureBuffer()) {
        {
            QPainter bufferPainter(&buffer_);
            Tsp_QtCanvas canvas(bufferPainter, font());
            PaintLayers(canvas, width(), height(), true);
        }
        painter.drawImage(0, 0, buffer_);
    } else {
        Tsp_QtCanvas canvas(painter, font());
        PaintLayers(canvas, width(), height(), false);
    }
    Tsp_QtCanvas overlay(painter, font());
    DrawOverlay(overlay);
}

void Tsp_XYPlot::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Invalidate();
}

void Tsp_XYPlot::mousePressEvent(QMouseEvent* event)
{
    if (const std::optional<Tsp_MouseButton> button = ButtonOf(*event))
        MouseDown(*button, ShiftStateOf(*event), PointOf(*event));
}

void Tsp_XYPlot::mouseMoveEvent(QMouseEvent* event)
{
    MouseMove(PointOf(*event));
}

void Tsp_XYPlot::mouseReleaseEvent(QMouseEvent* event)
{
    if (const std::optional<Tsp_MouseButton> button = ButtonOf(*event))
        MouseUp(*button, PointOf(*event));
}

void Tsp_XYPlot::RequestRepaint()
{
    update();
}

void Tsp_XYPlot::RepaintNow()
{
    repaint();
}

void Tsp_XYPlot::DrawIncrement(const std::function<void(Tsp_Canvas&)>& draw)
{
    if (!buffered_ || buffer_.size() != size() || !IsArranged() || !FieldDrawn()) {
        CustomInvalidate(false, false, true);
        return;
    }
    {
        QPainter bufferPainter(&buffer_);
        Tsp_QtCanvas canvas(bufferPainter, font());
        canvas.SetClipRect(Field());
        draw(canvas);
    }
    const Tsp_Rect& field = Field();
    update(field.Left, field.Top, field.Width(), field.Height());
}

void Tsp_XYPlot::MouseModeChanged()
{
    switch (MouseMode()) {
    case Tsp_MouseMode::Zooming:
        ShowScreenCursor(Qt::CrossCursor);
        break;
    case Tsp_MouseMode::PanPending:
    case Tsp_MouseMode::Panning:
        ShowScreenCursor(panCursor_);
        break;
    case Tsp_MouseMode::Idle:
        ShowScreenCursor(std::nullopt);
        break;
    case Tsp_MouseMode::ZoomPending:
        break;
    }
}

void Tsp_XYPlot::ShowScreenCursor(std::optional<Qt::CursorShape> shape)
{
    // An override cursor leaves the plot's own cursor as it is.
    if (shape && screenCursorSet_) {
        QGuiApplication::changeOverrideCursor(*shape);
    } else if (shape) {
        QGuiApplication::setOverrideCursor(*shape);
        screenCursorSet_ = true;
    } else if (screenCursorSet_) {
        QGuiApplication::restoreOverrideCursor();
        screenCursorSet_ = false;
    }
}

QImage Tsp_XYPlot::PlotImage(int width, int height)
{
    if (width <= 9 || height <= 9)
        return {};
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull())
        return image;
    {
        QPainter painter(&image);
        Tsp_QtCanvas canvas(painter, font());
        DrawPlot(canvas, width, height);
    }
    return image;
}

void Tsp_XYPlot::CopyToClipboardBitmap()
{
    const QImage image = PlotImage(width(), height());
    if (!image.isNull())
        QGuiApplication::clipboard()->setImage(image);
}

} // namespace varnolux
