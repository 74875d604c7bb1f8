#include "imaging/TQStatus.h"

namespace varnolux {

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

void TQStatus::SetEventPump(std::function<void()> pump)
{
    pump_ = std::move(pump);
    pumpThread_ = pump_ ? std::this_thread::get_id() : std::thread::id();
}

bool TQStatus::ShowsProgressHere() const
{
    return !pump_ || std::this_thread::get_id() == pumpThread_;
}

bool TQStatus::IsSilent() const
{
    if (pump_)
        return !ShowsProgressHere();
    for (const auto& bar : bars_)
        if (bar.load(std::memory_order_relaxed))
            return false;
    return true;
}

void TQStatus::StartProgress(int slot, int position, int max, int min)
{
    if (!ShowsProgressHere())
        return;
    if (slot >= 0 && slot < SlotCount)
        if (TQProgressBar* bar = bars_[slot].load(std::memory_order_relaxed)) {
            bar->SetRange(min, max);
            bar->SetPosition(position);
        }
    PumpEvents();
}

void TQStatus::StepProgress(int slot, int position)
{
    if (!ShowsProgressHere())
        return;
    if (slot >= 0 && slot < SlotCount)
        if (TQProgressBar* bar = bars_[slot].load(std::memory_order_relaxed))
            bar->SetPosition(position);
    PumpEvents();
}

void TQStatus::PumpEvents()
{
    if (pump_)
        pump_();
}

} // namespace varnolux
