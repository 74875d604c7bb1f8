#pragma once

#include <stdexcept>

namespace varnolux {

/// A failure inside the image library; its text begins "Internal error: " where the
/// library's texts say so.
class TQError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// A bitmap file (BMP or JPEG) that cannot be read or written.
class TImageFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace varnolux
