#pragma once

#include <cstdint>
#include <optional>

namespace varnolux {

/// What this process can still take without being killed or refused: the least of
/// the kernel's estimate of available memory plus free swap, the room left under the
/// memory limit of its control group, and the room left under its address-space
/// limit (ulimit -v). Nothing when none of them can be read.
std::optional<std::uint64_t> AvailableMemory();

/// Memory promised to one image from before its decoding until its analysis is
/// done, so that images opened at the same time do not together take more than there
/// is. Given back when it goes.
class TMemoryReservation {
public:
    TMemoryReservation() = default;
    ~TMemoryReservation();
    TMemoryReservation(TMemoryReservation&& other) noexcept;
    TMemoryReservation& operator=(TMemoryReservation&& other) noexcept;

    std::uint64_t Bytes() const { return bytes_; }

    /// Reserves bytes: waits while they do not fit beside the reservations other
    /// threads of this process hold; nothing when they do not fit even alone.
    static std::optional<TMemoryReservation> Reserve(std::uint64_t bytes);

private:
    explicit TMemoryReservation(std::uint64_t bytes)
        : bytes_(bytes)
    {
    }
    void Release();

    std::uint64_t bytes_ = 0;
};

} // namespace varnolux
