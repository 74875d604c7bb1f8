#include "app/BatchJobs.h"

#include "base/TFileDescriptor.h"
#include "input/TKVFreeImage.h"

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>

namespace varnolux {

namespace {

/// Images whose headers are read before the batch starts.
constexpr std::size_t LookedAtImages = 16;

} // namespace

int DefaultJobCount(const TJobLimits& limits)
{
    std::uint64_t jobs = std::min<std::uint64_t>(std::uint64_t(std::max(1, limits.Cores)),
                                                 std::max<std::size_t>(1, limits.Images));
    if (limits.AvailableMemory && limits.LargestPixels > 0) {
        const std::uint64_t usable = *limits.AvailableMemory / 4 * 3;
        jobs = std::min(jobs, usable / (limits.LargestPixels * JobBytesPerPixel));
    }
    return int(std::max<std::uint64_t>(jobs, 1));
}

std::uint64_t EstimatedPixels(const std::string& fileName)
{
    if (const auto size = DeclaredImageSize(fileName))
        return std::uint64_t(size->Width) * std::uint64_t(size->Height);
    std::error_code error;
    const std::uintmax_t bytes = std::filesystem::file_size(fileName, error);
    return error ? 0 : std::uint64_t(bytes);
}

std::uint64_t LargestEstimatedPixels(std::span<const std::string> images)
{
    std::uint64_t largest = 0;
    for (const std::string& image : images.first(std::min(images.size(), LookedAtImages)))
        largest = std::max(largest, EstimatedPixels(image));
    return largest;
}

void ReadAhead(const std::string& fileName)
{
    // Not blocking: a pipe named as an image must not hold the job up here.
    const TFileDescriptor file(::open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat status {};
    if (file.IsOpen() && ::fstat(file.Get(), &status) == 0 && S_ISREG(status.st_mode))
        ::posix_fadvise(file.Get(), 0, 0, POSIX_FADV_WILLNEED);
}

} // namespace varnolux
