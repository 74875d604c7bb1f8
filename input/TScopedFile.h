#pragma once

#include <string>
#include <unistd.h>
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
        // unlink allocates nothing: a destructor that runs because memory ran out must
        // not throw for want of memory.
        if (!fileName_.empty())
            ::unlink(fileName_.c_str());
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
