#include "imaging/TQROIL.h"

#include "imaging/TQImage.h"

#include <algorithm>

namespace varnolux {

TQROIL::TQROIL() = default;

TQROIL::TQROIL(const TQROIL& other)
    : TQObject(other)
    , width_(other.width_)
    , height_(other.height_)
    , mask_(other.mask_)
{
}

TQROIL::TQROIL(int width, int height)
    : mask_(width, height)
{
    width_ = mask_.Width();
    height_ = mask_.Height();
}

void TQROIL::SetImage(TQImage* image)
{
    Image = image;
    if (!image || !image->Control || !image->Bitmap)
        return;
    const int width = std::max(image->Bitmap->Width(), width_);
    const int height = std::max(image->Bitmap->Height(), height_);
    if (width != image->Bitmap->Width() || height != image->Bitmap->Height())
        image->SetBitmapSize(width, height);
}

void TQROIL::Draw(TBitmap24& bitmap)
{
    DrawMasked(bitmap, [](int, int, std::uint8_t* bgr) { std::fill_n(bgr, 3, 255); });
}

void TQROIL::Assign(const TQObject& other)
{
    TQObject::Assign(other);
    const auto* roi = dynamic_cast<const TQROIL*>(&other);
    if (!roi || roi == this)
        return;
    if (roi->width_ != width_ || roi->height_ != height_)
        SetSize(roi->width_, roi->height_);
    mask_ = roi->mask_;
}

std::unique_ptr<TQROIL> TQROIL::NewOfSize(int width, int height) const
{
    return std::make_unique<TQROIL>(width, height);
}

void TQROIL::SetSize(int width, int height)
{
    mask_.Allocate(width, height);
    width_ = mask_.Width();
    height_ = mask_.Height();
}

void TQROIL::Paste(const TQROIL& source, bool all)
{
    ForOverlap(source, [&](int x, int y, int sx, int sy) {
        const std::uint8_t value = source.mask_[sx][sy];
        if (all || value)
            mask_[x][y] = value;
    });
}

void TQROIL::SetMask(std::uint8_t value)
{
    const auto elements = mask_.Elements();
    std::fill(elements.begin(), elements.end(), value);
}

} // namespace varnolux
