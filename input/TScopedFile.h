#pragma once

#include <filesystem>
#include <string>
#include <utility>

namespace varnolux {

/// A temporary file that is deleted when this goes, unless it was handed on.
class TScopedFile {
public:
    explicit TScopedFile(std::string fileName)
        : fileName_(std::move(fileName))
    {
    }
    ~TScopedFile()
    {
        if (fileName_.empty())
            return;
        std::error_code ignored;
        std::filesystem::remove(fileName_, ignored);
    }
    TScopedFile(const TScopedFile&) = delete;
    TScopedFile& operator=(const TScopedFile&) = delete;

    const std::string& Name() const { return fileName_; }
    /// Keeps the file; the caller deletes it.
    std::string Release() { return std::exchange(fileName_, {}); }

private:
    std::string fileName_;
};

} // namespace varnolux
