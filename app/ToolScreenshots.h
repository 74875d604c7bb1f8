#pragma once

#include <string>

namespace varnolux {

class TProgramWindows;

/// The tool windows that have pictures: "measure", "selection", "viewer", "region",
/// "template".
bool IsToolPicture(const std::string& tool);

/// Opens a tool window on the image the main window shows and uses it as a user
/// would, then writes a picture of it: the calibration with a measured line, the
/// colour selection with two outlines, a full-size viewer at 200 %, the analysis-area
/// editor with a circle and the borders (at size, WIDTHxHEIGHT or "min", when given),
/// the print template editor. The exit status: 0 when written, 1 when not (said on
/// standard error).
int PictureOfTool(TProgramWindows& windows, const std::string& tool, const std::string& output,
                  const std::string& size = {});

} // namespace varnolux
