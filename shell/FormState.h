#pragma once

#include <string>

class QObject;
class QWidget;

namespace varnolux {

// The state of a window's controls and its placement, written to a settings file in
// the window's section. A component's "Tag" property (0 when unset) limits what it
// writes. The file is created when it does not exist; nothing reads it back.

/// The component states, then the placement. An empty file name means the program's
/// settings file, a name without a folder the program's folder. True when both parts
/// were written.
bool SaveFormState(const QWidget& window, const std::string& fileName);

/// Every named component of the window, in ownership order. False when the file
/// cannot be created or written.
bool SaveComponentStates(const QWidget& window, const std::string& fileName);

/// The keys of one component; false when a write fails.
bool SaveComponentState(const QWidget& window, const QObject& component,
                        const std::string& fileName, int tag);

/// The window's top, left, height and width.
bool SaveFormPlacement(const QWidget& window, const std::string& fileName);

} // namespace varnolux
