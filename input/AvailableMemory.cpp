#include "input/AvailableMemory.h"

#include <algorithm>
#include <condition_variable>
#include <fstream>
#include <mutex>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <utility>

namespace varnolux {

namespace {

std::optional<std::uint64_t> Smaller(std::optional<std::uint64_t> a, std::optional<std::uint64_t> b)
{
    if (!a || !b)
        return a ? a : b;
    return std::min(*a, *b);
}

std::optional<std::uint64_t> MachineMemory()
{
    std::ifstream info("/proc/meminfo");
    std::optional<std::uint64_t> available;
    std::uint64_t swapFree = 0;
    std::string name;
    std::uint64_t kilobytes = 0;
    std::string unit;
    while (info >> name >> kilobytes) {
        if (name == "MemAvailable:")
            available = kilobytes * 1024;
        else if (name == "SwapFree:")
            swapFree = kilobytes * 1024;
        std::getline(info, unit);
    }
    if (!available)
        return std::nullopt;
    return *available + swapFree;
}

std::optional<std::uint64_t> ReadNumber(const std::string& fileName)
{
    std::ifstream file(fileName);
    std::uint64_t number = 0;
    if (file >> number)
        return number;
    return std::nullopt;
}

/// The room under the tightest memory limit of this process's control group and the
/// groups above it (cgroup v2); a container or a systemd slice sets one.
std::optional<std::uint64_t> ControlGroupMemory()
{
    std::ifstream groups("/proc/self/cgroup");
    std::string line;
    std::string group;
    while (std::getline(groups, line))
        if (line.starts_with("0::"))
            group = line.substr(3);
    if (group.empty())
        return std::nullopt;
    std::optional<std::uint64_t> room;
    for (std::string path = group;; path = path.substr(0, path.rfind('/'))) {
        const std::string folder = "/sys/fs/cgroup" + path;
        const auto limit = ReadNumber(folder + "/memory.max"); // "max" reads as nothing
        const auto used = ReadNumber(folder + "/memory.current");
        if (limit && used)
            room = Smaller(room, *limit > *used ? *limit - *used : 0);
        if (path.empty() || path == "/")
            return room;
    }
}

/// The room under the address-space limit.
std::optional<std::uint64_t> AddressSpace()
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return std::nullopt;
    std::ifstream statm("/proc/self/statm");
    std::uint64_t pages = 0;
    if (!(statm >> pages))
        return std::nullopt;
    const std::uint64_t used = pages * std::uint64_t(::sysconf(_SC_PAGESIZE));
    return limit.rlim_cur > used ? limit.rlim_cur - used : 0;
}

struct TReservations {
    std::mutex mutex;
    std::condition_variable released;
    std::uint64_t bytes = 0;
    int holders = 0;
};

TReservations& Reservations()
{
    static TReservations reservations;
    return reservations;
}

} // namespace

std::optional<std::uint64_t> AvailableMemory()
{
    return Smaller(Smaller(MachineMemory(), ControlGroupMemory()), AddressSpace());
}

TMemoryReservation::~TMemoryReservation()
{
    Release();
}

TMemoryReservation::TMemoryReservation(TMemoryReservation&& other) noexcept
    : bytes_(std::exchange(other.bytes_, 0))
{
}

TMemoryReservation& TMemoryReservation::operator=(TMemoryReservation&& other) noexcept
{
    if (this != &other) {
        Release();
        bytes_ = std::exchange(other.bytes_, 0);
    }
    return *this;
}

void TMemoryReservation::Release()
{
    if (bytes_ == 0)
        return;
    TReservations& reservations = Reservations();
    {
        const std::lock_guard lock(reservations.mutex);
        reservations.bytes -= bytes_;
        --reservations.holders;
    }
    bytes_ = 0;
    reservations.released.notify_all();
}

std::optional<TMemoryReservation> TMemoryReservation::Reserve(std::uint64_t bytes)
{
    bytes = std::max<std::uint64_t>(bytes, 1); // every reservation counts as a holder
    TReservations& reservations = Reservations();
    std::unique_lock lock(reservations.mutex);
    for (;;) {
        // Memory the others have taken already counts twice here, in what is available
        // and in their reservations: an image may wait longer than it must, but images
        // together never take more than there is.
        const auto available = AvailableMemory();
        if (!available || bytes + reservations.bytes <= *available) {
            reservations.bytes += bytes;
            ++reservations.holders;
            return TMemoryReservation(bytes);
        }
        if (reservations.holders == 0)
            return std::nullopt;
        reservations.released.wait(lock);
    }
}

} // namespace varnolux
