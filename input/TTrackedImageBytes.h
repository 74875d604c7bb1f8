#pragma once

#include <FreeImage.h>
#include <cstdint>
#include <span>

namespace varnolux {

/// An image file's bytes in memory, which FreeImage reads through a handle, counting
/// the reads that got fewer bytes than the decoder asked for: what a decoder does at
/// the end of a file it wants more of. FreeImage's own memory stream cannot count
/// them. The bytes belong to the caller and must outlive this.
class TTrackedImageBytes {
public:
    explicit TTrackedImageBytes(std::span<const std::uint8_t> bytes);

    /// FreeImage_LoadFromHandle on the bytes, from their start.
    FIBITMAP* Load(FREE_IMAGE_FORMAT format, int flags);
    int ShortReads() const { return shortReads_; }
    /// The file's length in bytes.
    std::uint64_t Size() const { return bytes_.size(); }

private:
    static unsigned Read(void* buffer, unsigned size, unsigned count, fi_handle handle);
    static int Seek(fi_handle handle, long offset, int origin);
    static long Tell(fi_handle handle);

    std::span<const std::uint8_t> bytes_;
    // May lie beyond the end, as a file position may.
    std::uint64_t position_ = 0;
    int shortReads_ = 0;
};

} // namespace varnolux
