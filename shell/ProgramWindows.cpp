#include "shell/ProgramWindows.h"

#include <algorithm>

#include <QApplication>
#include <QVariant>

namespace varnolux {

namespace {

constexpr const char* CreationIndexProperty = "varnoluxCreationIndex";

int CreationIndex(const QWidget& window)
{
    return window.property(CreationIndexProperty).toInt();
}

} // namespace

void RegisterProgramWindow(QWidget& window)
{
    static int registered = 0;
    window.setProperty(CreationIndexProperty, ++registered);
}

std::vector<QWidget*> ProgramWindows()
{
    std::vector<QWidget*> windows;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->property(CreationIndexProperty).isValid())
            windows.push_back(widget);
    std::ranges::sort(windows, {}, [](const QWidget* window) { return CreationIndex(*window); });
    return windows;
}

} // namespace varnolux
