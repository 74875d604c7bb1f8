#include "analysis/ColourRangeFromMask.h"

#include "imaging/TBitmap24.h"
#include "imaging/TQROIRGB.h"

#include <gtest/gtest.h>
#include <vector>

namespace varnolux {
namespace {

using TFailure = TMaskRange::TFailure;

/// One row of pixels given as hue, saturation and brightness, and a selection of the
/// same size (all selected unless given).
struct THsvRow {
    TQROIRGB hsv;
    TPlane<std::uint8_t> selection;

    THsvRow(const std::vector<std::array<int, 3>>& pixels, std::vector<int> selected = {})
        : hsv(int(pixels.size()), 1)
        , selection(int(pixels.size()), 1)
    {
        for (int x = 0; x < hsv.Width(); ++x) {
            hsv.Red()[x][0] = std::uint8_t(pixels[std::size_t(x)][0]);
            hsv.Green()[x][0] = std::uint8_t(pixels[std::size_t(x)][1]);
            hsv.Blue()[x][0] = std::uint8_t(pixels[std::size_t(x)][2]);
            selection[x][0] = selected.empty() ? 1 : std::uint8_t(selected[std::size_t(x)]);
        }
    }

    TMaskRange Range(double k = ColourRangeSpread) const
    {
        return ColourRangeFromMask(hsv, selection, k);
    }
};

TEST(ColourRangeFromMask, AGreySelectionGivesTheHuesZeroAndOne)
{
    const TMaskRange range = THsvRow({{0, 0, 40}, {0, 0, 40}, {0, 0, 40}}).Range();
    ASSERT_TRUE(range) << range.FailureText();
    EXPECT_EQ(range.Range, (TColourRange{0, 1, 0, 1, 40, 41}));
}

TEST(ColourRangeFromMask, EqualChannelValuesGiveARangeOneWide)
{
    struct {
        int value;
        int low;
        int high;
    } const cases[] = {
        {255, 254, 255}, // 256.0001 is capped at 255, then the lower limit moves down
        {100, 100, 101},
        {0, 0, 1},
    };
    for (const auto& c : cases) {
        const TMaskRange range = THsvRow({{0, c.value, c.value}, {0, c.value, c.value}}).Range();
        ASSERT_TRUE(range) << c.value;
        EXPECT_EQ(range.Range[SMin], c.low) << c.value;
        EXPECT_EQ(range.Range[SMax], c.high) << c.value;
        EXPECT_EQ(range.Range[VMin], c.low) << c.value;
        EXPECT_EQ(range.Range[VMax], c.high) << c.value;
    }
}

TEST(ColourRangeFromMask, ReachesKSampleDeviationsAroundTheMean)
{
    // Mean 105, sample deviation √50: 105 − 2·7.07 = 90.86, 105 + 2·7.07 + 1.0001 = 120.14.
    const THsvRow row({{0, 100, 10}, {0, 110, 30}});
    EXPECT_EQ(row.Range().Range[SMin], 90);
    EXPECT_EQ(row.Range().Range[SMax], 120);
    EXPECT_EQ(row.Range().Range[VMin], 0); // 20 − 2·14.14 is below 0
    EXPECT_EQ(row.Range().Range[VMax], 49);
    EXPECT_EQ(row.Range(0.0).Range[SMin], 105);
    EXPECT_EQ(row.Range(0.0).Range[SMax], 106);
}

TEST(ColourRangeFromMask, HuesAroundRedWrapThroughZero)
{
    std::vector<std::array<int, 3>> pixels;
    for (int hue : {250, 251, 252, 253, 254, 255, 0, 1, 2, 3, 4, 5})
        pixels.push_back({hue, 200, 200});
    const TMaskRange range = THsvRow(pixels).Range();
    ASSERT_TRUE(range);
    const int hMin = range.Range[HMin];
    const int hMax = range.Range[HMax];
    EXPECT_GT(hMin, hMax);
    EXPECT_GE(hMin, 235);
    EXPECT_LE(hMax, 20);
    for (const auto& pixel : pixels)
        EXPECT_TRUE(InChannelRange(pixel[0], hMin, hMax)) << pixel[0];
}

TEST(ColourRangeFromMask, HuesAwayFromRedGiveAnOrdinaryRange)
{
    const TMaskRange range = THsvRow({{80, 200, 200}, {85, 200, 200}, {90, 200, 200}}).Range();
    ASSERT_TRUE(range);
    EXPECT_LT(range.Range[HMin], 80);
    EXPECT_GT(range.Range[HMax], 90);
    EXPECT_GT(range.Range[HMin], 60);
    EXPECT_LT(range.Range[HMax], 110);
}

TEST(ColourRangeFromMask, OnlySelectedPixelsCount)
{
    // Blue pixels outside the selection would widen the hue range to half the circle.
    const THsvRow row({{0, 100, 50}, {170, 10, 250}, {0, 100, 50}, {170, 10, 250}}, {1, 0, 1, 0});
    EXPECT_EQ(row.Range().Range, (TColourRange{0, 1, 100, 101, 50, 51}));
}

TEST(ColourRangeFromMask, FailsWithoutTwoSelectedPixels)
{
    EXPECT_EQ(THsvRow({{0, 1, 1}, {0, 1, 1}}, {0, 0}).Range().Failure,
              TFailure::FewerThanTwoPixels);
    EXPECT_EQ(THsvRow({{0, 1, 1}, {0, 1, 1}}, {0, 1}).Range().Failure,
              TFailure::FewerThanTwoPixels);
    EXPECT_EQ(THsvRow({{0, 1, 1}}).Range().Failure, TFailure::FewerThanTwoPixels);
    // No image and no mask.
    EXPECT_EQ(ColourRangeFromMask(TQROIRGB(), TPlane<std::uint8_t>(), 2.0).Failure,
              TFailure::FewerThanTwoPixels);
}

TEST(ColourRangeFromMask, AMaskOfAnotherSizeSelectsNothing)
{
    const THsvRow row({{0, 1, 1}, {0, 1, 1}, {0, 1, 1}});
    TPlane<std::uint8_t> wider(4, 1);
    std::ranges::fill(wider.Elements(), std::uint8_t(1));
    EXPECT_EQ(ColourRangeFromMask(row.hsv, wider, 2.0).Failure, TFailure::OtherSize);
    EXPECT_EQ(ColourRangeFromMask(row.hsv, TPlane<std::uint8_t>(), 2.0).Failure,
              TFailure::OtherSize);
    EXPECT_STRNE(TMaskRange{.Failure = TFailure::OtherSize}.FailureText(), "");
}

TEST(ColourRangeFromMask, APictureIsSelectedWhereItsMaskIsNotBlack)
{
    TBitmap24 picture(3, 2);
    picture.Fill(TColour(0x0000FF)); // red
    picture.SetPixel(2, 1, TColour(0xFF0000));
    TBitmap24 mask(3, 2);
    mask.Fill(TColour(0));
    mask.SetPixel(0, 0, TColour(0x000001));
    mask.SetPixel(1, 1, TColour(0x010000));
    const TMaskRange range = ColourRangeFromMask(picture, mask, 2.0);
    ASSERT_TRUE(range) << range.FailureText();
    EXPECT_EQ(range.Range, (TColourRange{0, 1, 254, 255, 254, 255}));
    EXPECT_EQ(ColourRangeFromMask(picture, TBitmap24(2, 3), 2.0).Failure, TFailure::OtherSize);
}

} // namespace
} // namespace varnolux
