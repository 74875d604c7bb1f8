#pragma once

#include "imaging/TQStatus.h"

#include <QProgressBar>

namespace varnolux {

/// The status bar's progress bar, as the image library reports progress to it.
class TStatusProgressBar : public QProgressBar, public TQProgressBar {
    Q_OBJECT

public:
    TStatusProgressBar(QWidget* parent, const char* name);

    void SetRange(int min, int max) override { setRange(min, max); }
    void SetPosition(int position) override { setValue(position); }
};

} // namespace varnolux
