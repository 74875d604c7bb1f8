#include "ImagingTestSupport.h"
#include "imaging/TQError.h"
#include "imaging/TQROIRGB.h"
#include "support/TempFolder.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace varnolux {
namespace {

using test::Columns;
using test::MaskRows;
using test::SetMaskRows;

/// A grey ROI with a random mask (0, 1 and the odd 2) and random values.
TQROIU RandomGreyRoi(int width, int height, std::mt19937& random)
{
    TQROIU roi(width, height);
    for (auto& m : roi.Mask().Elements()) {
        const unsigned draw = random() % 10;
        m = draw < 3 ? 0 : draw < 9 ? 1 : 2;
    }
    test::FillRandom(roi.Values(), random);
    return roi;
}

/// The rank filter by its definition: sort the window's counted values.
TQROIU ReferenceRankFilter(const TQROIU& roi, int radius, double fraction, bool all)
{
    TQROIU result(roi);
    const auto counted = [&](int x, int y) {
        return all || roi.Mask()[x][y] != 0;
    };
    for (int x = 0; x < roi.Width(); ++x)
        for (int y = 0; y < roi.Height(); ++y) {
            if (!counted(x, y))
                continue;
            std::vector<int> window;
            for (int wx = std::max(0, x - radius); wx <= std::min(roi.Width() - 1, x + radius);
                 ++wx)
                for (int wy = std::max(0, y - radius); wy <= std::min(roi.Height() - 1, y + radius);
                     ++wy)
                    if (counted(wx, wy))
                        window.push_back(roi.Values()[wx][wy]);
            std::sort(window.begin(), window.end());
            const int target = std::clamp(int(std::trunc(fraction * double(window.size()))), 0,
                                          int(window.size()));
            result.Values()[x][y] = std::uint8_t(target == 0 ? 0 : window[std::size_t(target - 1)]);
        }
    return result;
}

/// The mean filter by its definition: average the window's pixels whose mask is 1.
TQROIU ReferenceMeanFilter(const TQROIU& roi, int radius, bool all)
{
    TQROIU result(roi);
    const auto counted = [&](int x, int y) {
        return all || roi.Mask()[x][y] == 1;
    };
    for (int x = 0; x < roi.Width(); ++x)
        for (int y = 0; y < roi.Height(); ++y) {
            result.Mask()[x][y] = counted(x, y) ? 1 : 0;
            if (!counted(x, y))
                continue;
            long sum = 0;
            long n = 0;
            for (int wx = std::max(0, x - radius); wx <= std::min(roi.Width() - 1, x + radius);
                 ++wx)
                for (int wy = std::max(0, y - radius); wy <= std::min(roi.Height() - 1, y + radius);
                     ++wy)
                    if (counted(wx, wy)) {
                        sum += roi.Values()[wx][wy];
                        ++n;
                    }
            result.Values()[x][y] = std::uint8_t(std::trunc(double(sum) / double(n) + 0.5));
        }
    return result;
}

TEST(RankFilter, EqualsTheSortedWindowOnRandomImages)
{
    std::mt19937 random(11);
    for (int round = 0; round < 40; ++round) {
        const int width = 1 + int(random() % 12);
        const int height = 1 + int(random() % 9);
        const TQROIU roi = RandomGreyRoi(width, height, random);
        for (int radius : {1, 2, 5})
            for (double fraction : {0.0, 0.3, 0.5, 1.0})
                for (bool all : {false, true}) {
                    TQROIU filtered(roi);
                    filtered.RankFilter(radius, fraction, all);
                    const TQROIU expected = ReferenceRankFilter(roi, radius, fraction, all);
                    ASSERT_EQ(Columns(filtered.Values()), Columns(expected.Values()))
                        << width << "x" << height << " r " << radius << " q " << fraction << " all "
                        << all;
                    ASSERT_EQ(Columns(filtered.Mask()), Columns(roi.Mask()));
                }
    }
}

TEST(RankFilter, RadiusZeroDoesNothing)
{
    std::mt19937 random(12);
    const TQROIU roi = RandomGreyRoi(5, 5, random);
    TQROIU filtered(roi);
    filtered.RankFilter(0, 0.5, true);
    EXPECT_EQ(Columns(filtered.Values()), Columns(roi.Values()));
}

TEST(RankFilter, ReportsEveryTwentiethRowToSlotZero)
{
    const test::TProgressRecorder progress({0});
    TQROIU roi(2, 41);
    roi.SetMask(1);
    roi.FillValue(0, true);
    roi.RankFilter(1, 0.5, false);
    EXPECT_EQ(progress.Calls.front(), (test::TProgressCall{0, "range", 0, 40}));
    EXPECT_EQ(progress.Positions(0), (std::vector<int>{0, 0, 20, 40}));
}

TEST(RankFilter, ColourRoiFiltersEveryPlane)
{
    std::mt19937 random(13);
    TQROIRGB roi = test::RandomColourRoi(6, 5, random);
    TQROIU red;
    red.Assign(roi);
    std::copy(roi.Red().Elements().begin(), roi.Red().Elements().end(),
              red.Values().Elements().begin());
    roi.RankFilter(1, 0.5, false);
    red.RankFilter(1, 0.5, false);
    EXPECT_EQ(Columns(roi.Red()), Columns(red.Values()));
}

TEST(MeanFilter, EqualsTheWindowAverageOnRandomImages)
{
    std::mt19937 random(14);
    for (int round = 0; round < 40; ++round) {
        const int width = 1 + int(random() % 12);
        const int height = 1 + int(random() % 9);
        const TQROIU roi = RandomGreyRoi(width, height, random);
        for (int radius : {1, 3})
            for (bool all : {false, true}) {
                TQROIU filtered(roi);
                filtered.MeanFilter(radius, all);
                const TQROIU expected = ReferenceMeanFilter(roi, radius, all);
                ASSERT_EQ(Columns(filtered.Mask()), Columns(expected.Mask()));
                ASSERT_EQ(Columns(filtered.Values()), Columns(expected.Values()))
                    << width << "x" << height << " r " << radius << " all " << all;
            }
    }
}

TEST(Gradient, TakesTheLargerCentralDifference)
{
    TQROIU roi(3, 3);
    roi.SetMask(1);
    const int values[3][3] = {{0, 10, 0}, {40, 99, 45}, {0, 30, 0}}; // [x][y]
    for (int x = 0; x < 3; ++x)
        for (int y = 0; y < 3; ++y)
            roi.Values()[x][y] = std::uint8_t(values[x][y]);
    EXPECT_TRUE(roi.Gradient(false));
    // Centre: |10 − 30| = 20 across, |40 − 45| = 5 down. Edge middles have one pair.
    EXPECT_EQ(roi.Values()[1][1], 20);
    EXPECT_EQ(roi.Values()[1][0], 0); // |0 − 0| across
    EXPECT_EQ(roi.Values()[0][1], 0); // |0 − 0| down
    EXPECT_EQ(MaskRows(roi), (std::vector<std::string>{".#.", "###", ".#."}));
}

TEST(Gradient, OnlyPairsInsideTheMaskCountUnlessAll)
{
    TQROIU roi;
    SetMaskRows(roi, {"#.#"});
    roi.Values()[0][0] = 10;
    roi.Values()[1][0] = 50;
    roi.Values()[2][0] = 25;
    TQROIU all(roi);
    EXPECT_TRUE(roi.Gradient(false));
    EXPECT_EQ(roi.Values()[1][0], 15); // both neighbours set; the centre itself need not be
    EXPECT_EQ(MaskRows(roi), (std::vector<std::string>{"..."}));

    SetMaskRows(all, {"..#"});
    EXPECT_FALSE(all.Gradient(false));
    EXPECT_TRUE(all.Gradient(true));
}

TEST(Gradient, APixelWithoutPairsLosesItsMask)
{
    TQROIU single(1, 1);
    single.SetMask(1);
    single.Values()[0][0] = 5;
    EXPECT_FALSE(single.Gradient(true));
    EXPECT_EQ(single.Mask()[0][0], 0);
    EXPECT_EQ(single.Values()[0][0], 5);
}

TEST(Stretch, MapsTheMaskedRangeOntoTheSpan)
{
    TQROIU roi;
    SetMaskRows(roi, {"###."});
    const int values[] = {10, 20, 30, 255};
    for (int x = 0; x < 4; ++x)
        roi.Values()[x][0] = std::uint8_t(values[x]);
    EXPECT_FALSE(roi.Stretch(5, 5));
    EXPECT_FALSE(roi.Stretch(6, 5));
    EXPECT_TRUE(roi.Stretch(100, 200)); // low only sets the span: 0..100
    EXPECT_EQ(roi.Values()[0][0], 0);
    EXPECT_EQ(roi.Values()[1][0], 50);
    EXPECT_EQ(roi.Values()[2][0], 100);
    EXPECT_EQ(roi.Values()[3][0], 255);
}

TEST(Stretch, ASpanBeyondAByteIsClamped)
{
    TQROIU roi(3, 1);
    roi.SetMask(1);
    for (int x = 0; x < 3; ++x)
        roi.Values()[x][0] = std::uint8_t(x);
    EXPECT_TRUE(roi.Stretch(0, 1000));
    EXPECT_EQ(roi.Values()[1][0], 255);
}

TEST(Stretch, EqualValuesAreLeftAlone)
{
    TQROIU roi(2, 1);
    roi.SetMask(1);
    roi.FillValue(7, true);
    EXPECT_FALSE(roi.Stretch(0, 255));
    EXPECT_EQ(roi.Values()[1][0], 7);
}

TEST(Stretch, ColourRoiUsesTheJointRangeOfItsColours)
{
    TQROIRGB roi(2, 1);
    roi.SetMask(1);
    for (auto* plane : {&roi.Values(), &roi.Red(), &roi.Green(), &roi.Blue(), &roi.Grey()}) {
        (*plane)[0][0] = 10;
        (*plane)[1][0] = 60;
    }
    roi.Blue()[1][0] = 110;
    EXPECT_TRUE(roi.Stretch(0, 100));
    EXPECT_EQ(roi.Red()[1][0], 50);
    EXPECT_EQ(roi.Blue()[1][0], 100);
    EXPECT_EQ(roi.Grey()[1][0], 50);
}

TEST(Distort, ZeroKeepsEveryPixel)
{
    std::mt19937 random(15);
    TQROIU roi = RandomGreyRoi(9, 7, random);
    const auto values = Columns(roi.Values());
    roi.Distort(0.0);
    EXPECT_EQ(Columns(roi.Values()), values);
    EXPECT_EQ(MaskRows(roi), std::vector<std::string>(7, "#########"));
}

TEST(Distort, MovesPixelsOutwardByTheCube)
{
    TQROIU roi(7, 1);
    roi.SetMask(1);
    for (int x = 0; x < 7; ++x)
        roi.Values()[x][0] = std::uint8_t(10 * x);
    roi.Distort(1.0); // distance 1 → 2, distance 2 → 10 (outside)
    EXPECT_EQ(MaskRows(roi), (std::vector<std::string>{".#.#.#."}));
    EXPECT_EQ(roi.Values()[1][0], 20);
    EXPECT_EQ(roi.Values()[3][0], 30);
    EXPECT_EQ(roi.Values()[5][0], 40);
}

TEST(ApplyLookup, MapsEveryValueAndInAColourRoiEveryPlane)
{
    TQROIRGB roi(2, 1);
    roi.SetMask(0);
    for (auto* plane : {&roi.Values(), &roi.Red(), &roi.Green(), &roi.Blue(), &roi.Grey()}) {
        (*plane)[0][0] = 3;
        (*plane)[1][0] = 250;
    }
    for (int i = 0; i < 256; ++i)
        roi.Lookup[std::size_t(i)] = std::uint8_t(255 - i);
    roi.ApplyLookup();
    for (auto* plane : {&roi.Values(), &roi.Red(), &roi.Green(), &roi.Blue(), &roi.Grey()}) {
        EXPECT_EQ(plane->Elements()[0], 252);
        EXPECT_EQ(plane->Elements()[1], 5);
    }
}

TEST(SaveToTextFile, WritesOneLinePerPixelRowsOuter)
{
    const test::TempFolder folder;
    TQROIRGB roi(2, 2);
    roi.SetMask(1);
    roi.Mask()[1][0] = 0;
    const int values[2][2] = {{10, 30}, {20, 40}};
    for (int x = 0; x < 2; ++x)
        for (int y = 0; y < 2; ++y) {
            roi.Values()[x][y] = std::uint8_t(values[x][y]);
            roi.Red()[x][y] = 1;
            roi.Green()[x][y] = 2;
            roi.Blue()[x][y] = 3;
            roi.Grey()[x][y] = 4;
        }
    TQROIU grey;
    grey.Assign(roi);
    grey.SaveToTextFile(folder.File("grey.txt"));
    EXPECT_EQ(test::ReadFile(folder.File("grey.txt")),
              "i\tj\tl\tg\n0\t0\t1\t10\n1\t0\t0\t20\n0\t1\t1\t30\n1\t1\t1\t40\n");

    roi.SaveToTextFile(folder.File("colour.txt"));
    EXPECT_EQ(test::ReadFile(folder.File("colour.txt")),
              "i\tj\tl\tg\tRrgb\tGrgb\tBrgb\tGREYrgb\n"
              "0\t0\t1\t10\t1\t2\t3\t4\n1\t0\t0\t20\t1\t2\t3\t4\n"
              "0\t1\t1\t30\t1\t2\t3\t4\n1\t1\t1\t40\t1\t2\t3\t4\n");
}

TEST(SaveToTextFile, AnUnwritablePlaceThrows)
{
    const test::TempFolder folder;
    const TQROIU roi(1, 1);
    EXPECT_THROW(roi.SaveToTextFile(folder.File("missing/x.txt")), TQError);
}

} // namespace
} // namespace varnolux
