#pragma once

#include "imaging/TQStatus.h"

#include <atomic>

#include <QProgressBar>

namespace varnolux {

/// The status bar's progress bar, as the image library reports progress to it: from
/// whichever thread works, the bar showing the values on its own thread.
class TStatusProgressBar : public QProgressBar, public TQProgressBar {
    Q_OBJECT

public:
    TStatusProgressBar(QWidget* parent, const char* name);

    void SetRange(int min, int max) override;
    /// Within a range the position only grows, as the blocks of one operation report
    /// out of order on several threads; the start of the range resets it.
    void SetPosition(int position) override;

private:
    void ScheduleUpdate();

    std::atomic<int> min_{0};
    std::atomic<int> max_{100};
    std::atomic<int> position_{0};
    std::atomic<bool> updatePending_{false};
};

} // namespace varnolux
