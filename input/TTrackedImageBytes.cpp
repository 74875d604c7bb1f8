#include "input/TTrackedImageFile.h"

#include <algorithm>

namespace varnolux {

TTrackedImageFile::TTrackedImageFile(const std::string& fileName)
    : file_(std::fopen(fileName.c_str(), "rb"))
{
    if (file_ && std::fseek(file_.get(), 0, SEEK_END) == 0)
        size_ = std::uint64_t(std::max(0L, std::ftell(file_.get())));
}

FIBITMAP* TTrackedImageFile::Load(FREE_IMAGE_FORMAT format, int flags)
{
    if (!file_)
        return nullptr;
    std::rewind(file_.get());
    shortReads_ = 0;
    FreeImageIO io{&Read, nullptr, &Seek, &Tell};
    return FreeImage_LoadFromHandle(format, &io, this, flags);
}

unsigned TTrackedImageFile::Read(void* buffer, unsigned size, unsigned count, fi_handle handle)
{
    auto* self = static_cast<TTrackedImageFile*>(handle);
    const std::size_t read = std::fread(buffer, size, count, self->file_.get());
    if (read < count && size != 0)
        ++self->shortReads_;
    return unsigned(read);
}

int TTrackedImageFile::Seek(fi_handle handle, long offset, int origin)
{
    return std::fseek(static_cast<TTrackedImageFile*>(handle)->file_.get(), offset, origin);
}

long TTrackedImageFile::Tell(fi_handle handle)
{
    return std::ftell(static_cast<TTrackedImageFile*>(handle)->file_.get());
}

} // namespace varnolux
