#pragma once

#include "imaging/TBitmap24.h"

namespace varnolux {

/// A display control with its picture: an image view of the desktop program, or a
/// plain box in headless runs. The control owns its picture bitmap.
class TImageView {
public:
    virtual ~TImageView() = default;

    /// The control's size on screen; the picture is stretched to it.
    virtual int ControlWidth() const = 0;
    virtual int ControlHeight() const = 0;

    virtual TBitmap24& Picture() = 0;

    /// The picture changed: the control should repaint.
    virtual void PictureChanged() {}
};

/// A headless image view. Without a fixed size it is as large as its picture, so
/// surfaces on it draw at scale 1.
class TImageBox final : public TImageView {
public:
    TImageBox() = default;
    TImageBox(int width, int height)
        : fixedWidth_(width)
        , fixedHeight_(height)
    {
    }

    int ControlWidth() const override { return fixedWidth_ > 0 ? fixedWidth_ : picture_.Width(); }
    int ControlHeight() const override
    {
        return fixedHeight_ > 0 ? fixedHeight_ : picture_.Height();
    }
    TBitmap24& Picture() override { return picture_; }
    const TBitmap24& Picture() const { return picture_; }

private:
    int fixedWidth_ = 0;
    int fixedHeight_ = 0;
    TBitmap24 picture_;
};

} // namespace varnolux
