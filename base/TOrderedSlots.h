#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <optional>
#include <vector>

namespace varnolux {

/// Slots for numbered outcomes: workers fill them in any order, one reader takes them
/// in order 0, 1, 2, …, waiting for each. Only a window of capacity outcomes past the
/// last one taken is held: a worker ahead of it waits, so that memory stays bounded
/// however many outcomes there are.
template <typename T>
class TOrderedSlots {
public:
    explicit TOrderedSlots(std::size_t capacity)
        : slots_(capacity == 0 ? 1 : capacity)
    {
    }

    /// Waits until the index is inside the window, then stores the value.
    void Put(std::size_t index, T value)
    {
        {
            std::unique_lock lock(mutex_);
            taken_.wait(lock, [&] { return index < next_ + slots_.size(); });
            slots_[index % slots_.size()] = std::move(value);
        }
        filled_.notify_all();
    }

    /// Waits until the next index's slot is filled, then moves its value out; index
    /// must be the one after the last taken.
    T Take(std::size_t index)
    {
        std::optional<T> value;
        {
            std::unique_lock lock(mutex_);
            auto& slot = slots_[index % slots_.size()];
            filled_.wait(lock, [&] { return slot.has_value(); });
            value.swap(slot);
            next_ = index + 1;
        }
        taken_.notify_all();
        return std::move(*value);
    }

private:
    std::mutex mutex_;
    std::condition_variable filled_;
    std::condition_variable taken_;
    std::vector<std::optional<T>> slots_;
    std::size_t next_ = 0; // the index the reader takes next
};

} // namespace varnolux
