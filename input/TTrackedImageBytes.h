#pragma once

#include <FreeImage.h>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace varnolux {

/// An image file that FreeImage reads through a handle, counting the reads that got
/// fewer bytes than the decoder asked for: what a decoder does at the end of a
/// file it wants more of.
class TTrackedImageFile {
public:
    explicit TTrackedImageFile(const std::string& fileName);

    bool IsOpen() const { return file_ != nullptr; }
    /// FreeImage_LoadFromHandle on this file; nothing when it is not open.
    FIBITMAP* Load(FREE_IMAGE_FORMAT format, int flags);
    int ShortReads() const { return shortReads_; }
    /// The file's length in bytes (0 when it is not open).
    std::uint64_t Size() const { return size_; }

private:
    static unsigned Read(void* buffer, unsigned size, unsigned count, fi_handle handle);
    static int Seek(fi_handle handle, long offset, int origin);
    static long Tell(fi_handle handle);

    struct TCloser {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::unique_ptr<std::FILE, TCloser> file_;
    std::uint64_t size_ = 0;
    int shortReads_ = 0;
};

} // namespace varnolux
