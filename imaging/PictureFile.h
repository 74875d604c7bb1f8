#pragma once

#include "imaging/TBitmap24.h"

#include <string>

namespace varnolux {

/// The picture files the image library reads itself, told by the extension: BMP and
/// JPEG (.jpg, .jpeg). Every other format goes through the image file reader.
enum class TPictureFileType { None, Bmp, Jpeg };
TPictureFileType PictureFileType(const std::string& fileName);

/// Reads a BMP or JPEG file, as its extension says. Throws TImageFileError when it
/// cannot be read or is of another type.
TBitmap24 ReadPictureFile(const std::string& fileName);

} // namespace varnolux
