#pragma once

#include "imaging/TPixelMemory.h"

#include <cstddef>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

namespace varnolux {

/// An allocator for containers of per-pixel or per-region data: large blocks lie on
/// huge pages (a fresh small page costs a fault of about 10 µs on a virtual machine),
/// and resizing leaves new elements default-initialised, so that an array about to be
/// written in full is not cleared first.
template <typename T>
class TPixelAllocator {
public:
    using value_type = T;

    TPixelAllocator() = default;
    template <typename U>
    TPixelAllocator(const TPixelAllocator<U>&) noexcept
    {
    }

    T* allocate(std::size_t count)
    {
        if (count > std::size_t(-1) / sizeof(T))
            throw std::bad_array_new_length();
        return static_cast<T*>(AllocatePixelBlock(count * sizeof(T)));
    }
    void deallocate(T* block, std::size_t count) noexcept
    {
        FreePixelBlock(block, count * sizeof(T));
    }

    template <typename U>
    void construct(U* at) noexcept(std::is_nothrow_default_constructible_v<U>)
    {
        ::new (static_cast<void*>(at)) U;
    }
    template <typename U, typename... Arguments>
    void construct(U* at, Arguments&&... arguments)
    {
        std::construct_at(at, std::forward<Arguments>(arguments)...);
    }

    template <typename U>
    bool operator==(const TPixelAllocator<U>&) const noexcept
    {
        return true;
    }
};

/// A vector on TPixelAllocator; its capacity is worth keeping from one run to the next.
template <typename T>
using TPixelVector = std::vector<T, TPixelAllocator<T>>;

} // namespace varnolux
