#pragma once

#include "imaging/TBitmap24.h"

#include <string>

namespace varnolux {

/// Reads a BMP file (uncompressed 1, 4, 8, 16, 24 or 32 bits per pixel, bottom-up or
/// top-down). Throws TImageFileError when the file cannot be read.
TBitmap24 ReadBmpFile(const std::string& fileName);

/// Writes a 24-bit BMP file. Throws TImageFileError when it cannot be written
/// completely; no partial file is left behind.
void WriteBmpFile(const TBitmap24& bitmap, const std::string& fileName);

} // namespace varnolux
