#pragma once

#include <array>
#include <atomic>
#include <functional>
#include <thread>

namespace varnolux {

/// A progress bar of the user interface.
class TQProgressBar {
public:
    virtual ~TQProgressBar() = default;
    virtual void SetRange(int min, int max) = 0;
    virtual void SetPosition(int position) = 0;
};

/// The image library's progress hook: 100 slots for progress bars, and a pump that
/// lets the user interface process pending events. Headless it does nothing. With a
/// pump, progress belongs to the thread that installed it (the user interface's):
/// work on other threads reports nothing and pumps nothing.
class TQStatus {
public:
    static constexpr int SlotCount = 100;

    /// The one instance, created on first use and living until the program ends.
    static TQStatus& Instance();

    /// Safe while other threads run operations that report progress.
    void SetBar(int slot, TQProgressBar* bar);
    /// Set it before other threads use the status: the pump is read without a lock.
    /// The calling thread becomes the one whose progress is shown.
    void SetEventPump(std::function<void()> pump);

    /// Progress reports of the calling thread have no effect (no event pump and no
    /// progress bar, or the pump is another thread's), so long operations may split
    /// their work across threads.
    bool IsSilent() const;

    /// Sets position, maximum and minimum of the slot's bar, then pumps events.
    void StartProgress(int slot, int position, int max, int min);
    /// Sets the slot's bar's position, then pumps events.
    void StepProgress(int slot, int position);
    /// StepProgress when counter is a multiple of UpdateInterval (every counter
    /// when the interval is not positive).
    void StepEvery(int slot, int counter)
    {
        if (UpdateInterval <= 0 || counter % UpdateInterval == 0)
            StepProgress(slot, counter);
    }

    int UpdateInterval = 20;

private:
    TQStatus() = default;
    void PumpEvents();
    /// Whether progress of the calling thread is shown.
    bool ShowsProgressHere() const;

    std::array<std::atomic<TQProgressBar*>, SlotCount> bars_{};
    std::function<void()> pump_;
    std::thread::id pumpThread_;
};

} // namespace varnolux
