#include "ImagingTestSupport.h"
#include "imaging/TQROIRGB.h"

#include <gtest/gtest.h>

namespace varnolux {
namespace {

using test::Columns;
using test::MaskRows;

constexpr int Bilinear = 0;
constexpr int Nearest = 1;

/// A grey ROI whose value at (x, y) is 10 · x + y, its mask all 1.
TQROIU Numbered(int width, int height)
{
    TQROIU roi(width, height);
    roi.SetMask(1);
    for (int x = 0; x < width; ++x)
        for (int y = 0; y < height; ++y)
            roi.Values()[x][y] = std::uint8_t(10 * x + y);
    return roi;
}

TEST(Resize, NearestReadsTheRoundedSourcePixel)
{
    TQROIU roi = Numbered(3, 3);
    roi.resize(5, 5, Nearest);
    ASSERT_EQ(roi.Width(), 5);
    ASSERT_EQ(roi.Height(), 5);
    // Source columns 0, 1 (from 0.5), 1, 2 (from 1.5), 2; rows alike.
    const int source[] = {0, 1, 1, 2, 2};
    for (int i = 0; i < 5; ++i)
        for (int j = 0; j < 5; ++j)
            EXPECT_EQ(roi.Values()[i][j], 10 * source[i] + source[j]) << i << "," << j;
    EXPECT_EQ(MaskRows(roi), std::vector<std::string>(5, "#####"));
}

TEST(Resize, BilinearMapsCornersToCornersAndInterpolatesBetween)
{
    TQROIU roi(2, 2);
    roi.SetMask(1);
    roi.Values()[0][0] = 0;
    roi.Values()[1][0] = 100;
    roi.Values()[0][1] = 200;
    roi.Values()[1][1] = 50;
    roi.resize(3, 3, Bilinear);
    EXPECT_EQ(Columns(roi.Values()),
              (std::vector<std::vector<int>>{{0, 100, 200}, {50, 87, 125}, {100, 75, 50}}));
}

TEST(Resize, TheMaskIsResampledAndTestedForNonZero)
{
    TQROIU roi = Numbered(3, 1);
    roi.Mask()[0][0] = 0;
    roi.Mask()[2][0] = 0;
    TQROIU nearest(roi);
    roi.resize(5, 1, Bilinear);
    EXPECT_EQ(MaskRows(roi), (std::vector<std::string>{".###."}));
    nearest.resize(5, 1, Nearest);
    EXPECT_EQ(MaskRows(nearest), (std::vector<std::string>{".##.."}));
}

TEST(Resize, AnOutputOnePixelWideReadsTheFirstColumn)
{
    TQROIU roi = Numbered(4, 3);
    roi.resize(1, 3, Bilinear);
    EXPECT_EQ(Columns(roi.Values()), (std::vector<std::vector<int>>{{0, 1, 2}}));

    TQROIU single = Numbered(4, 3);
    single.resize(1, 1, Nearest);
    EXPECT_EQ(Columns(single.Values()), (std::vector<std::vector<int>>{{0}}));
}

TEST(Resize, ASourceOnePixelWideIsReadAlongItsColumn)
{
    TQROIU roi = Numbered(1, 3);
    roi.resize(2, 5, Bilinear);
    EXPECT_EQ(Columns(roi.Values()),
              (std::vector<std::vector<int>>{{0, 0, 1, 1, 2}, {0, 0, 1, 1, 2}}));

    TQROIU pixel = Numbered(1, 1);
    pixel.Values()[0][0] = 77;
    pixel.resize(3, 2, Bilinear);
    EXPECT_EQ(Columns(pixel.Values()), (std::vector<std::vector<int>>(3, {77, 77})));
}

TEST(Resize, ToNothingGivesAnEmptyRoi)
{
    TQROIRGB roi(3, 3);
    roi.resize(0, 4, Nearest);
    EXPECT_EQ(roi.Width(), 0);
    EXPECT_EQ(roi.Height(), 0);
    EXPECT_FALSE(roi.Red().IsAllocated());
}

TEST(Resize, AnUnknownInterpolationShowsOneMessageAndChangesNothing)
{
    const test::TRecordingReporter reporter;
    TQROIRGB roi(3, 2);
    roi.SetMask(1);
    roi.resize(6, 4, 2);
    roi.Rotate(30, 7);
    EXPECT_EQ(reporter.Messages,
              (std::vector<std::string>(
                  2, "Internal error: Undefinded interpolation function in method resize.")));
    EXPECT_EQ(roi.Width(), 3);
    EXPECT_EQ(roi.Height(), 2);
    EXPECT_EQ(roi.Red().Width(), 3);
}

TEST(Resize, ReportsEveryTwentiethColumnToSlotTwo)
{
    const test::TProgressRecorder progress({2});
    TQROIU roi = Numbered(2, 2);
    roi.resize(25, 3, Nearest);
    EXPECT_EQ(progress.Calls.front(), (test::TProgressCall{2, "range", 0, 24}));
    EXPECT_EQ(progress.Positions(2), (std::vector<int>{0, 0, 20}));
}

TEST(Scale, RoundsTheNewSize)
{
    TQROIU roi = Numbered(7, 5);
    roi.Scale(0.5, Nearest);
    EXPECT_EQ(roi.Width(), 4);
    EXPECT_EQ(roi.Height(), 3);

    TQROIRGB colour(7, 5);
    colour.Scale(2.0, 0.3, Bilinear);
    EXPECT_EQ(colour.Width(), 14);
    EXPECT_EQ(colour.Height(), 2);
    EXPECT_EQ(colour.Grey().Height(), 2);
}

TEST(ColourResize, ResamplesEveryColourPlaneLikeTheValues)
{
    TQROIRGB roi(3, 3);
    roi.SetMask(1);
    for (int x = 0; x < 3; ++x)
        for (int y = 0; y < 3; ++y) {
            roi.Values()[x][y] = std::uint8_t(10 * x + y);
            roi.Red()[x][y] = std::uint8_t(10 * x);
            roi.Green()[x][y] = std::uint8_t(y);
            roi.Blue()[x][y] = 7;
            roi.Grey()[x][y] = std::uint8_t(x + y);
        }
    roi.Mask()[2][2] = 0;
    roi.resize(5, 5, Nearest);
    const int source[] = {0, 1, 1, 2, 2};
    for (int i = 0; i < 5; ++i)
        for (int j = 0; j < 5; ++j) {
            EXPECT_EQ(roi.Values()[i][j], 10 * source[i] + source[j]);
            EXPECT_EQ(roi.Red()[i][j], 10 * source[i]);
            EXPECT_EQ(roi.Green()[i][j], source[j]);
            EXPECT_EQ(roi.Blue()[i][j], 7);
            EXPECT_EQ(roi.Grey()[i][j], source[i] + source[j]);
        }
    EXPECT_EQ(MaskRows(roi),
              (std::vector<std::string>{"#####", "#####", "#####", "###..", "###.."}));
}

TEST(Rotate, NinetyDegreesPutsTheTopRightPixelTopLeft)
{
    TQROIU roi = Numbered(4, 2);
    roi.Mask()[3][1] = 0;
    roi.Rotate(90, Nearest);
    ASSERT_EQ(roi.Width(), 2);
    ASSERT_EQ(roi.Height(), 4);
    // Old (x, y) moves to (y, W − 1 − x).
    EXPECT_EQ(Columns(roi.Values()),
              (std::vector<std::vector<int>>{{30, 20, 10, 0}, {31, 21, 11, 1}}));
    EXPECT_EQ(MaskRows(roi), (std::vector<std::string>{"#.", "##", "##", "##"}));
}

TEST(Rotate, OneEightyAndTwoSeventyMoveAsSpecified)
{
    TQROIU half = Numbered(3, 2);
    half.Rotate(180, Bilinear);
    EXPECT_EQ(Columns(half.Values()), (std::vector<std::vector<int>>{{21, 20}, {11, 10}, {1, 0}}));

    TQROIU threeQuarters = Numbered(3, 2);
    threeQuarters.Rotate(270, Bilinear); // old (x, y) moves to (H − 1 − y, x)
    EXPECT_EQ(Columns(threeQuarters.Values()),
              (std::vector<std::vector<int>>{{1, 11, 21}, {0, 10, 20}}));
}

TEST(Rotate, AnglesAreTakenModuloAFullTurn)
{
    const auto rotated = [](double degrees) {
        TQROIRGB roi(4, 3);
        roi.SetMask(1);
        for (int x = 0; x < 4; ++x)
            for (int y = 0; y < 3; ++y) {
                roi.Values()[x][y] = std::uint8_t(10 * x + y);
                roi.Red()[x][y] = std::uint8_t(100 + 10 * x + y);
            }
        roi.Rotate(degrees, Nearest);
        return std::make_pair(Columns(roi.Values()), Columns(roi.Red()));
    };
    EXPECT_EQ(rotated(450), rotated(90));
    EXPECT_EQ(rotated(-90), rotated(270));
    EXPECT_EQ(rotated(-270), rotated(90));
    EXPECT_EQ(rotated(360), rotated(0));
    EXPECT_EQ(rotated(0).first, Columns(Numbered(4, 3).Values()));
    EXPECT_NE(rotated(90), rotated(270));
}

TEST(Rotate, AnyOtherAngleGrowsThePlaneAndMasksWhatLiesOutside)
{
    TQROIU roi(4, 4);
    roi.SetMask(1);
    roi.FillValue(200, true);
    roi.Rotate(45, Nearest);
    // 2 · max(⌈|cos · 2 + sin · 2|⌉, ⌈|−cos · 2 + sin · 2|⌉) = 2 · 3.
    ASSERT_EQ(roi.Width(), 6);
    ASSERT_EQ(roi.Height(), 6);
    EXPECT_EQ(roi.Mask()[0][0], 0);
    EXPECT_EQ(roi.Mask()[5][5], 0);
    EXPECT_EQ(roi.Mask()[3][3], 1);
    EXPECT_EQ(roi.Values()[3][3], 200);
    for (int x = 0; x < 6; ++x)
        for (int y = 0; y < 6; ++y)
            if (roi.Mask()[x][y]) {
                EXPECT_EQ(roi.Values()[x][y], 200) << x << "," << y;
            }
}

TEST(Rotate, ColourPlanesTurnWithTheMask)
{
    TQROIRGB roi(2, 1);
    roi.SetMask(1);
    roi.Mask()[1][0] = 0;
    roi.Red()[0][0] = 5;
    roi.Red()[1][0] = 6;
    roi.Rotate(90, Nearest);
    ASSERT_EQ(roi.Red().Width(), 1);
    ASSERT_EQ(roi.Red().Height(), 2);
    EXPECT_EQ(roi.Red()[0][0], 6);
    EXPECT_EQ(roi.Red()[0][1], 5);
    EXPECT_EQ(MaskRows(roi), (std::vector<std::string>{".", "#"}));
}

} // namespace
} // namespace varnolux
