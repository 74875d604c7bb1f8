#include "input/AvailableMemory.h"

#include <fstream>
#include <string>

namespace varnolux {

std::optional<std::uint64_t> AvailableMemory()
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

} // namespace varnolux
