#include "input/TTrackedImageBytes.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>

namespace varnolux {

TTrackedImageBytes::TTrackedImageBytes(std::span<const std::uint8_t> bytes)
    : bytes_(bytes)
{
}

FIBITMAP* TTrackedImageBytes::Load(FREE_IMAGE_FORMAT format, int flags)
{
    position_ = 0;
    shortReads_ = 0;
    FreeImageIO io{&Read, nullptr, &Seek, &Tell};
    return FreeImage_LoadFromHandle(format, &io, this, flags);
}

unsigned TTrackedImageBytes::Read(void* buffer, unsigned size, unsigned count, fi_handle handle)
{
    // As fread: the bytes that are there are copied, whole items are counted.
    auto* self = static_cast<TTrackedImageBytes*>(handle);
    const std::uint64_t wanted = std::uint64_t(size) * count;
    const std::uint64_t available =
        self->position_ < self->bytes_.size() ? self->bytes_.size() - self->position_ : 0;
    const std::uint64_t copied = std::min(wanted, available);
    if (copied > 0)
        std::memcpy(buffer, self->bytes_.data() + self->position_, std::size_t(copied));
    self->position_ += copied;
    const std::uint64_t items = size == 0 ? 0 : copied / size;
    if (items < count && size != 0)
        ++self->shortReads_;
    return unsigned(items);
}

int TTrackedImageBytes::Seek(fi_handle handle, long offset, int origin)
{
    auto* self = static_cast<TTrackedImageBytes*>(handle);
    std::int64_t base = 0;
    if (origin == SEEK_CUR)
        base = std::int64_t(self->position_);
    else if (origin == SEEK_END)
        base = std::int64_t(self->bytes_.size());
    else if (origin != SEEK_SET)
        return -1;
    const std::int64_t target = base + offset;
    if (target < 0 || target > std::numeric_limits<long>::max())
        return -1;
    self->position_ = std::uint64_t(target);
    return 0;
}

long TTrackedImageBytes::Tell(fi_handle handle)
{
    return long(static_cast<TTrackedImageBytes*>(handle)->position_);
}

} // namespace varnolux
