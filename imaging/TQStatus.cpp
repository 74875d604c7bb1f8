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
        bars_[slot] = bar;
}

void TQStatus::SetEventPump(std::function<void()> pump)
{
    pump_ = std::move(pump);
}

void TQStatus::StartProgress(int slot, int position, int max, int min)
{
    if (slot >= 0 && slot < SlotCount && bars_[slot]) {
        bars_[slot]->SetRange(min, max);
        bars_[slot]->SetPosition(position);
    }
    PumpEvents();
}

void TQStatus::StepProgress(int slot, int position)
{
    if (slot >= 0 && slot < SlotCount && bars_[slot])
        bars_[slot]->SetPosition(position);
    PumpEvents();
}

void TQStatus::PumpEvents()
{
    if (pump_)
        pump_();
}

} // namespace varnolux
