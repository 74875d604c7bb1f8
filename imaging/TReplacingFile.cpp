#include "imaging/TReplacingFile.h"

#include "imaging/TQError.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace varnolux {

namespace {

constexpr std::size_t WriteBufferSize = 1 << 20;

std::string SystemReason()
{
    return std::strerror(errno);
}

/// Creates a new file next to the target that no other writer uses; returns its
/// descriptor, or -1 with errno set.
int CreateUniqueFile(const std::string& targetName, std::string& tempName)
{
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempName = targetName + ".tmp" + std::to_string(::getpid()) + "-" +
                   std::to_string(counter.fetch_add(1));
        const int descriptor =
            ::open(tempName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor >= 0 || errno != EEXIST)
            return descriptor;
    }
    return -1;
}

} // namespace

TReplacingFile::TReplacingFile(std::string targetName)
    : targetName_(std::move(targetName))
{
    const int descriptor = CreateUniqueFile(targetName_, tempName_);
    if (descriptor < 0)
        throw TImageFileError("Cannot create file '" + targetName_ + "': " + SystemReason());
    // The new file keeps the permissions of the one it replaces (a private temporary
    // file stays private).
    struct stat target {};
    if (::stat(targetName_.c_str(), &target) == 0 && S_ISREG(target.st_mode) &&
        ::fchmod(descriptor, target.st_mode & 07777) != 0) {
        const std::string reason = SystemReason();
        ::close(descriptor);
        ::unlink(tempName_.c_str());
        throw TImageFileError("Cannot create file '" + targetName_ + "': " + reason);
    }
    stream_ = ::fdopen(descriptor, "wb");
    if (!stream_) {
        const std::string reason = SystemReason();
        ::close(descriptor);
        ::unlink(tempName_.c_str());
        throw TImageFileError("Cannot create file '" + targetName_ + "': " + reason);
    }
    std::setvbuf(stream_, nullptr, _IOFBF, WriteBufferSize);
}

TReplacingFile::~TReplacingFile()
{
    Discard();
}

void TReplacingFile::Write(const void* bytes, std::size_t count)
{
    if (count && std::fwrite(bytes, 1, count, stream_) != count)
        Fail(SystemReason());
}

void TReplacingFile::Commit()
{
    if (std::fflush(stream_) != 0 || std::ferror(stream_))
        Fail(SystemReason());
    std::FILE* stream = stream_;
    stream_ = nullptr;
    if (std::fclose(stream) != 0)
        Fail(SystemReason());
    if (std::rename(tempName_.c_str(), targetName_.c_str()) != 0)
        Fail(SystemReason());
    tempName_.clear();
}

void TReplacingFile::Fail(const std::string& reason)
{
    Discard();
    throw TImageFileError("Cannot write file '" + targetName_ + "': " + reason);
}

void TReplacingFile::Discard()
{
    if (stream_) {
        std::fclose(stream_);
        stream_ = nullptr;
    }
    if (!tempName_.empty()) {
        ::unlink(tempName_.c_str());
        tempName_.clear();
    }
}

} // namespace varnolux
