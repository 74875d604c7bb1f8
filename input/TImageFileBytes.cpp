#include "input/TImageFileBytes.h"

#include "input/AvailableMemory.h"
#include "settings/TFileDescriptor.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/mman.h>
#include <sys/stat.h>
#include <system_error>

namespace varnolux {

namespace {

[[noreturn]] void Fail(int error)
{
    throw TImageFileReadError(error == EINVAL ? "not a regular file"
                                              : std::generic_category().message(error));
}

constexpr std::size_t HugePage = std::size_t(2) << 20;

} // namespace

void TImageFileBytes::TFree::operator()(std::uint8_t* data) const
{
    std::free(data);
}

TImageFileBytes::TBuffer TImageFileBytes::Allocate(std::size_t capacity)
{
    // Every fresh page costs a fault, dearly on virtual machines: a buffer of a few
    // huge pages instead of thousands of small ones.
    const bool huge = capacity >= HugePage;
    const std::size_t size =
        huge ? (capacity + HugePage - 1) / HugePage * HugePage : std::max<std::size_t>(capacity, 1);
    void* data = huge ? std::aligned_alloc(HugePage, size) : std::malloc(size);
    if (!data)
        throw std::bad_alloc();
    if (huge)
        ::madvise(data, size, MADV_HUGEPAGE);
    return TBuffer(static_cast<std::uint8_t*>(data));
}

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
    bytes.data_ = Allocate(capacity);
    for (;;) {
        // A full buffer reads into a small one first: only a file that grew since it
        // was measured needs a larger buffer.
        std::uint8_t probe[4096];
        const bool full = bytes.size_ == capacity;
        const ssize_t count =
            full ? ::read(file.Get(), probe, sizeof probe)
                 : ::read(file.Get(), bytes.data_.get() + bytes.size_, capacity - bytes.size_);
        if (count == 0)
            return bytes;
        if (count < 0) {
            if (errno != EINTR)
                Fail(errno);
            continue;
        }
        if (full) {
            capacity = std::max<std::size_t>(2 * capacity, sizeof probe);
            TBuffer data = Allocate(capacity);
            std::copy_n(bytes.data_.get(), bytes.size_, data.get());
            std::copy_n(probe, std::size_t(count), data.get() + bytes.size_);
            bytes.data_ = std::move(data);
        }
        bytes.size_ += std::size_t(count);
    }
}

} // namespace varnolux
