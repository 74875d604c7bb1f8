#include "input/TImageFileBytes.h"

#include "base/TFileDescriptor.h"
#include "input/AvailableMemory.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace varnolux {

namespace {

[[noreturn]] void Fail(int error)
{
    throw TImageFileReadError(error == EINVAL ? "not a regular file"
                                              : std::generic_category().message(error));
}

} // namespace

TImageFileBytes TImageFileBytes::Read(const std::string& fileName)
{
    const TFileDescriptor file(::open(fileName.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat status {};
    if (!file.IsOpen() || ::fstat(file.Get(), &status) != 0)
        Fail(errno);
    if (!S_ISREG(status.st_mode))
        Fail(EINVAL);
    std::size_t capacity = std::size_t(status.st_size);
    if (const auto available = AvailableMemory(); available && capacity > *available)
        throw std::bad_alloc();

    TImageFileBytes bytes;
    bytes.fileName_ = fileName;
    bytes.data_ = TPixelMemory(capacity);
    for (;;) {
        // A full buffer reads into a small one first: only a file that grew since it
        // was measured needs a larger buffer.
        std::uint8_t probe[4096];
        const bool full = bytes.size_ == capacity;
        const ssize_t count =
            full ? ::read(file.Get(), probe, sizeof probe)
                 : ::read(file.Get(), static_cast<std::uint8_t*>(bytes.data_.Data()) + bytes.size_,
                          capacity - bytes.size_);
        if (count == 0)
            return bytes;
        if (count < 0) {
            if (errno != EINTR)
                Fail(errno);
            continue;
        }
        if (full) {
            capacity = std::max<std::size_t>(2 * capacity, sizeof probe);
            TPixelMemory data(capacity);
            const auto target = static_cast<std::uint8_t*>(data.Data());
            std::copy_n(bytes.Bytes().data(), bytes.size_, target);
            std::copy_n(probe, std::size_t(count), target + bytes.size_);
            bytes.data_ = std::move(data);
        }
        bytes.size_ += std::size_t(count);
    }
}

} // namespace varnolux
