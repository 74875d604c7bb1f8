#include "input/TempFolder.h"

#include "base/TFileDescriptor.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace varnolux {

namespace {

constexpr const char* UserFolderPrefix = "varnolux-";
// Every process folder starts so; the rest is the process id and a unique suffix.
constexpr const char* ProcessFolderPrefix = "run";

std::string ErrorText(int error)
{
    return std::generic_category().message(error);
}

bool SameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

/// The folder of this user, made private; throws when it cannot be trusted.
std::string UserFolder(const std::string& shared)
{
    const std::string folder = shared + UserFolderPrefix + std::to_string(::geteuid());
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        throw TTempFolderError("cannot create the temporary folder " + folder + ": " +
                               ErrorText(errno));
    // Opened without following a link, so that the checks hold for what we use.
    const TFileDescriptor opened(
        ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat status {};
    if (!opened.IsOpen() || ::fstat(opened.Get(), &status) != 0)
        throw TTempFolderError("the temporary folder " + folder +
                               " is not a folder of its own (a symbolic link or a file)");
    if (status.st_uid != ::geteuid())
        throw TTempFolderError("the temporary folder " + folder + " belongs to another user");
    if ((status.st_mode & 077) != 0 && ::fchmod(opened.Get(), 0700) != 0)
        throw TTempFolderError("cannot make the temporary folder " + folder +
                               " private: " + ErrorText(errno));
    return folder + "/";
}

/// Takes the lock a process holds on its folder for as long as it runs.
bool Lock(int descriptor, int operation)
{
    int result = 0;
    do {
        result = ::flock(descriptor, operation);
    } while (result != 0 && errno == EINTR);
    return result == 0;
}

/// Removes the process folders whose lock nobody holds: their processes have ended.
void RemoveLeftovers(const std::string& userFolder)
{
    std::error_code error;
    std::filesystem::directory_iterator entry(userFolder, error);
    for (; !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
        const std::filesystem::path& path = entry->path();
        if (!path.filename().string().starts_with(ProcessFolderPrefix))
            continue;
        const TFileDescriptor folder(
            ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        std::error_code ignored;
        if (folder.IsOpen() && Lock(folder.Get(), LOCK_EX | LOCK_NB))
            std::filesystem::remove_all(path, ignored);
    }
}

/// A folder of this process, locked while the process runs and removed at its end.
class TProcessFolder {
public:
    explicit TProcessFolder(const std::string& userFolder)
    {
        for (;;) {
            std::string name =
                userFolder + ProcessFolderPrefix + std::to_string(::getpid()) + "-XXXXXX";
            if (!::mkdtemp(name.data()))
                throw TTempFolderError("cannot create a temporary folder in " + userFolder + ": " +
                                       ErrorText(errno));
            lock_ = TFileDescriptor(::open(name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
            // Another process that cleaned up between mkdtemp and the lock took it away.
            struct stat locked {};
            struct stat named {};
            if (lock_.IsOpen() && Lock(lock_.Get(), LOCK_EX) &&
                ::fstat(lock_.Get(), &locked) == 0 && ::stat(name.c_str(), &named) == 0 &&
                SameFile(locked, named)) {
                path_ = name + "/";
                return;
            }
        }
    }
    ~TProcessFolder()
    {
        // A forked child that ends normally must not take its parent's files.
        if (::getpid() != owner_)
            return;
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TProcessFolder(const TProcessFolder&) = delete;
    TProcessFolder& operator=(const TProcessFolder&) = delete;

    const std::string& Path() const { return path_; }
    bool Exists() const
    {
        struct stat status {};
        return ::stat(path_.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
    }

private:
    std::string path_;
    TFileDescriptor lock_;
    pid_t owner_ = ::getpid();
};

} // namespace

std::string SharedTempFolder()
{
    const char* temp = std::getenv("TEMP");
    std::string folder;
    if (temp && *temp) {
        folder = temp;
    } else {
        std::error_code error;
        folder = std::filesystem::temp_directory_path(error).string();
        if (error || folder.empty())
            folder = "/tmp";
    }
    if (folder.back() != '/')
        folder += '/';
    return folder;
}

std::string TempFolder()
{
    // One folder per TEMP value this process has used, each made once.
    static std::mutex mutex;
    static std::map<std::string, std::unique_ptr<TProcessFolder>> folders;
    const std::lock_guard lock(mutex);
    const std::string shared = SharedTempFolder();
    std::unique_ptr<TProcessFolder>& folder = folders[shared];
    if (!folder || !folder->Exists()) {
        const std::string userFolder = UserFolder(shared);
        if (!folder)
            RemoveLeftovers(userFolder);
        folder = std::make_unique<TProcessFolder>(userFolder);
    }
    return folder->Path();
}

std::string ClaimFreeFileName(const std::string& stem, unsigned long long first,
                              const std::string& extension)
{
    for (unsigned long long n = first;; ++n) {
        std::string candidate = stem + std::to_string(n) + extension;
        const TFileDescriptor file(
            ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        if (file.IsOpen() || errno != EEXIST)
            return candidate;
    }
}

std::string MakeTempFileName(const std::string& prefix, std::string extension)
{
    if (!extension.starts_with('.'))
        extension.insert(0, 1, '.');
    return ClaimFreeFileName(TempFolder() + prefix, 0, extension);
}

} // namespace varnolux
