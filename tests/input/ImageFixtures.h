#pragma once

#include "imaging/TColour.h"

#include <FreeImage.h>
#include <memory>
#include <string>

namespace varnolux::test {

struct TFreeImageDeleter {
    void operator()(FIBITMAP* bitmap) const { FreeImage_Unload(bitmap); }
};
using TFreeImage = std::unique_ptr<FIBITMAP, TFreeImageDeleter>;

/// The colour of pixel (x, y), y = 0 the top row, of the test pattern: no two
/// pixels alike and no symmetry, so a flip or swap shows.
TColour PatternColour(int x, int y);

/// The pattern as a FreeImage bitmap of 24 bits (FreeImage keeps the bottom row first).
TFreeImage PatternImage(int width, int height);

/// An 8-bit palettised image: pixel (x, y) has palette index (x + 2y) % 4.
TFreeImage PalettisedImage(int width, int height);
TColour PaletteColour(int index);

/// A 1-bit image: pixel (x, y) is white where (x * y + x) % 3 == 0.
TFreeImage TwoToneImage(int width, int height);
bool TwoToneIsWhite(int x, int y);

/// A 16-bit greyscale image: sample 257 · (x + 16y) + x.
TFreeImage Grey16Image(int width, int height);
int Grey16Sample(int x, int y);

/// A 48-bit RGB image: red 256 · x + 17, green 256 · y + 200, blue 65535 − 300x.
TFreeImage Rgb16Image(int width, int height);

/// A floating-point image of the given kind with values between 0 and 1.
TFreeImage FloatImage(FREE_IMAGE_TYPE type, int width, int height);

/// Hand-made files in formats FreeImage reads but does not write, with the pattern.
std::string SunRasterFile(int width, int height);
std::string PcxFile(int width, int height);
/// A Commodore 64 Koala picture (320 × 200) of one background colour.
std::string KoalaFile();
/// An ASCII portable pixmap ("P3"), rows written from the top.
std::string AsciiPixmapFile(int width, int height);
/// An ASCII portable bitmap ("P1") of the two-tone pattern; 1 is black.
std::string AsciiBitmapFile(int width, int height);
/// A greyscale TIFF of 8 × 8 whose directory comes before its pixels.
std::string DirectoryFirstTiffFile();

} // namespace varnolux::test
