#pragma once

#include "imaging/TColour.h"
#include "imaging/TPixelMemory.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace varnolux {

/// A 24-bit bitmap: rows from the top, three bytes per pixel in blue, green, red
/// order, each row padded to a multiple of 4 bytes (so a QImage of
/// Format_BGR888 can show it without copying). A large bitmap lies on huge pages.
class TBitmap24 {
public:
    TBitmap24() = default;
    TBitmap24(int width, int height);
    TBitmap24(const TBitmap24& other);
    TBitmap24& operator=(const TBitmap24& other);
    TBitmap24(TBitmap24&&) noexcept = default;
    TBitmap24& operator=(TBitmap24&&) noexcept = default;

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool IsEmpty() const { return width_ == 0 || height_ == 0; }
    /// Bytes per row, a multiple of 4.
    std::size_t Stride() const { return stride_; }

    std::uint8_t* Bits() { return static_cast<std::uint8_t*>(bits_.Data()); }
    const std::uint8_t* Bits() const { return static_cast<const std::uint8_t*>(bits_.Data()); }
    /// Row y, y = 0 the top row: Width() · 3 bytes.
    std::span<std::uint8_t> Row(int y);
    std::span<const std::uint8_t> Row(int y) const;

    /// Changes the size; pixels inside both sizes keep their colour, new ones are black.
    void SetSize(int width, int height);

    TColour Pixel(int x, int y) const;
    void SetPixel(int x, int y, TColour colour);

    void Fill(TColour colour);
    /// Fills [left, right) × [top, bottom), clipped to the bitmap.
    void FillRect(int left, int top, int right, int bottom, TColour colour);

    friend bool operator==(const TBitmap24& a, const TBitmap24& b);

private:
    int width_ = 0;
    int height_ = 0;
    std::size_t stride_ = 0;
    /// Stride() · Height() bytes, the padding zero.
    TPixelMemory bits_;
};

} // namespace varnolux
