#pragma once

#include <cstddef>
#include <functional>

namespace varnolux {

/// How many threads one long image operation may use (at least 1). Starts at the
/// number of cores.
int KernelThreadCount();
void SetKernelThreadCount(int count);

/// Runs work(begin, end) over consecutive blocks that together cover [0, count), one
/// block per thread, the first on the calling thread. Runs work(0, count) on the
/// calling thread alone when one thread is allowed or when count · cost (the bytes
/// touched per item, roughly) is too small to pay for a thread. The blocks share the
/// calling thread's cancel flag and silence (TQStatus). An exception thrown by a block is rethrown
/// here after every block has finished.
void ForEachBlock(int count, std::size_t cost, const std::function<void(int, int)>& work);

} // namespace varnolux
