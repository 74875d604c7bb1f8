#pragma once

#include "imaging/TPixelMemory.h"

#include <algorithm>
#include <cstddef>
#include <span>
#include <type_traits>
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
    /// A plane of the same size takes the elements in place, without fresh memory.
    TPlane& operator=(const TPlane& other)
    {
        if (this == &other)
            return *this;
        if (width_ == other.width_ && height_ == other.height_ &&
            IsAllocated() == other.IsAllocated()) {
            std::copy(other.Elements().begin(), other.Elements().end(), Elements().begin());
            return *this;
        }
        TPlane copy(other);
        *this = std::move(copy);
        return *this;
    }
    TPlane(TPlane&&) noexcept = default;
    TPlane& operator=(TPlane&&) noexcept = default;

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool IsAllocated() const { return Block() != nullptr; }

    /// Column x: Height() contiguous elements.
    T* operator[](int x) { return columns_[x]; }
    const T* operator[](int x) const { return columns_[x]; }
    std::span<T> Column(int x) { return {columns_[x], std::size_t(height_)}; }
    std::span<const T> Column(int x) const { return {columns_[x], std::size_t(height_)}; }

    /// The whole block, column after column.
    std::span<T> Elements() { return {Block(), Size()}; }
    std::span<const T> Elements() const { return {Block(), Size()}; }
    std::size_t Size() const { return std::size_t(width_) * std::size_t(height_); }

    /// Reallocates with undefined contents; a size of 0 frees the plane. Throws
    /// std::bad_alloc, leaving the plane empty, when the memory is not there.
    void Allocate(int width, int height)
    {
        const bool empty = width <= 0 || height <= 0;
        // The old block goes first: never two image-sized blocks at once.
        *this = TPlane();
        memory_ = TPixelMemory(empty ? 0 : std::size_t(width) * std::size_t(height) * sizeof(T));
        width_ = empty ? 0 : width;
        height_ = empty ? 0 : height;
        columns_.resize(width_);
        for (int x = 0; x < width_; ++x)
            columns_[x] = Block() + std::size_t(x) * height_;
    }
    void Free() { Allocate(0, 0); }
    /// Allocates unless the plane has this size already; a plane kept keeps its contents.
    void EnsureSize(int width, int height)
    {
        if (!IsAllocated() || width != width_ || height != height_)
            Allocate(width, height);
    }

private:
    T* Block() { return static_cast<T*>(memory_.Data()); }
    const T* Block() const { return static_cast<const T*>(memory_.Data()); }

    int width_ = 0;
    int height_ = 0;
    TPixelMemory memory_;
    std::vector<T*> columns_;
};

} // namespace varnolux
