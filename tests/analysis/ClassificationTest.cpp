#include "analysis/AnalysisSteps.h"
#include "imaging/TQROIRGB.h"

#include <gtest/gtest.h>
#include <random>

namespace varnolux {
namespace {

/// The classification by its definition, pixel by pixel.
void ReferenceClassify(TQROIRGB& hsv, const TColourRange& limits)
{
    for (int y = 0; y < hsv.Height(); ++y)
        for (int x = 0; x < hsv.Width(); ++x)
            if (hsv.Mask()[x][y] &&
                !(InChannelRange(hsv.Red()[x][y], limits[HMin], limits[HMax]) &&
                  InChannelRange(hsv.Green()[x][y], limits[SMin], limits[SMax]) &&
                  InChannelRange(hsv.Blue()[x][y], limits[VMin], limits[VMax])))
                hsv.Mask()[x][y] = 0;
}

TEST(ClassifyPixels, EveryValueAgainstEveryPairOfLimits)
{
    // Column 0 holds every hue once; the other channels pass everything.
    TQROIRGB hsv(1, 256);
    for (int y = 0; y < 256; ++y) {
        hsv.Red()[0][y] = std::uint8_t(y);
        hsv.Green()[0][y] = hsv.Blue()[0][y] = 0;
    }
    for (int lo = 0; lo < 256; ++lo)
        for (int hi = 0; hi < 256; ++hi) {
            hsv.SetMask(1);
            ClassifyPixels(hsv, {lo, hi, 0, 255, 0, 255});
            for (int value = 0; value < 256; ++value)
                ASSERT_EQ(hsv.Mask()[0][value], InChannelRange(value, lo, hi) ? 1 : 0)
                    << "value " << value << " limits " << lo << ".." << hi;
        }
}

TEST(ClassifyPixels, EqualsTheReferenceOnRandomPlanes)
{
    std::mt19937 random(17);
    const TColourRange limitSets[] = {
        {230, 20, 60, 255, 60, 255},                           // hue wrapping through red
        {10, 11, 0, 255, 0, 255},    {17, 17, 17, 17, 17, 17}, // equal limits switch off
        {21, 20, 255, 0, 5, 4},      {0, 255, 100, 200, 0, 0},
    };
    for (const int width : {1, 3, 17})
        for (const int height : {1, 15, 16, 33, 100})
            for (const auto& limits : limitSets) {
                TQROIRGB hsv(width, height);
                for (auto* plane : {&hsv.Mask(), &hsv.Red(), &hsv.Green(), &hsv.Blue()})
                    for (auto& byte : plane->Elements())
                        byte = std::uint8_t(random());
                for (auto& m : hsv.Mask().Elements())
                    m = m % 3; // outside, inside, and a byte of 2
                TQROIRGB expected(hsv);
                ReferenceClassify(expected, limits);
                ClassifyPixels(hsv, limits);
                ASSERT_TRUE(std::ranges::equal(hsv.Mask().Elements(), expected.Mask().Elements()))
                    << width << "x" << height;
            }
    TQROIRGB empty;
    ClassifyPixels(empty, {230, 20, 0, 255, 0, 255});
    EXPECT_EQ(empty.Width(), 0);
}

} // namespace
} // namespace varnolux
