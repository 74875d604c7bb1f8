#pragma once

#include <cstdint>
#include <optional>

namespace varnolux {

/// What the machine can still give without killing processes: the kernel's
/// estimate of available memory plus free swap; nothing when it cannot be read.
std::optional<std::uint64_t> AvailableMemory();

} // namespace varnolux
