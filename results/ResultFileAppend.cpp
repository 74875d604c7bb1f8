#include "results/ResultFileAppend.h"

#include "base/TFileDescriptor.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <system_error>
#include <unistd.h>

namespace varnolux {

namespace {

// An error number of our own: the name is a FIFO, a device or the like.
constexpr int NotARegularFile = -1;

/// Writes both texts whole, in one write where the system takes it (a regions table
/// of hundreds of megabytes is not copied behind its header for that); the error
/// number of the write that failed, 0 on success.
int WriteAll(int fd, std::string_view first, std::string_view second)
{
    while (!first.empty() || !second.empty()) {
        iovec parts[2] = {{const_cast<char*>(first.data()), first.size()},
                          {const_cast<char*>(second.data()), second.size()}};
        const ssize_t written = ::writev(fd, parts, 2);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return written < 0 ? errno : EIO;
        const std::size_t fromFirst = std::min(first.size(), std::size_t(written));
        first.remove_prefix(fromFirst);
        second.remove_prefix(std::size_t(written) - fromFirst);
    }
    return 0;
}

/// Whether a file that is not empty ends without a line break (edited by hand, or
/// written by another program), so that a new line would join its last one.
bool EndsInsideALine(int fd, off_t size)
{
    char last = '\n';
    return size > 0 && ::pread(fd, &last, 1, size - 1) == 1 && last != '\n';
}

/// File systems without advisory locks (some network and FUSE file systems): one
/// writer per file is safe there, so the append goes on without the lock.
bool LocksUnsupported(int error)
{
    return error == ENOLCK || error == EOPNOTSUPP || error == ENOSYS || error == EINVAL;
}

/// The result file, open for appending, created when missing, and locked against
/// every other append while this lives.
struct TLockedResultFile {
    TFileDescriptor file;
    bool created = false; // by this append
    off_t size = 0;       // when the lock was taken
};

/// Opens and locks the file; the error number when that fails. A file removed or
/// replaced while we waited for the lock (a first append that failed removes the file
/// it created) is not the file of that name any more: the name is opened again.
int OpenLocked(const std::string& fileName, TLockedResultFile& locked)
{
    for (;;) {
        locked.created = false;
        locked.file = TFileDescriptor(::open(fileName.c_str(), O_RDWR | O_APPEND | O_CLOEXEC));
        if (!locked.file.IsOpen() && errno == ENOENT) {
            locked.file = TFileDescriptor(
                ::open(fileName.c_str(), O_RDWR | O_APPEND | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
            locked.created = locked.file.IsOpen();
            if (!locked.file.IsOpen() && errno == EEXIST)
                continue;
        }
        if (!locked.file.IsOpen())
            return errno;
        int lockResult = 0;
        do {
            lockResult = ::flock(locked.file.Get(), LOCK_EX);
        } while (lockResult != 0 && errno == EINTR);
        if (lockResult != 0 && !LocksUnsupported(errno))
            return errno;
        struct stat opened {};
        struct stat named {};
        if (::fstat(locked.file.Get(), &opened) != 0)
            return errno;
        if (!S_ISREG(opened.st_mode))
            return NotARegularFile;
        if (::stat(fileName.c_str(), &named) == 0) {
            if (named.st_dev == opened.st_dev && named.st_ino == opened.st_ino) {
                locked.size = opened.st_size;
                return 0;
            }
        } else if (errno != ENOENT) {
            return errno;
        }
    }
}

/// Appends text under the lock: the header first when the file is empty, a line end
/// first when its last line has none. A failed write is cut back to where this append
/// began, which no other append can have passed while the lock is held; a file this
/// append created is removed again. The error number, 0 on success.
int AppendLocked(const std::string& fileName, std::string_view header, std::string_view line)
{
    TLockedResultFile locked;
    if (const int error = OpenLocked(fileName, locked); error != 0)
        return error;
    const int fd = locked.file.Get();
    std::string_view before;
    if (locked.size == 0)
        before = header;
    else if (!line.empty() && EndsInsideALine(fd, locked.size))
        before = ResultLineEnd;
    if (before.empty() && line.empty())
        return 0;
    int error = WriteAll(fd, before, line);
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (error == 0)
        return 0;
    [[maybe_unused]] const int cut = ::ftruncate(fd, locked.size);
    if (locked.created && locked.size == 0)
        ::unlink(fileName.c_str());
    return error;
}

std::string ErrorText(int error)
{
    if (error == NotARegularFile)
        return "not a regular file";
    return std::generic_category().message(error);
}

} // namespace

bool AppendToResultFile(const std::string& fileName, std::string_view header,
                        std::string_view lines, std::string* why)
{
    const int error = fileName.empty() ? ENOENT : AppendLocked(fileName, header, lines);
    if (error != 0 && why)
        *why = ErrorText(error);
    return error == 0;
}

} // namespace varnolux
