#pragma once

#include <optional>
#include <string>

#include <QCursor>

namespace varnolux {

/// The measuring cross-hair with an open centre (hot spot 15, 16).
inline constexpr const char* MeasureCursorName = "CRMEASURE";
/// The four-way arrow shown while a picture is dragged (hot spot 0, 0).
inline constexpr const char* MoveCursorName = "CRMOVE";

/// A cursor of the program's resources by name; nothing when it is not there.
std::optional<QCursor> LoadCursorResource(const std::string& name);

/// The message when a cursor resource is missing from the build.
std::string MissingCursorMessage(const std::string& name);

} // namespace varnolux
