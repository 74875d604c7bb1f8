#pragma once

#include <cstddef>

namespace varnolux {

/// One block of memory for image-sized data, owned and freed with the object
/// (move-only). Every fresh page costs a fault, about 10 µs on a virtual machine, so
/// a block of LargeSize or more is mapped straight from the kernel, 2 MiB-aligned and
/// advised into transparent huge pages: one fault for 512 small pages. Smaller blocks
/// come from the ordinary allocator.
class TPixelMemory {
public:
    /// The size of a huge page, and the smallest block that is mapped in them.
    static constexpr std::size_t LargeSize = std::size_t(2) << 20;

    enum class TContents { Undefined, Zero };

    TPixelMemory() = default;
    /// Room for size bytes (none for 0), aligned at least for any scalar type.
    /// Throws std::bad_alloc when the memory is not there.
    explicit TPixelMemory(std::size_t size, TContents contents = TContents::Undefined);
    TPixelMemory(TPixelMemory&& other) noexcept;
    TPixelMemory& operator=(TPixelMemory&& other) noexcept;
    TPixelMemory(const TPixelMemory&) = delete;
    TPixelMemory& operator=(const TPixelMemory&) = delete;
    ~TPixelMemory();

    void* Data() { return data_; }
    const void* Data() const { return data_; }
    std::size_t Size() const { return size_; }
    /// Whether the block lies in its own huge-page-aligned mapping.
    bool IsMapped() const { return mapped_ != 0; }

private:
    void Release() noexcept;

    void* data_ = nullptr;
    std::size_t size_ = 0;
    /// Bytes of the mapping; 0 for a block of the ordinary allocator.
    std::size_t mapped_ = 0;
};

/// The blocks of TPixelMemory for containers that keep their own size: a block of
/// TPixelMemory::LargeSize or more on huge pages, a smaller one from the ordinary
/// allocator. Throws std::bad_alloc; free with the size it was allocated with.
void* AllocatePixelBlock(std::size_t size);
void FreePixelBlock(void* block, std::size_t size) noexcept;

} // namespace varnolux
