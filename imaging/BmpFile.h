#pragma once

#include "imaging/TBitmap24.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace varnolux {

/// Reads a BMP file (uncompressed 1, 4, 8, 16, 24 or 32 bits per pixel, bottom-up or
/// top-down). Throws TImageFileError when the file cannot be read.
TBitmap24 ReadBmpFile(const std::string& fileName);

/// Reads a BMP file as ReadBmpFile does, but in bands of at most bandHeight rows, so
/// that no bitmap of the whole image is needed: first size(width, height), then
/// band(top, rows) for every band, in the order the file stores them, rows being a
/// bitmap of the image's width whose row i is the image's row top + i.
void ReadBmpFileBands(const std::string& fileName, int bandHeight,
                      const std::function<void(int width, int height)>& size,
                      const std::function<void(int top, const TBitmap24& rows)>& band);

/// Writes a 24-bit BMP file. Throws TImageFileError when it cannot be written
/// completely; no partial file is left behind.
void WriteBmpFile(const TBitmap24& bitmap, const std::string& fileName);

/// The same for rows kept elsewhere: row(y) gives the width · 3 bytes (blue, green,
/// red) of the image's row y, 0 the top row; the rows are asked for bottom to top.
void WriteBmpFile(int width, int height, const std::function<const std::uint8_t*(int y)>& row,
                  const std::string& fileName);

/// The file with its info header cut to the plain 40 bytes — the colour masks kept
/// after it for BI_BITFIELDS, the palette and the pixels unchanged — for a BMP file
/// whose info header is 108 or 124 bytes (as ImageMagick and GIMP write them, and as
/// FreeImage refuses them); nothing for every other file, and for one whose header and
/// offsets do not fit together (a decoder judges it as it is).
std::optional<std::vector<std::uint8_t>>
WithPlainBmpInfoHeader(std::span<const std::uint8_t> bytes);

} // namespace varnolux
