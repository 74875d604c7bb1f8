#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <span>
#include <vector>

namespace varnolux {

/// A pixel plane of width × height elements, stored column by column in one block
/// with a pointer per column: plane[x][y]. A fresh plane is not cleared.
template <typename T>
class TPlane {
public:
    TPlane() = default;
    TPlane(int width, int height) { Allocate(width, height); }

    TPlane(const TPlane& other)
        : TPlane(other.width_, other.height_)
    {
        std::copy(other.Elements().begin(), other.Elements().end(), Elements().begin());
    }
    TPlane& operator=(const TPlane& other)
    {
        if (this != &other) {
            TPlane copy(other);
            *this = std::move(copy);
        }
        return *this;
    }
    TPlane(TPlane&&) noexcept = default;
    TPlane& operator=(TPlane&&) noexcept = default;

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool IsAllocated() const { return block_ != nullptr; }

    /// Column x: Height() contiguous elements.
    T* operator[](int x) { return columns_[x]; }
    const T* operator[](int x) const { return columns_[x]; }
    std::span<T> Column(int x) { return {columns_[x], std::size_t(height_)}; }
    std::span<const T> Column(int x) const { return {columns_[x], std::size_t(height_)}; }

    /// The whole block, column after column.
    std::span<T> Elements() { return {block_.get(), Size()}; }
    std::span<const T> Elements() const { return {block_.get(), Size()}; }
    std::size_t Size() const { return std::size_t(width_) * std::size_t(height_); }

    /// Reallocates with undefined contents; a size of 0 frees the plane.
    void Allocate(int width, int height)
    {
        width_ = width > 0 && height > 0 ? width : 0;
        height_ = width > 0 && height > 0 ? height : 0;
        block_ = Size() ? std::make_unique_for_overwrite<T[]>(Size()) : nullptr;
        columns_.resize(width_);
        for (int x = 0; x < width_; ++x)
            columns_[x] = block_.get() + std::size_t(x) * height_;
    }
    void Free() { Allocate(0, 0); }

private:
    int width_ = 0;
    int height_ = 0;
    std::unique_ptr<T[]> block_;
    std::vector<T*> columns_;
};

} // namespace varnolux
