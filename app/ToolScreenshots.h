#pragma once

#include <string>

namespace varnolux {

class TProgramWindows;

/// The tool windows that have pictures: "measure", "selection", "viewer", "template".
bool IsToolPicture(const std::string& tool);

/// Opens a tool window on the image the main window shows and uses it as a user
/// would, then writes a picture of it: the calibration with a measured line, the
/// colour selection with two outlines, a full-size viewer at 200 %, the print template
/// editor. The exit status:
/// 0 when written, 1 when not (said on standard error).
int PictureOfTool(TProgramWindows& windows, const std::string& tool, const std::string& output);

} // namespace varnolux
