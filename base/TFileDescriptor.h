#pragma once

#include <unistd.h>
#include <utility>

namespace varnolux {

/// Owns an open POSIX file descriptor and closes it when it goes.
class TFileDescriptor {
public:
    explicit TFileDescriptor(int descriptor = -1)
        : descriptor_(descriptor)
    {
    }
    ~TFileDescriptor()
    {
        if (descriptor_ >= 0)
            ::close(descriptor_);
    }
    TFileDescriptor(TFileDescriptor&& other) noexcept
        : descriptor_(std::exchange(other.descriptor_, -1))
    {
    }
    TFileDescriptor& operator=(TFileDescriptor&& other) noexcept
    {
        std::swap(descriptor_, other.descriptor_);
        return *this;
    }

    bool IsOpen() const { return descriptor_ >= 0; }
    int Get() const { return descriptor_; }

    /// Closes now, so that a failing close can be seen; true when it succeeded.
    bool Close() { return ::close(std::exchange(descriptor_, -1)) == 0; }

private:
    int descriptor_;
};

} // namespace varnolux
