#include "imaging/GreyDrawing.h"

#include "imaging/TGreyBitmap.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>

namespace varnolux {
namespace {

TEST(DrawMaskedGrey, PaintsExactlyTheRectangle)
{
    std::mt19937 random(23);
    for (int round = 0; round < 300; ++round) {
        // Rectangles narrower and wider than the 16-pixel blocks, up to a tile.
        const int width = 1 + int(random() % 90);
        const int height = 1 + int(random() % 80);
        TPlane<std::uint8_t> mask(width, height), values(width, height);
        for (auto& byte : mask.Elements())
            byte = std::uint8_t(random() % 3); // outside, inside, and a byte of 2
        for (auto& byte : values.Elements())
            byte = std::uint8_t(random());
        const int xBegin = int(random() % unsigned(width));
        const int xEnd = std::min(width, xBegin + 1 + int(random() % 64));
        const int yBegin = int(random() % unsigned(height));
        const int yEnd = yBegin + 1 + int(random() % unsigned(height - yBegin));

        TGreyBitmap picture(width, height);
        for (int y = 0; y < height; ++y)
            std::fill_n(picture.Row(y).begin(), width, std::uint8_t(7));
        TGreyBitmap expected = picture;
        for (int y = yBegin; y < yEnd; ++y)
            for (int x = xBegin; x < xEnd; ++x)
                expected.Row(y)[std::size_t(x)] = mask[x][y] ? values[x][y] : 0;
        DrawMaskedGrey(mask, values, picture, xBegin, xEnd, yBegin, yEnd);
        ASSERT_TRUE(picture == expected) << width << "x" << height << " [" << xBegin << ", " << xEnd
                                         << ") x [" << yBegin << ", " << yEnd << ")";
    }
}

TEST(DrawMaskedGrey, AnEmptyRectangleWritesNothing)
{
    TPlane<std::uint8_t> mask(1, 1), values(1, 1);
    mask[0][0] = 1;
    values[0][0] = 200;
    TGreyBitmap picture(1, 1);
    picture.Row(0)[0] = 7;
    DrawMaskedGrey(mask, values, picture, 0, 0, 0, 1);
    DrawMaskedGrey(mask, values, picture, 0, 1, 0, 0);
    EXPECT_EQ(picture.Pixel(0, 0), 7);
    DrawMaskedGrey(mask, values, picture, 0, 1, 0, 1);
    EXPECT_EQ(picture.Pixel(0, 0), 200);
}

} // namespace
} // namespace varnolux
