#include "shell/TImageWidget.h"

#include <utility>

#include <QMouseEvent>
#include <QPainter>

namespace varnolux {

namespace {

/// The image with every pixel of the bottom-left pixel's colour made transparent.
QImage WithTransparentSurround(const QImage& image)
{
    QImage result = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb surround = result.pixel(0, result.height() - 1);
    for (int y = 0; y < result.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x)
            if (row[x] == surround)
                row[x] = qRgba(0, 0, 0, 0);
    }
    return result;
}

/// Smaller than this on screen, an outline gets a frame around it as well, so that it
/// can be found.
constexpr double SmallOverlay = 8.0;
constexpr double FrameMargin = 4.0;

} // namespace

TImageWidget::TImageWidget(QWidget* parent, const char* name, TPictureFit fit)
    : QWidget(parent)
    , fit_(fit)
{
    setObjectName(name);
}

void TImageWidget::SetTransparent(bool transparent)
{
    transparent_ = transparent;
    update();
}

TBitmap24& TImageWidget::Picture()
{
    if (shared_) {
        picture_ = *shared_;
        shared_.reset();
    }
    return picture_;
}

void TImageWidget::ShowPicture(std::shared_ptr<const TBitmap24> picture)
{
    shared_ = std::move(picture);
    update();
}

TBitmap24 TImageWidget::ExchangePicture(TBitmap24&& picture)
{
    TBitmap24 shown = shared_ ? TBitmap24() : std::move(picture_);
    shared_.reset();
    picture_ = std::move(picture);
    update();
    return shown;
}

TGreyBitmap TImageWidget::ExchangeGreyPicture(TGreyBitmap&& picture)
{
    TGreyBitmap shown = std::exchange(grey_, std::move(picture));
    update();
    return shown;
}

QImage TImageWidget::PictureImage() const
{
    // Read-only as well.
    if (!grey_.IsEmpty())
        return QImage(grey_.Bits(), grey_.Width(), grey_.Height(),
                      static_cast<qsizetype>(grey_.Stride()), QImage::Format_Grayscale8);
    const TBitmap24& picture = Picture();
    if (picture.IsEmpty())
        return {};
    // Read-only: the pixels of a shared picture are never written through it.
    return QImage(picture.Bits(), picture.Width(), picture.Height(),
                  static_cast<qsizetype>(picture.Stride()), QImage::Format_BGR888);
}

QRect TImageWidget::PictureRect() const
{
    const QSize picture = grey_.IsEmpty() ? QSize(Picture().Width(), Picture().Height())
                                          : QSize(grey_.Width(), grey_.Height());
    switch (fit_) {
    case TPictureFit::Natural:
        return {QPoint(0, 0), picture};
    case TPictureFit::Stretch:
        return rect();
    case TPictureFit::ProportionalCentre:
        break;
    }
    if (picture.isEmpty())
        return {};
    const QSize fitted = picture.scaled(size(), Qt::KeepAspectRatio);
    return {(width() - fitted.width()) / 2, (height() - fitted.height()) / 2, fitted.width(),
            fitted.height()};
}

void TImageWidget::SetOverlay(const QPainterPath& path, QSize imageSize)
{
    overlay_ = path;
    overlayImageSize_ = imageSize;
    update();
}

void TImageWidget::paintEvent(QPaintEvent*)
{
    const QImage image = PictureImage();
    if (image.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, fit_ != TPictureFit::Natural);
    const QRect target = PictureRect();
    painter.drawImage(target, transparent_ ? WithTransparentSurround(image) : image);
    if (overlay_.isEmpty() || overlayImageSize_.isEmpty())
        return;
    QTransform toWidget;
    toWidget.translate(target.x(), target.y());
    toWidget.scale(double(target.width()) / overlayImageSize_.width(),
                   double(target.height()) / overlayImageSize_.height());
    QPainterPath outline = toWidget.map(overlay_);
    const QRectF bounds = outline.boundingRect();
    if (bounds.width() < SmallOverlay || bounds.height() < SmallOverlay)
        outline.addRect(bounds.adjusted(-FrameMargin, -FrameMargin, FrameMargin, FrameMargin));
    // Dark under light: visible on any colour.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.strokePath(outline, QPen(Qt::black, 3));
    painter.strokePath(outline, QPen(Qt::yellow, 1));
}

void TImageWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT Clicked();
}

} // namespace varnolux
