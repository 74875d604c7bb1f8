#include "imaging/TBitmap24.h"
#include "shell/TColourCircle.h"

#include <cmath>
#include <gtest/gtest.h>

namespace varnolux {
namespace {

TColour ColourAt(const TQROIRGB& image, int x, int y)
{
    return MakeColour(image.Red()[x][y], image.Green()[x][y], image.Blue()[x][y]);
}

TEST(TColourCircle, ShowsTheSectorBetweenTheHandlesBright)
{
    TColourCircle circle;
    TBitmap24 picture;
    circle.Draw(picture, 166, 166);
    ASSERT_EQ(circle.Image()->Width(), 166);
    ASSERT_EQ(picture.Width(), 166);
    // Radius 58: a pixel 60 to the right of the centre is grey.
    EXPECT_EQ(picture.Pixel(83 + 60, 83), MakeColour(225, 225, 225));

    // Angle 1.5 rad lies between 1 and 2: bright with a = 1, b = 2, dim with a = 2, b = 1.
    const int x = 83 + int(40 * std::cos(1.5));
    const int y = 83 + int(40 * std::sin(1.5));
    circle.HueMarkA = -1.0;
    circle.HueMarkB = -2.0;
    circle.Draw(picture, 166, 166);
    const TColour inside = picture.Pixel(x, y);
    circle.HueMarkA = -2.0;
    circle.HueMarkB = -1.0;
    circle.Draw(picture, 166, 166);
    const TColour outside = picture.Pixel(x, y);
    EXPECT_NE(inside, outside);
    EXPECT_EQ(inside, ColourAt(*circle.Bright(), x, y));
    EXPECT_EQ(outside, ColourAt(*circle.Dim(), x, y));
    // With equal angles nothing is bright.
    circle.HueMarkA = circle.HueMarkB = -1.5;
    circle.Draw(picture, 166, 166);
    EXPECT_EQ(picture.Pixel(x, y), outside);
}

} // namespace
} // namespace varnolux
