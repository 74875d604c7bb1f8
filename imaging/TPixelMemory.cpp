#include "imaging/TPixelMemory.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <sys/mman.h>
#include <utility>

namespace varnolux {

namespace {

std::size_t RoundUp(std::size_t size, std::size_t step)
{
    return (size + step - 1) / step * step;
}

/// Maps whole huge pages at a huge-page boundary: a mapping with room for one more
/// page, trimmed at both ends. Fresh anonymous pages read as zero.
void* MapLarge(std::size_t mapped)
{
    const std::size_t reserved = mapped + TPixelMemory::LargeSize;
    if (reserved < mapped)
        throw std::bad_alloc();
    void* const start =
        ::mmap(nullptr, reserved, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (start == MAP_FAILED)
        throw std::bad_alloc();
    const auto address = reinterpret_cast<std::uintptr_t>(start);
    const std::size_t head = RoundUp(address, TPixelMemory::LargeSize) - address;
    auto* const block = static_cast<std::byte*>(start) + head;
    if (head)
        ::munmap(start, head);
    if (const std::size_t tail = reserved - head - mapped)
        ::munmap(block + mapped, tail);
    // Only advice: without transparent huge pages the block still works, page by page.
    ::madvise(block, mapped, MADV_HUGEPAGE);
    return block;
}

} // namespace

void* AllocatePixelBlock(std::size_t size)
{
    if (size < TPixelMemory::LargeSize) {
        void* const block = std::malloc(std::max<std::size_t>(size, 1));
        if (!block)
            throw std::bad_alloc();
        return block;
    }
    const std::size_t mapped = RoundUp(size, TPixelMemory::LargeSize);
    if (mapped < size)
        throw std::bad_alloc();
    return MapLarge(mapped);
}

void FreePixelBlock(void* block, std::size_t size) noexcept
{
    if (size < TPixelMemory::LargeSize)
        std::free(block);
    else if (block)
        ::munmap(block, RoundUp(size, TPixelMemory::LargeSize));
}

TPixelMemory::TPixelMemory(std::size_t size, TContents contents)
    : size_(size)
{
    if (size == 0)
        return;
    if (size >= LargeSize) {
        data_ = AllocatePixelBlock(size);
        mapped_ = RoundUp(size, LargeSize);
        return;
    }
    data_ = contents == TContents::Zero ? std::calloc(1, size) : std::malloc(size);
    if (!data_)
        throw std::bad_alloc();
}

TPixelMemory::TPixelMemory(TPixelMemory&& other) noexcept
    : data_(std::exchange(other.data_, nullptr))
    , size_(std::exchange(other.size_, 0))
    , mapped_(std::exchange(other.mapped_, 0))
{
}

TPixelMemory& TPixelMemory::operator=(TPixelMemory&& other) noexcept
{
    if (this != &other) {
        Release();
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        mapped_ = std::exchange(other.mapped_, 0);
    }
    return *this;
}

TPixelMemory::~TPixelMemory()
{
    Release();
}

void TPixelMemory::Release() noexcept
{
    if (mapped_)
        ::munmap(data_, mapped_);
    else
        std::free(data_);
    data_ = nullptr;
    size_ = 0;
    mapped_ = 0;
}

} // namespace varnolux
