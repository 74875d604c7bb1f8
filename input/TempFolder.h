#pragma once

#include <stdexcept>
#include <string>

namespace varnolux {

/// Raised when the user's temporary folder cannot be made or is not safe to use.
class TTempFolderError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// The folder TEMP names if set, else the system temporary folder, with a trailing "/".
std::string SharedTempFolder();

/// This process's folder for temporary files, with a trailing "/". It lies in the
/// user's own folder "varnolux-" + user id under SharedTempFolder() (mode 0700; one
/// that is a symbolic link, no folder, or another user's is refused) and goes when
/// the process ends. The first use of a user folder in a run removes what processes
/// that no longer run left there (runs that were killed). Safe from any thread.
/// Throws TTempFolderError when the folder cannot be made or is refused.
std::string TempFolder();

/// The first free name stem + n + extension for n = first, first + 1, …, created empty
/// (mode 0600) so that no other thread or process takes it too. An existing name, or
/// a dangling link, is taken; any other failure gives that name, for the caller's
/// write to report.
std::string ClaimFreeFileName(const std::string& stem, unsigned long long first,
                              const std::string& extension);

/// The first free name TempFolder() + prefix + n + extension, n = 0, 1, 2, …,
/// created empty (mode 0600) so that no other thread takes it too; the caller writes
/// the file and deletes it. Throws TTempFolderError as TempFolder() does.
std::string MakeTempFileName(const std::string& prefix, std::string extension);

} // namespace varnolux
