#pragma once

#include "imaging/TPixelMemory.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace varnolux {

/// An 8-bit grey picture: rows from the top, one byte per pixel, each row padded to a
/// multiple of 4 bytes (so a QImage of Format_Grayscale8 can show it without copying).
/// A third of a 24-bit picture of the same size; a large one lies on huge pages.
class TGreyBitmap {
public:
    TGreyBitmap() = default;
    /// Every pixel black.
    TGreyBitmap(int width, int height);
    TGreyBitmap(const TGreyBitmap& other);
    /// A picture of the same size takes the pixels in place, without fresh memory.
    TGreyBitmap& operator=(const TGreyBitmap& other);
    TGreyBitmap(TGreyBitmap&&) noexcept = default;
    TGreyBitmap& operator=(TGreyBitmap&&) noexcept = default;

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool IsEmpty() const { return width_ == 0 || height_ == 0; }
    /// Bytes per row, a multiple of 4.
    std::size_t Stride() const { return stride_; }

    std::uint8_t* Bits() { return static_cast<std::uint8_t*>(bits_.Data()); }
    const std::uint8_t* Bits() const { return static_cast<const std::uint8_t*>(bits_.Data()); }
    /// Row y, y = 0 the top row: Width() bytes.
    std::span<std::uint8_t> Row(int y) { return {Bits() + std::size_t(y) * stride_, Columns()}; }
    std::span<const std::uint8_t> Row(int y) const
    {
        return {Bits() + std::size_t(y) * stride_, Columns()};
    }

    /// Changes the size; a picture of another size is all black.
    void SetSize(int width, int height);

    std::uint8_t Pixel(int x, int y) const { return Row(y)[std::size_t(x)]; }

    friend bool operator==(const TGreyBitmap& a, const TGreyBitmap& b);

private:
    std::size_t Columns() const { return std::size_t(width_); }

    int width_ = 0;
    int height_ = 0;
    std::size_t stride_ = 0;
    /// Stride() · Height() bytes, the padding zero.
    TPixelMemory bits_;
};

} // namespace varnolux
