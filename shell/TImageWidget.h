#pragma once

#include "imaging/TGreyBitmap.h"
#include "imaging/TImageView.h"

#include <memory>

#include <QImage>
#include <QPainterPath>
#include <QWidget>

namespace varnolux {

/// An image control: shows its picture without copying it, a picture of its own or one
/// it shares with others (the source as read).
class TImageWidget : public QWidget, public TImageView {
    Q_OBJECT

public:
    enum class TPictureFit {
        Natural,           // at its own size from the top-left corner
        Stretch,           // stretched to the whole control
        ProportionalCentre // as large as fits with its proportions, centred
    };

    TImageWidget(QWidget* parent, const char* name, TPictureFit fit);

    int ControlWidth() const override { return width(); }
    int ControlHeight() const override { return height(); }
    /// A picture of its own to draw on: a shared picture is copied first.
    TBitmap24& Picture() override;
    const TBitmap24& Picture() const { return shared_ ? *shared_ : picture_; }
    void PictureChanged() override { update(); }

    /// Shows a picture that others may share, without copying it.
    void ShowPicture(std::shared_ptr<const TBitmap24> picture);
    /// Shows the picture and gives back the one it showed, when that was its own
    /// (else an empty one): pictures pass between engine and control without copies.
    TBitmap24 ExchangePicture(TBitmap24&& picture);
    /// The same for a grey picture, which is shown instead of the 24-bit one while it
    /// is not empty.
    TGreyBitmap ExchangeGreyPicture(TGreyBitmap&& picture);
    const TGreyBitmap& GreyPicture() const { return grey_; }

    /// Pixels of the colour of the picture's bottom-left pixel let the parent show.
    void SetTransparent(bool transparent);

    /// The picture shown (the grey one, when there is one) as an image that shares its
    /// pixels.
    QImage PictureImage() const;
    /// Where the picture is drawn in the control.
    QRect PictureRect() const;

    /// Draws an outline over the picture: path in the coordinates of an image of
    /// imageSize that the picture shows whole. An empty path draws nothing.
    void SetOverlay(const QPainterPath& path, QSize imageSize);
    const QPainterPath& Overlay() const { return overlay_; }

Q_SIGNALS:
    void Clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    TPictureFit fit_;
    bool transparent_ = false;
    TBitmap24 picture_;
    TGreyBitmap grey_;
    std::shared_ptr<const TBitmap24> shared_;
    QPainterPath overlay_;
    QSize overlayImageSize_;
};

} // namespace varnolux
