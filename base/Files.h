#pragma once

#include <string>
#include <sys/types.h>

namespace varnolux {

/// Whether a regular file of that name exists (a link to one counts); false when it
/// cannot be told.
bool FileExists(const std::string& fileName);

/// Whether a folder of that name exists (a link to one counts).
bool FolderExists(const std::string& folder);

/// Creates an empty file of that name unless something of that name exists; an
/// existing file is left as it is. The empty text when the name is there afterwards,
/// else why not.
std::string CreateFileIfMissing(const std::string& fileName);

/// Creates the folder and the missing folders above it with the given permissions
/// (less the umask). The empty text when the folder is there afterwards, else why not.
std::string CreateFoldersIfMissing(const std::string& folder, mode_t mode = 0777);

} // namespace varnolux
