#include "shell/TStatusProgressBar.h"

#include <QMetaObject>

namespace varnolux {

TStatusProgressBar::TStatusProgressBar(QWidget* parent, const char* name)
    : QProgressBar(parent)
{
    setObjectName(name);
    setRange(0, 100);
    setValue(0);
    setTextVisible(false);
}

void TStatusProgressBar::SetRange(int min, int max)
{
    min_ = min;
    max_ = max;
    ScheduleUpdate();
}

void TStatusProgressBar::SetPosition(int position)
{
    if (position <= min_)
        position_ = position;
    else
        for (int shown = position_; shown < position;)
            if (position_.compare_exchange_weak(shown, position))
                break;
    ScheduleUpdate();
}

void TStatusProgressBar::ScheduleUpdate()
{
    // One update waits at a time; it shows the latest values.
    if (updatePending_.exchange(true))
        return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            updatePending_ = false;
            setRange(min_, max_);
            setValue(position_);
        },
        Qt::QueuedConnection);
}

} // namespace varnolux
