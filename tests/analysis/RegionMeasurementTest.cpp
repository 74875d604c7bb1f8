#include "analysis/AnalysisSteps.h"
#include "analysis/MeasureShape.h"
#include "imaging/TImageView.h"
#include "imaging/TQImage.h"
#include "imaging/TQListROIU.h"
#include "imaging/TQROIRGB.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <random>
#include <string>
#include <vector>

namespace varnolux {
namespace {

/// A selection from rows of characters ('#' set) whose hue, saturation and brightness
/// planes hold hue, 100 and 200 everywhere.
TQROIRGB Selection(const std::vector<std::string>& rows, std::uint8_t hue = 30)
{
    TQROIRGB image(int(rows.at(0).size()), int(rows.size()));
    for (int x = 0; x < image.Width(); ++x)
        for (int y = 0; y < image.Height(); ++y) {
            image.Mask()[x][y] = rows[std::size_t(y)][std::size_t(x)] == '#' ? 1 : 0;
            image.Red()[x][y] = hue;
            image.Green()[x][y] = 100;
            image.Blue()[x][y] = 200;
        }
    return image;
}

TRegionStatistics Measure(const TQROIRGB& image, double threshold = 0.0)
{
    TQImage unpainted;
    return MeasureRegions(image, threshold, unpainted, nullptr, &image);
}

TRegionMeasurement OnlyRegion(const std::vector<std::string>& rows)
{
    const TRegionStatistics statistics = Measure(Selection(rows));
    EXPECT_EQ(statistics.Regions.size(), 1u);
    return statistics.Regions.empty() ? TRegionMeasurement{} : statistics.Regions.front();
}

TEST(RegionMeasurement, HorizontalBar)
{
    const TRegionMeasurement bar = OnlyRegion({"....", ".###", "...."});
    EXPECT_EQ(bar.AreaPixel, 3.0);
    EXPECT_EQ(bar.Pixels, 3);
    EXPECT_EQ(bar.CentreX, 2.0);
    EXPECT_EQ(bar.CentreY, 1.0);
    EXPECT_EQ(bar.Left, 1);
    EXPECT_EQ(bar.Top, 1);
    EXPECT_EQ(bar.Right, 3);
    EXPECT_EQ(bar.Bottom, 1);
    EXPECT_DOUBLE_EQ(bar.MajorAxis, 4.0 * std::sqrt(2.0 / 3.0));
    EXPECT_EQ(bar.MinorAxis, 0.0);
    EXPECT_EQ(bar.Orientation, 0.0);
    EXPECT_FALSE(std::signbit(bar.Orientation)) << "no -0 in the table";
}

TEST(RegionMeasurement, OrientationIsCounterClockwiseAsSeenOnScreen)
{
    const struct {
        std::vector<std::string> rows;
        double orientation;
    } cases[] = {
        {{"#", "#", "#"}, 90.0},                  // vertical
        {{"#..", ".#.", "..#"}, -45.0},           // falling to the right on screen
        {{"..#", ".#.", "#.."}, 45.0},            // rising to the right on screen
        {{"##....", "..##..", "....##"}, -24.93}, // a shallow fall
        {{"#.", "#.", ".#", ".#"}, -67.5},        // a steep fall
    };
    for (const auto& c : cases) {
        const TRegionMeasurement region = OnlyRegion(c.rows);
        EXPECT_NEAR(region.Orientation, c.orientation, 0.01) << c.rows[0];
        EXPECT_GT(region.Orientation, -90.0);
        EXPECT_LE(region.Orientation, 90.0);
    }
    EXPECT_EQ(OnlyRegion({"#", "#", "#"}).Orientation, 90.0);
    EXPECT_DOUBLE_EQ(OnlyRegion({"#..", ".#.", "..#"}).Orientation, -45.0);
    EXPECT_DOUBLE_EQ(OnlyRegion({"..#", ".#.", "#.."}).Orientation, 45.0);
    const TRegionMeasurement diagonal = OnlyRegion({"#..", ".#.", "..#"});
    EXPECT_DOUBLE_EQ(diagonal.MajorAxis, 4.0 * std::sqrt(4.0 / 3.0));
    EXPECT_NEAR(diagonal.MinorAxis, 0.0, 1e-6);
}

TEST(RegionMeasurement, EqualEigenvaluesHaveOrientationZero)
{
    // The 21-pixel disc, a plus sign, a single pixel and a square.
    for (const std::vector<std::string>& rows :
         {std::vector<std::string>{".###.", "#####", "#####", "#####", ".###."},
          std::vector<std::string>{".#.", "###", ".#."}, std::vector<std::string>{"#"},
          std::vector<std::string>{"##", "##"}}) {
        const TRegionMeasurement region = OnlyRegion(rows);
        EXPECT_EQ(region.MajorAxis, region.MinorAxis) << rows[0];
        EXPECT_EQ(region.Orientation, 0.0) << rows[0];
    }
    const TRegionMeasurement disc = OnlyRegion({".###.", "#####", "#####", "#####", ".###."});
    EXPECT_EQ(disc.AreaPixel, 21.5);
    EXPECT_EQ(disc.CentreX, 2.0);
    EXPECT_EQ(disc.CentreY, 2.0);
    EXPECT_EQ(OnlyRegion({"#"}).MajorAxis, 0.0);
}

TEST(RegionMeasurement, MeansOfTheChannelsWithACircularHue)
{
    TQROIRGB image = Selection({"####"});
    // Hues on both sides of red: the mean lies at red, not at green-blue.
    const std::uint8_t hues[] = {250, 254, 1, 3};
    const std::uint8_t saturations[] = {10, 20, 30, 41};
    for (int x = 0; x < 4; ++x) {
        image.Red()[x][0] = hues[x];
        image.Green()[x][0] = saturations[x];
        image.Blue()[x][0] = std::uint8_t(x);
    }
    const TRegionMeasurement region = Measure(image).Regions.at(0);
    // The mean of -5, -1, 1 and 3 steps is -0.5, so nearly 254.5 on a circle.
    EXPECT_NEAR(region.HMean, 254.5, 0.01);
    EXPECT_EQ(region.SMean, 25.25);
    EXPECT_EQ(region.VMean, 1.5);
    EXPECT_NEAR(Measure(Selection({"##"}, 85)).Regions.at(0).HMean, 85.0, 1e-9);
    EXPECT_EQ(Measure(Selection({"##"}, 0)).Regions.at(0).HMean, 0.0);
}

TEST(RegionMeasurement, KeptRegionsOnlyInRegionOrder)
{
    const TQROIRGB image = Selection({
        "#....##",
        "....###",
        ".#.....",
        ".##..#.",
    });
    const TRegionStatistics statistics = Measure(image, 2.0);
    ASSERT_EQ(statistics.Regions.size(), std::size_t(statistics.Count));
    ASSERT_EQ(statistics.Count, 2);
    // The single pixels at (0, 0) and (5, 3) are under the minimum.
    EXPECT_EQ(statistics.Regions[0].Left, 1);
    EXPECT_EQ(statistics.Regions[0].Pixels, 3);
    EXPECT_EQ(statistics.Regions[1].Left, 4);
    EXPECT_EQ(statistics.Regions[1].Pixels, 5);
    EXPECT_EQ(statistics.Regions[0].AreaPixel + statistics.Regions[1].AreaPixel, statistics.Sum);

    TQImage unpainted;
    EXPECT_TRUE(MeasureRegions(image, 2.0, unpainted).Regions.empty()) << "only when asked for";
}

TEST(RegionOutline, TheSidesOfTheRegionsPixelsThatFaceAway)
{
    const TQROIRGB image = Selection({
        "##..#",
        "#...#",
        ".....",
        "..#..",
    });
    const TRegionStatistics statistics = Measure(image);
    ASSERT_EQ(statistics.Regions.size(), 3u);
    // The L of three pixels: 8 sides, the pixel below it and the column beside it
    // are other regions.
    const std::vector<TPixelEdge> l = RegionOutline(image, statistics.Regions[0]);
    EXPECT_EQ(l.size(), 8u);
    for (const TPixelEdge& edge : l) {
        EXPECT_LE(std::max(edge.X1, edge.X2), 2);
        EXPECT_LE(std::max(edge.Y1, edge.Y2), 2);
    }
    EXPECT_EQ(RegionOutline(image, statistics.Regions[1]),
              (std::vector<TPixelEdge>{{2, 3, 3, 3}, {3, 3, 3, 4}, {2, 4, 3, 4}, {2, 3, 2, 4}}));
    EXPECT_EQ(RegionOutline(image, statistics.Regions[2]).size(), 6u);

    // A selection that no longer holds the region outlines nothing.
    EXPECT_TRUE(RegionOutline(Selection({"....."}), statistics.Regions[1]).empty());
}

/// The measurements of one labelled region, pixel by pixel in doubles.
TRegionMeasurement Reference(const TQROIU& region, const TQROIRGB& channels)
{
    TRegionMeasurement m;
    double n = 0, sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0, c = 0, s = 0, sat = 0, v = 0;
    m.Left = m.Top = 1 << 30;
    m.Right = m.Bottom = -1;
    for (int x = 0; x < region.Width(); ++x)
        for (int y = 0; y < region.Height(); ++y) {
            if (region.Mask()[x][y] == 0)
                continue;
            const int ix = x + region.OriginX;
            const int iy = y + region.OriginY;
            n += 1;
            sx += ix;
            sy += iy;
            sxx += double(ix) * ix;
            syy += double(iy) * iy;
            sxy += double(ix) * iy;
            const double angle = channels.Red()[ix][iy] * 2 * std::numbers::pi / 255;
            c += std::cos(angle);
            s += std::sin(angle);
            sat += channels.Green()[ix][iy];
            v += channels.Blue()[ix][iy];
            m.Left = std::min(m.Left, ix);
            m.Top = std::min(m.Top, iy);
            m.Right = std::max(m.Right, ix);
            m.Bottom = std::max(m.Bottom, iy);
        }
    m.Pixels = int(n);
    m.AreaPixel = Area(region);
    m.CentreX = sx / n;
    m.CentreY = sy / n;
    const double cxx = sxx / n - m.CentreX * m.CentreX;
    const double cyy = syy / n - m.CentreY * m.CentreY;
    const double cxy = sxy / n - m.CentreX * m.CentreY;
    const double root = std::sqrt((cxx - cyy) * (cxx - cyy) / 4 + cxy * cxy);
    m.MajorAxis = 4 * std::sqrt(std::max(0.0, (cxx + cyy) / 2 + root));
    m.MinorAxis = 4 * std::sqrt(std::max(0.0, (cxx + cyy) / 2 - root));
    m.HMean = std::fmod(std::atan2(s, c) * 255 / (2 * std::numbers::pi) + 255, 255);
    m.SMean = sat / n;
    m.VMean = v / n;
    return m;
}

TEST(RegionMeasurement, AgreesWithMeasuringEveryLabelledRegion)
{
    std::mt19937 random(11);
    const struct {
        int width, height;
        double density, threshold;
    } cases[] = {{1, 1, 1.0, 0.0},   {0, 0, 0.5, 0.0},      {9, 7, 0.5, 0.0},
                 {40, 30, 0.6, 3.0}, {120, 90, 0.55, 10.0}, {3, 200, 0.7, 1.0}};
    for (const auto& c : cases) {
        TQROIRGB image(c.width, c.height);
        std::bernoulli_distribution set(c.density);
        for (int x = 0; x < c.width; ++x)
            for (int y = 0; y < c.height; ++y) {
                image.Mask()[x][y] = set(random) ? 1 : 0;
                image.Red()[x][y] = std::uint8_t(random());
                image.Green()[x][y] = std::uint8_t(random());
                image.Blue()[x][y] = std::uint8_t(random());
            }
        const TRegionStatistics statistics = Measure(image, c.threshold);
        const auto regions = image.Label(1);
        std::vector<TRegionMeasurement> expected;
        for (int i = 0; i < regions->Count(); ++i)
            if (Area(regions->Get(i)) >= c.threshold)
                expected.push_back(Reference(regions->Get(i), image));
        ASSERT_EQ(statistics.Regions.size(), expected.size());
        double sum = 0.0;
        for (std::size_t i = 0; i < expected.size(); ++i) {
            const TRegionMeasurement& got = statistics.Regions[i];
            const TRegionMeasurement& want = expected[i];
            EXPECT_EQ(got.AreaPixel, want.AreaPixel) << i;
            EXPECT_EQ(got.Pixels, want.Pixels) << i;
            EXPECT_EQ(got.Left, want.Left) << i;
            EXPECT_EQ(got.Top, want.Top) << i;
            EXPECT_EQ(got.Right, want.Right) << i;
            EXPECT_EQ(got.Bottom, want.Bottom) << i;
            EXPECT_NEAR(got.CentreX, want.CentreX, 1e-9) << i;
            EXPECT_NEAR(got.CentreY, want.CentreY, 1e-9) << i;
            EXPECT_NEAR(got.MajorAxis, want.MajorAxis, 1e-6) << i;
            EXPECT_NEAR(got.MinorAxis, want.MinorAxis, 1e-4) << i;
            EXPECT_NEAR(got.SMean, want.SMean, 1e-9) << i;
            EXPECT_NEAR(got.VMean, want.VMean, 1e-9) << i;
            // Hues spread round the whole circle have no stable mean.
            if (want.Pixels == 1) {
                EXPECT_NEAR(got.HMean, want.HMean, 1e-9) << i;
            }
            sum += got.AreaPixel;
        }
        EXPECT_EQ(sum, statistics.Sum) << "the table adds up to the run's area exactly";
    }
}

} // namespace
} // namespace varnolux
