#pragma once

#include <array>
#include <atomic>
#include <exception>

namespace varnolux {

/// A progress bar of the user interface. Long operations report from whichever thread
/// runs them, several at once: an implementation hands the values to its own thread.
class TQProgressBar {
public:
    virtual ~TQProgressBar() = default;
    virtual void SetRange(int min, int max) = 0;
    virtual void SetPosition(int position) = 0;
};

/// Thrown by a progress report once the work it belongs to is cancelled.
class TQCancelled : public std::exception {
public:
    const char* what() const noexcept override { return "cancelled"; }
};

/// The image library's progress hook: 100 slots for progress bars, and the check for
/// cancellation at every report. It only reports: it never runs the event loop.
class TQStatus {
public:
    static constexpr int SlotCount = 100;

    /// The one instance, created on first use and living until the program ends.
    static TQStatus& Instance();

    /// Safe while other threads run operations that report progress.
    void SetBar(int slot, TQProgressBar* bar);

    /// Sets position, maximum and minimum of the slot's bar. Throws TQCancelled when
    /// the calling thread's work is cancelled.
    void StartProgress(int slot, int position, int max, int min);
    /// Sets the slot's bar's position; throws TQCancelled like StartProgress.
    void StepProgress(int slot, int position);
    /// StepProgress when counter is a multiple of UpdateInterval (every counter
    /// when the interval is not positive).
    void StepEvery(int slot, int counter)
    {
        if (UpdateInterval <= 0 || counter % UpdateInterval == 0)
            StepProgress(slot, counter);
    }

    /// Makes the calling thread's progress reports throw TQCancelled once the flag is
    /// set, while it lives; the kernel threads an operation starts share the flag. A
    /// silent scope moves no bar: work that nobody watches, beside work that is shown.
    class TCancelScope {
    public:
        explicit TCancelScope(const std::atomic<bool>* cancelled, bool silent = false);
        ~TCancelScope();
        TCancelScope(const TCancelScope&) = delete;
        TCancelScope& operator=(const TCancelScope&) = delete;

    private:
        const std::atomic<bool>* previousFlag_;
        bool previousSilent_;
    };
    /// The calling thread's cancel flag; none outside a TCancelScope.
    static const std::atomic<bool>* ThreadCancelFlag();
    /// Whether the calling thread's progress reports move no bar (a silent TCancelScope).
    static bool ThreadIsSilent();

    int UpdateInterval = 20;

private:
    TQStatus() = default;
    static void ThrowWhenCancelled();

    std::array<std::atomic<TQProgressBar*>, SlotCount> bars_{};
};

} // namespace varnolux
