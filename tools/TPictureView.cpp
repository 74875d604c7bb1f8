#include "tools/TPictureView.h"

#include "drawing/PictureArea.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

namespace varnolux {

namespace {

/// The part of a line inside a rectangle (Liang–Barsky), or nothing.
std::optional<QLineF> ClipLine(const QLineF& line, const QRectF& rect)
{
    const double dx = line.dx();
    const double dy = line.dy();
    double enter = 0.0;
    double leave = 1.0;
    const double p[] = {-dx, dx, -dy, dy};
    const double q[] = {line.x1() - rect.left(), rect.right() - line.x1(), line.y1() - rect.top(),
                        rect.bottom() - line.y1()};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0)
                return std::nullopt;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0)
            enter = std::max(enter, t);
        else
            leave = std::min(leave, t);
    }
    if (enter > leave)
        return std::nullopt;
    return QLineF(line.pointAt(enter), line.pointAt(leave));
}

int ScrollRange(qint64 content, int visible)
{
    return int(std::clamp<qint64>(content - visible, 0, INT_MAX));
}

} // namespace

int TPictureView::SaneZoom(double percent)
{
    if (std::isnan(percent) || percent <= 0.0)
        return 100;
    return int(std::clamp(percent, double(MinZoom), double(MaxZoom)));
}

TPictureView::TPictureView(QWidget* parent)
    : QAbstractScrollArea(parent)
{
    viewport()->setMouseTracking(true);
    horizontalScrollBar()->setSingleStep(8);
    verticalScrollBar()->setSingleStep(8);
}

void TPictureView::SetPicture(const QImage& picture)
{
    // 32-bit pixels paint scaled without a converted copy of the whole picture.
    picture_ = picture.format() == QImage::Format_RGB32
                   ? picture
                   : picture.convertToFormat(QImage::Format_RGB32);
    UpdateScrollRanges();
    viewport()->update();
}

void TPictureView::SetZoom(double percent)
{
    zoom_ = SaneZoom(percent);
    UpdateScrollRanges();
    viewport()->update();
    Q_EMIT ZoomChanged(zoom_);
}

qint64 TPictureView::ZoomedWidth() const
{
    return qint64(picture_.width()) * zoom_ / 100;
}

qint64 TPictureView::ZoomedHeight() const
{
    return qint64(picture_.height()) * zoom_ / 100;
}

QPoint TPictureView::PicturePosition(QPoint viewportPosition) const
{
    const QPoint scroll = ScrollOffset();
    const auto map = [this](qint64 view) {
        return int(std::clamp<qint64>(view * 100 / zoom_, INT_MIN, INT_MAX));
    };
    return {map(qint64(viewportPosition.x()) + scroll.x()),
            map(qint64(viewportPosition.y()) + scroll.y())};
}

void TPictureView::SetOverlay(std::vector<QPolygon> polylines)
{
    overlay_ = std::move(polylines);
    viewport()->update();
}

void TPictureView::SetDragCursor(std::optional<QCursor> cursor)
{
    EndDrag();
    dragCursor_ = std::move(cursor);
}

void TPictureView::EndDrag()
{
    if (!dragging_)
        return;
    dragging_ = false;
    QGuiApplication::restoreOverrideCursor();
}

QPoint TPictureView::ScrollOffset() const
{
    return {horizontalScrollBar()->value(), verticalScrollBar()->value()};
}

void TPictureView::UpdateScrollRanges()
{
    const QSize visible = viewport()->size();
    horizontalScrollBar()->setRange(0, ScrollRange(ZoomedWidth(), visible.width()));
    horizontalScrollBar()->setPageStep(visible.width());
    verticalScrollBar()->setRange(0, ScrollRange(ZoomedHeight(), visible.height()));
    verticalScrollBar()->setPageStep(visible.height());
}

void TPictureView::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    painter.fillRect(event->rect(), palette().color(QPalette::Window));
    const QPoint scroll = ScrollOffset();
    painter.translate(-scroll);
    DrawPictureArea(painter, event->rect().translated(scroll), picture_, zoom_ / 100.0);
    painter.resetTransform();
    DrawOverlay(painter);
}

void TPictureView::DrawOverlay(QPainter& painter) const
{
    // White in difference mode inverts: drawn again, or taken away, the picture is back.
    painter.setCompositionMode(QPainter::CompositionMode_Difference);
    painter.setPen(QPen(Qt::white, 2));
    const double scale = zoom_ / 100.0;
    const QPointF scroll = ScrollOffset();
    const QRectF bounds = QRectF(viewport()->rect()).adjusted(-2, -2, 2, 2);
    const auto toView = [&](QPoint p) {
        return QPointF((p.x() + 0.5) * scale, (p.y() + 0.5) * scale) - scroll;
    };
    for (const QPolygon& polyline : overlay_) {
        // Consecutive visible pieces are drawn as one line, so no joint is inverted twice.
        QPolygonF run;
        const auto flush = [&] {
            if (run.size() >= 2)
                painter.drawPolyline(run);
            run.clear();
        };
        for (qsizetype i = 1; i < polyline.size(); ++i) {
            const auto piece = ClipLine({toView(polyline[i - 1]), toView(polyline[i])}, bounds);
            if (!piece) {
                flush();
                continue;
            }
            if (run.isEmpty() || run.back() != piece->p1()) {
                flush();
                run << piece->p1();
            }
            run << piece->p2();
        }
        flush();
    }
}

void TPictureView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollRanges();
}

void TPictureView::mousePressEvent(QMouseEvent* event)
{
    const QPoint position = event->position().toPoint();
    if (dragCursor_) {
        // A second button during a drag changes nothing: the cursor to give back is
        // the one from before the drag.
        if (!dragging_) {
            QGuiApplication::setOverrideCursor(*dragCursor_);
            dragging_ = true;
        }
        dragStart_ = position;
        dragStartScroll_ = ScrollOffset();
    }
    Q_EMIT MousePressed(PicturePosition(position), event->button());
}

void TPictureView::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint position = event->position().toPoint();
    if (dragging_) {
        const QPoint scroll = dragStartScroll_ + dragStart_ - position;
        horizontalScrollBar()->setValue(scroll.x());
        verticalScrollBar()->setValue(scroll.y());
    }
    Q_EMIT MouseMoved(PicturePosition(position), event->buttons());
}

void TPictureView::mouseReleaseEvent(QMouseEvent* event)
{
    EndDrag();
    Q_EMIT MouseReleased(PicturePosition(event->position().toPoint()), event->button());
}

void TPictureView::hideEvent(QHideEvent* event)
{
    EndDrag();
    QAbstractScrollArea::hideEvent(event);
}

} // namespace varnolux
