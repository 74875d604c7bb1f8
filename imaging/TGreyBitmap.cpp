#include "imaging/TGreyBitmap.h"

#include <algorithm>
#include <utility>

namespace varnolux {

TGreyBitmap::TGreyBitmap(int width, int height)
{
    SetSize(width, height);
}

TGreyBitmap::TGreyBitmap(const TGreyBitmap& other)
    : width_(other.width_)
    , height_(other.height_)
    , stride_(other.stride_)
    , bits_(other.bits_.Size())
{
    std::copy_n(other.Bits(), other.bits_.Size(), Bits());
}

TGreyBitmap& TGreyBitmap::operator=(const TGreyBitmap& other)
{
    if (this == &other)
        return *this;
    if (width_ == other.width_ && height_ == other.height_) {
        std::copy_n(other.Bits(), other.bits_.Size(), Bits());
        return *this;
    }
    TGreyBitmap copy(other);
    *this = std::move(copy);
    return *this;
}

void TGreyBitmap::SetSize(int width, int height)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == width_ && height == height_)
        return;
    const std::size_t stride = (std::size_t(width) + 3) / 4 * 4;
    bits_ = TPixelMemory(stride * std::size_t(height), TPixelMemory::TContents::Zero);
    width_ = width;
    height_ = height;
    stride_ = stride;
}

bool operator==(const TGreyBitmap& a, const TGreyBitmap& b)
{
    return a.width_ == b.width_ && a.height_ == b.height_ &&
           std::equal(a.Bits(), a.Bits() + a.bits_.Size(), b.Bits(), b.Bits() + b.bits_.Size());
}

} // namespace varnolux
