#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace varnolux {

/// SHA-256 of a byte sequence as 64 lowercase hexadecimal digits.
std::string Sha256TextHex(std::string_view bytes);

/// SHA-256 of a file's contents, read in blocks of 16384 bytes; nothing when the file
/// cannot be opened or read.
std::optional<std::string> Sha256FileHex(const std::string& fileName);

} // namespace varnolux
