#pragma once

#include <vector>

#include <QWidget>

namespace varnolux {

/// Records a program-wide window; call it once per window, in creation order.
void RegisterProgramWindow(QWidget& window);

/// The registered windows that still exist, in the order they were registered.
std::vector<QWidget*> ProgramWindows();

} // namespace varnolux
