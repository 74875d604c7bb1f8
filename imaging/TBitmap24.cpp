#include "imaging/TBitmap24.h"

#include <algorithm>
#include <utility>

namespace varnolux {

namespace {

std::size_t StrideFor(int width)
{
    return (std::size_t(width) * 3 + 3) / 4 * 4;
}

} // namespace

TBitmap24::TBitmap24(int width, int height)
{
    SetSize(width, height);
}

TBitmap24::TBitmap24(const TBitmap24& other)
    : width_(other.width_)
    , height_(other.height_)
    , stride_(other.stride_)
    , bits_(other.bits_.Size())
{
    std::copy_n(other.Bits(), other.bits_.Size(), Bits());
}

TBitmap24& TBitmap24::operator=(const TBitmap24& other)
{
    if (this == &other)
        return *this;
    // A bitmap of the same size takes the pixels in place, without fresh memory.
    if (width_ == other.width_ && height_ == other.height_) {
        std::copy_n(other.Bits(), other.bits_.Size(), Bits());
        return *this;
    }
    TBitmap24 copy(other);
    *this = std::move(copy);
    return *this;
}

bool operator==(const TBitmap24& a, const TBitmap24& b)
{
    return a.width_ == b.width_ && a.height_ == b.height_ &&
           std::equal(a.Bits(), a.Bits() + a.bits_.Size(), b.Bits(), b.Bits() + b.bits_.Size());
}

std::span<std::uint8_t> TBitmap24::Row(int y)
{
    return {Bits() + std::size_t(y) * stride_, std::size_t(width_) * 3};
}

std::span<const std::uint8_t> TBitmap24::Row(int y) const
{
    return {Bits() + std::size_t(y) * stride_, std::size_t(width_) * 3};
}

void TBitmap24::SetSize(int width, int height)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == width_ && height == height_)
        return;
    TBitmap24 resized;
    resized.width_ = width;
    resized.height_ = height;
    resized.stride_ = StrideFor(width);
    resized.bits_ =
        TPixelMemory(resized.stride_ * std::size_t(height), TPixelMemory::TContents::Zero);
    const int keptWidth = std::min(width, width_);
    const int keptHeight = std::min(height, height_);
    for (int y = 0; y < keptHeight; ++y) {
        const auto source = Row(y).first(std::size_t(keptWidth) * 3);
        std::copy(source.begin(), source.end(), resized.Row(y).begin());
    }
    *this = std::move(resized);
}

TColour TBitmap24::Pixel(int x, int y) const
{
    const auto pixel = Row(y).subspan(std::size_t(x) * 3, 3);
    return MakeColour(pixel[2], pixel[1], pixel[0]);
}

void TBitmap24::SetPixel(int x, int y, TColour colour)
{
    const auto pixel = Row(y).subspan(std::size_t(x) * 3, 3);
    pixel[0] = BlueOf(colour);
    pixel[1] = GreenOf(colour);
    pixel[2] = RedOf(colour);
}

void TBitmap24::Fill(TColour colour)
{
    FillRect(0, 0, width_, height_, colour);
}

void TBitmap24::FillRect(int left, int top, int right, int bottom, TColour colour)
{
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, width_);
    bottom = std::min(bottom, height_);
    if (left >= right || top >= bottom)
        return;
    // The first row piece pixel by pixel, every further row as a copy of it.
    const std::uint8_t bgr[3] = {BlueOf(colour), GreenOf(colour), RedOf(colour)};
    const auto piece = Row(top).subspan(std::size_t(left) * 3, std::size_t(right - left) * 3);
    for (std::size_t i = 0; i < piece.size(); i += 3)
        std::copy_n(bgr, 3, piece.begin() + std::ptrdiff_t(i));
    for (int y = top + 1; y < bottom; ++y)
        std::copy(piece.begin(), piece.end(), Row(y).begin() + std::ptrdiff_t(left) * 3);
}

} // namespace varnolux
