#include "imaging/TQStatus.h"

namespace varnolux {

namespace {

thread_local const std::atomic<bool>* threadCancelFlag = nullptr;
thread_local bool threadSilent = false;

} // namespace

TQStatus& TQStatus::Instance()
{
    static TQStatus status;
    return status;
}

void TQStatus::SetBar(int slot, TQProgressBar* bar)
{
    if (slot >= 0 && slot < SlotCount)
        bars_[slot].store(bar, std::memory_order_relaxed);
}

void TQStatus::StartProgress(int slot, int position, int max, int min)
{
    ThrowWhenCancelled();
    if (threadSilent)
        return;
    if (slot >= 0 && slot < SlotCount)
        if (TQProgressBar* bar = bars_[slot].load(std::memory_order_relaxed)) {
            bar->SetRange(min, max);
            bar->SetPosition(position);
        }
}

void TQStatus::StepProgress(int slot, int position)
{
    ThrowWhenCancelled();
    if (threadSilent)
        return;
    if (slot >= 0 && slot < SlotCount)
        if (TQProgressBar* bar = bars_[slot].load(std::memory_order_relaxed))
            bar->SetPosition(position);
}

void TQStatus::ThrowWhenCancelled()
{
    if (threadCancelFlag && threadCancelFlag->load(std::memory_order_relaxed))
        throw TQCancelled();
}

TQStatus::TCancelScope::TCancelScope(const std::atomic<bool>* cancelled, bool silent)
    : previousFlag_(threadCancelFlag)
    , previousSilent_(threadSilent)
{
    threadCancelFlag = cancelled;
    threadSilent = silent;
}

TQStatus::TCancelScope::~TCancelScope()
{
    threadCancelFlag = previousFlag_;
    threadSilent = previousSilent_;
}

const std::atomic<bool>* TQStatus::ThreadCancelFlag()
{
    return threadCancelFlag;
}

bool TQStatus::ThreadIsSilent()
{
    return threadSilent;
}

} // namespace varnolux
