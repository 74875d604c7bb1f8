#pragma once

// What every fuzz target provides, and small helpers they share.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace varnolux::fuzz {

inline std::string_view Bytes(const std::uint8_t* data, std::size_t size)
{
    return {reinterpret_cast<const char*>(data), size};
}

/// Stops the run with a message: libFuzzer keeps the input as a finding.
[[noreturn]] inline void Fail(const char* what)
{
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

inline void Check(bool condition, const char* what)
{
    if (!condition)
        Fail(what);
}

/// A file of this process in the temporary folder that a target writes its input
/// to, for code that reads files; removed when the process ends normally.
class TScratchFile {
public:
    explicit TScratchFile(const char* extension)
    {
        const char* folder = std::getenv("TMPDIR");
        name_ = std::string(folder && *folder ? folder : "/tmp") + "/varnolux-fuzz-" +
                std::to_string(::getpid()) + extension;
    }
    ~TScratchFile() { std::remove(name_.c_str()); }
    TScratchFile(const TScratchFile&) = delete;
    TScratchFile& operator=(const TScratchFile&) = delete;

    const std::string& Name() const { return name_; }

    /// Writes the bytes, replacing what was there.
    const std::string& Write(std::string_view bytes) const
    {
        std::FILE* file = std::fopen(name_.c_str(), "wb");
        Check(file != nullptr, "cannot write the scratch file");
        const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
        Check(std::fclose(file) == 0 && written, "cannot write the scratch file");
        return name_;
    }

private:
    std::string name_;
};

} // namespace varnolux::fuzz
