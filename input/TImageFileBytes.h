#pragma once

#include "imaging/TPixelMemory.h"

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

namespace varnolux {

/// Raised when an image file cannot be read; the text says why ("Permission denied").
class TImageFileReadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// The bytes of an image file, read once into memory. Its fingerprint and its decoding
/// take these same bytes, so a file rewritten meanwhile can never give the area of one
/// version with the fingerprint of another. Owns its buffer (allocated once, in huge
/// pages when large, never cleared first); move-only.
class TImageFileBytes {
public:
    TImageFileBytes() = default;

    /// Reads the whole file in one pass. Throws TImageFileReadError when it cannot be
    /// read, std::bad_alloc when it is larger than the memory there is.
    static TImageFileBytes Read(const std::string& fileName);

    /// The file the bytes were read from.
    const std::string& FileName() const { return fileName_; }
    std::span<const std::uint8_t> Bytes() const { return {Data(), size_}; }
    std::string_view Text() const { return {reinterpret_cast<const char*>(Data()), size_}; }

private:
    const std::uint8_t* Data() const { return static_cast<const std::uint8_t*>(data_.Data()); }

    std::string fileName_;
    TPixelMemory data_;
    std::size_t size_ = 0;
};

} // namespace varnolux
