#pragma once

#include "imaging/TBitmap24.h"

#include <string>

namespace varnolux {

/// Decodes a JPEG file with libjpeg. Throws TImageFileError when it cannot be read
/// or is damaged.
TBitmap24 ReadJpegFile(const std::string& fileName);

/// Encodes a JPEG file. Throws TImageFileError when it cannot be written completely;
/// no partial file is left behind.
void WriteJpegFile(const TBitmap24& bitmap, const std::string& fileName, int quality = 90);

} // namespace varnolux
