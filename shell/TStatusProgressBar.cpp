#include "shell/TStatusProgressBar.h"

namespace varnolux {

TStatusProgressBar::TStatusProgressBar(QWidget* parent, const char* name)
    : QProgressBar(parent)
{
    setObjectName(name);
    setRange(0, 100);
    setValue(0);
    setTextVisible(false);
}

} // namespace varnolux
