#include "base/Files.h"

#include "base/TFileDescriptor.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>

namespace varnolux {

namespace {

std::string Reason(int error)
{
    return std::generic_category().message(error);
}

} // namespace

bool FileExists(const std::string& fileName)
{
    std::error_code error;
    return std::filesystem::is_regular_file(fileName, error);
}

bool FolderExists(const std::string& folder)
{
    std::error_code error;
    return std::filesystem::is_directory(folder, error);
}

std::string CreateFileIfMissing(const std::string& fileName)
{
    std::error_code error;
    if (std::filesystem::exists(fileName, error))
        return {};
    const TFileDescriptor file(::open(fileName.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666));
    return file.IsOpen() ? std::string() : Reason(errno);
}

std::string CreateFoldersIfMissing(const std::string& folder, mode_t mode)
{
    std::filesystem::path path;
    for (const auto& part : std::filesystem::path(folder)) {
        path /= part;
        if (part.empty() || FolderExists(path))
            continue;
        if (::mkdir(path.c_str(), mode) != 0 && errno != EEXIST)
            return Reason(errno);
    }
    return {};
}

} // namespace varnolux
