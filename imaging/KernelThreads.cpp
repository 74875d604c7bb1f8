#include "imaging/KernelThreads.h"

#include "imaging/TQStatus.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <system_error>
#include <thread>
#include <vector>

namespace varnolux {

namespace {

// Below this many bytes per thread, starting the thread costs more than it saves.
constexpr std::size_t MinimumBytesPerThread = std::size_t(1) << 20;

int CoreCount()
{
    return int(std::max(1u, std::thread::hardware_concurrency()));
}

std::atomic<int> kernelThreads{CoreCount()};

} // namespace

int KernelThreadCount()
{
    return kernelThreads.load(std::memory_order_relaxed);
}

void SetKernelThreadCount(int count)
{
    kernelThreads.store(std::max(1, count), std::memory_order_relaxed);
}

void ForEachBlock(int count, std::size_t cost, const std::function<void(int, int)>& work)
{
    if (count <= 0)
        return;
    const std::size_t bytes = std::size_t(count) * cost;
    const int threads =
        int(std::min<std::size_t>({std::size_t(KernelThreadCount()), std::size_t(count),
                                   std::max<std::size_t>(1, bytes / MinimumBytesPerThread)}));
    if (threads <= 1) {
        work(0, count);
        return;
    }
    std::vector<std::exception_ptr> errors(static_cast<std::size_t>(threads));
    const std::atomic<bool>* cancelled = TQStatus::ThreadCancelFlag();
    const bool silent = TQStatus::ThreadIsSilent();
    const auto runBlock = [&](int block) {
        const TQStatus::TCancelScope cancelScope(cancelled, silent);
        const int begin = int(std::int64_t(count) * block / threads);
        const int end = int(std::int64_t(count) * (block + 1) / threads);
        try {
            work(begin, end);
        } catch (...) {
            errors[std::size_t(block)] = std::current_exception();
        }
    };
    {
        std::vector<std::jthread> helpers;
        for (int block = 1; block < threads; ++block) {
            try {
                helpers.emplace_back(runBlock, block);
            } catch (const std::system_error&) {
                // No thread to be had (a process or memory limit): this one does it.
                runBlock(block);
            }
        }
        runBlock(0);
    }
    for (const std::exception_ptr& error : errors)
        if (error)
            std::rethrow_exception(error);
}

} // namespace varnolux
