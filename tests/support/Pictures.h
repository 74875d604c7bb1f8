#pragma once

#include "imaging/TBitmap24.h"

#include <map>
#include <string>
#include <vector>

namespace varnolux::test {

/// A picture from rows of characters: '.' grey, 'r' red, 'g' green, 'b' blue, 'w' white.
inline TBitmap24 Picture(const std::vector<std::string>& rows)
{
    static const std::map<char, TColour> colours = {{'.', MakeColour(128, 128, 128)},
                                                    {'r', MakeColour(255, 0, 0)},
                                                    {'g', MakeColour(0, 255, 0)},
                                                    {'b', MakeColour(0, 0, 255)},
                                                    {'w', MakeColour(255, 255, 255)}};
    TBitmap24 bitmap(int(rows.at(0).size()), int(rows.size()));
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x)
            bitmap.SetPixel(x, y, colours.at(rows[size_t(y)][size_t(x)]));
    return bitmap;
}

/// A 3 × 3 red block (bit-quad area 9), a single red pixel (1), a diagonal red pair
/// (2.25) and a green 2 × 2 block (4) on grey: 20 × 8 pixels.
inline const std::vector<std::string> ObjectRows = {
    "....................", //
    "..............r.....", //
    "..rrr..........r....", //
    "..rrr...............", //
    "..rrr.....r.........", //
    "................gg..", //
    "................gg..", //
    "....................", //
};

} // namespace varnolux::test
