#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <optional>
#include <vector>

namespace varnolux {

/// One slot per input: workers fill slots in any order, one reader takes them in
/// input order, waiting for each.
template <typename T>
class TOrderedSlots {
public:
    explicit TOrderedSlots(std::size_t count)
        : slots_(count)
    {
    }

    void Put(std::size_t index, T value)
    {
        {
            const std::lock_guard lock(mutex_);
            slots_[index] = std::move(value);
        }
        filled_.notify_all();
    }

    /// Waits until the slot is filled, then moves its value out.
    T Take(std::size_t index)
    {
        std::unique_lock lock(mutex_);
        filled_.wait(lock, [&] { return slots_[index].has_value(); });
        T value = std::move(*slots_[index]);
        slots_[index].reset();
        return value;
    }

private:
    std::mutex mutex_;
    std::condition_variable filled_;
    std::vector<std::optional<T>> slots_;
};

} // namespace varnolux
