#pragma once

#include <cstdio>
#include <string>

namespace varnolux {

/// A file written under a temporary name next to its target and renamed onto it by
/// Commit, so a failed write never leaves a partial target behind. Without a
/// successful Commit the temporary file is removed. Failures throw TImageFileError.
class TReplacingFile {
public:
    explicit TReplacingFile(std::string targetName);
    ~TReplacingFile();
    TReplacingFile(const TReplacingFile&) = delete;
    TReplacingFile& operator=(const TReplacingFile&) = delete;

    /// The open temporary file, fully buffered.
    std::FILE* Stream() { return stream_; }

    /// Writes all bytes or throws.
    void Write(const void* bytes, std::size_t count);

    /// Flushes and closes the temporary file, then renames it onto the target.
    void Commit();

private:
    [[noreturn]] void Fail(const std::string& reason);
    void Discard();

    std::string targetName_;
    std::string tempName_;
    std::FILE* stream_ = nullptr;
};

} // namespace varnolux
