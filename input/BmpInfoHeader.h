#pragma once

// BMP files with the larger info headers (108 and 124 bytes, as ImageMagick and GIMP
// write them) hold their pixels as the plain 40-byte kind does, but FreeImage refuses
// them.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace varnolux {

/// The file with its info header cut to the plain 40 bytes — the colour masks kept
/// after it for BI_BITFIELDS, the palette and the pixels unchanged — for a BMP file
/// whose info header is 108 or 124 bytes; nothing for every other file, and for one
/// whose header and offsets do not fit together (the decoder judges it as it is).
std::optional<std::vector<std::uint8_t>>
WithPlainBmpInfoHeader(std::span<const std::uint8_t> bytes);

} // namespace varnolux
