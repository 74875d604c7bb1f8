#pragma once

#include "base/Paths.h"

#include <string>
#include <string_view>

namespace varnolux {

/// The two values the DICOM import takes from dcmdump's text.
struct TDicomDumpValues {
    /// Samples per pixel, (0028,0002); 0 when missing or not a number.
    int SamplesPerPixel = 0;
    /// Number of frames, (0028,0008), written as "[12]"; 1 when missing.
    int Frames = 1;
};

/// Reads the values from a dcmdump text: the 8 characters after tag, space, value
/// representation and space, trimmed. Only top-level elements count: items of
/// sequences (icon images and the like) are indented and carry the same tags.
/// When a tag occurs more than once, the last occurrence wins.
TDicomDumpValues ReadDicomDumpValues(std::string_view dump);

/// True when the name ends in ".dcm" or ".dc3", in any letter case.
bool IsDicomFileName(const std::string& fileName);

/// The DCMTK tool of that name: in the program folder if it is there, else the first
/// in an absolute folder of PATH; empty when there is none.
std::string FindDicomTool(const std::string& name,
                          const std::string& programFolder = ProgramFolder());

/// The message for a tool that is nowhere to be found.
std::string MissingDicomToolText(const std::string& name);

/// folder + the DICOM file's name + n + extension for the first n = 1, 2, … whose
/// file does not exist; created empty so that no one else takes it.
std::string MakeDicomTempFileName(const std::string& folder, const std::string& dicomFileName,
                                  const std::string& extension);

} // namespace varnolux
