#include "ImagingTestSupport.h"
#include "imaging/KernelThreads.h"
#include "imaging/LabelPlane.h"
#include "imaging/TQListROIU.h"
#include "imaging/TQROIRGB.h"
#include "imaging/TRegionRuns.h"

#include <gtest/gtest.h>
#include <map>
#include <numeric>
#include <typeinfo>

namespace varnolux {
namespace {

using test::MaskRows;
using test::SetMaskRows;

/// Labels by the definition: union-find over every pair of neighbouring mask-1
/// pixels, then regions numbered by their first pixel in column order.
std::vector<std::vector<int>> ReferenceLabels(const TQROIL& roi, int connectivity)
{
    const int width = roi.Width();
    const int height = roi.Height();
    std::vector<int> parent(std::size_t(width) * std::size_t(height));
    std::iota(parent.begin(), parent.end(), 0);
    const auto find = [&](int i) {
        while (parent[std::size_t(i)] != i)
            i = parent[std::size_t(i)];
        return i;
    };
    const auto in = [&](int x, int y) {
        return x >= 0 && x < width && y >= 0 && y < height && roi.Mask()[x][y] == 1;
    };
    const int neighbours = connectivity == 0 ? 4 : 8;
    for (int x = 0; x < width; ++x)
        for (int y = 0; y < height; ++y)
            for (int k = 0; k < neighbours; ++k) {
                const int nx = x + NeighbourDx[k];
                const int ny = y + NeighbourDy[k];
                if (in(x, y) && in(nx, ny))
                    parent[std::size_t(find(x * height + y))] = find(nx * height + ny);
            }
    std::map<int, int> numberOfRoot;
    std::vector<std::vector<int>> labels(std::size_t(width),
                                         std::vector<int>(std::size_t(height), -1));
    for (int x = 0; x < width; ++x)
        for (int y = 0; y < height; ++y)
            if (in(x, y)) {
                const int root = find(x * height + y);
                if (!numberOfRoot.count(root))
                    numberOfRoot[root] = int(numberOfRoot.size()) + 1;
                labels[std::size_t(x)][std::size_t(y)] = numberOfRoot[root];
            }
    return labels;
}

std::vector<std::vector<int>> LabelsOf(const TLabelPlane& plane)
{
    std::vector<std::vector<int>> labels;
    for (int x = 0; x < plane.Labels.Width(); ++x)
        labels.emplace_back(plane.Labels.Column(x).begin(), plane.Labels.Column(x).end());
    return labels;
}

int MaxLabel(const std::vector<std::vector<int>>& labels)
{
    int max = 0;
    for (const auto& column : labels)
        for (int label : column)
            max = std::max(max, label);
    return max;
}

TEST(LabelRegions, EqualsTheReferenceOnRandomMasks)
{
    std::mt19937 random(21);
    for (int round = 0; round < 300; ++round) {
        const int width = 1 + int(random() % 40);
        const int height = 1 + int(random() % 30);
        const double density = 0.05 + 0.9 * double(random() % 100) / 100.0;
        TQROIL roi(width, height);
        for (auto& m : roi.Mask().Elements()) {
            const double draw = double(random() % 1000) / 1000.0;
            m = draw < density ? 1 : (random() % 20 == 0 ? 2 : 0);
        }
        for (int connectivity : {0, 1}) {
            const TLabelPlane labelled = LabelRegions(roi, connectivity);
            const auto expected = ReferenceLabels(roi, connectivity);
            ASSERT_EQ(LabelsOf(labelled), expected) << width << "x" << height << " density "
                                                    << density << " connectivity " << connectivity;
            ASSERT_EQ(labelled.RegionCount, MaxLabel(expected));
        }
    }
}

/// The label plane that the runs describe: -1 outside, region + 1 on the runs.
std::vector<std::vector<int>> LabelsOfRuns(const TRegionRuns& runs, int width, int height)
{
    std::vector<std::vector<int>> labels(std::size_t(width),
                                         std::vector<int>(std::size_t(height), -1));
    for (int x = 0; x < width; ++x)
        for (std::size_t i = runs.ColumnBegin(x); i < runs.ColumnEnd(x); ++i) {
            const auto& run = runs.Runs[i];
            EXPECT_LT(run.Top, run.Bottom);
            if (i > runs.ColumnBegin(x)) {
                EXPECT_LT(runs.Runs[i - 1].Bottom, run.Top) << "runs are separated";
            }
            for (int y = run.Top; y < run.Bottom; ++y)
                labels[std::size_t(x)][std::size_t(y)] = run.Region + 1;
        }
    return labels;
}

TEST(LabelRegionRuns, EqualsTheLabelPlaneOnRandomMasks)
{
    std::mt19937 random(5);
    for (int round = 0; round < 400; ++round) {
        // Odd sizes, single rows and columns, and columns longer than the 16-byte scan.
        const int width = 1 + int(random() % 45);
        const int height = 1 + int(random() % (round % 3 == 0 ? 90 : 30));
        const double density = 0.05 + 0.9 * double(random() % 100) / 100.0;
        TQROIL roi(width, height);
        for (auto& m : roi.Mask().Elements()) {
            const double draw = double(random() % 1000) / 1000.0;
            m = draw < density ? 1 : (random() % 20 == 0 ? 2 : 0);
        }
        if (round % 7 == 0) // long uniform stretches
            for (int x = 0; x < width; x += 2)
                std::ranges::fill(roi.Mask().Column(x), round % 2);
        const TRegionRuns runs = LabelRegionRuns(roi);
        const TLabelPlane plane = LabelRegions(roi, 1);
        ASSERT_EQ(LabelsOfRuns(runs, width, height), LabelsOf(plane))
            << width << "x" << height << " density " << density;
        ASSERT_EQ(runs.RegionCount, plane.RegionCount);
        TPixelVector<std::int64_t> counts(std::size_t(plane.RegionCount), 0);
        for (const int label : plane.Labels.Elements())
            if (label > 0)
                ++counts[std::size_t(label - 1)];
        EXPECT_EQ(runs.PixelCounts, counts);
    }
}

TEST(LabelRegionRuns, BlocksOfColumnsOnThreadsGiveTheRegionsOfOneThread)
{
    // Large enough to be cut into blocks, with regions across the blocks' borders; the
    // second mask, with a column of ones joining them, is labelled into the same arrays.
    std::mt19937 random(8);
    TQROIL roi(1503, 1201);
    for (auto& m : roi.Mask().Elements())
        m = random() % 100 < 45 ? 1 : 0;
    const int threadsBefore = KernelThreadCount();
    const auto labelOnThreads = [&](int threads, TRegionRuns& runs) {
        SetKernelThreadCount(threads);
        LabelRegionRuns(roi, runs);
        SetKernelThreadCount(threadsBefore);
        return std::pair(LabelsOfRuns(runs, roi.Width(), roi.Height()), runs.PixelCounts);
    };
    TRegionRuns reused;
    for (const bool joined : {false, true}) {
        if (joined)
            std::ranges::fill(roi.Mask().Column(751), 1);
        TRegionRuns fresh;
        EXPECT_TRUE(labelOnThreads(4, reused) == labelOnThreads(1, fresh)) << joined;
    }
}

TEST(LabelRegionRuns, EmptyAndSinglePixelMasks)
{
    const TRegionRuns none = LabelRegionRuns(TQROIL());
    EXPECT_EQ(none.RegionCount, 0);
    EXPECT_TRUE(none.Runs.empty());

    TQROIL one(1, 1);
    one.SetMask(1);
    const TRegionRuns single = LabelRegionRuns(one);
    ASSERT_EQ(single.Runs.size(), 1u);
    EXPECT_EQ(single.RegionCount, 1);
    EXPECT_EQ(single.PixelCounts, TPixelVector<std::int64_t>{1});

    one.SetMask(2);
    EXPECT_EQ(LabelRegionRuns(one).RegionCount, 0) << "only bytes equal to 1 are labelled";
}

TEST(LabelRegionRuns, CornerRunsJoinAndRegionsKeepTheirOrder)
{
    TQROIL roi;
    SetMaskRows(roi, {"1.....1", ".1...1.", "..1...."});
    const TRegionRuns runs = LabelRegionRuns(roi);
    EXPECT_EQ(runs.RegionCount, 2);
    EXPECT_EQ(runs.Runs.front().Region, 0) << "the leftmost region comes first";
    EXPECT_EQ(runs.Runs.back().Region, 1);
}

TEST(LabelRegions, EmptyInputsHaveNoRegions)
{
    EXPECT_EQ(LabelRegions(TQROIL(), 1).RegionCount, 0);
    TQROIL zeros;
    SetMaskRows(zeros, {"..2", "2.."});
    const TLabelPlane labelled = LabelRegions(zeros, 1);
    EXPECT_EQ(labelled.RegionCount, 0);
    EXPECT_EQ(LabelsOf(labelled), (std::vector<std::vector<int>>{{-1, -1}, {-1, -1}, {-1, -1}}));
}

TEST(LabelRegions, OnePixel)
{
    TQROIL roi;
    SetMaskRows(roi, {"#"});
    const TLabelPlane labelled = LabelRegions(roi, 0);
    EXPECT_EQ(labelled.RegionCount, 1);
    EXPECT_EQ(labelled.Labels[0][0], 1);
}

TEST(LabelRegions, CornerNeighboursJoinOnlyInTheEightNeighbourhood)
{
    TQROIL roi;
    SetMaskRows(roi, {"#.", ".#"});
    EXPECT_EQ(LabelRegions(roi, 1).RegionCount, 1);
    EXPECT_EQ(LabelRegions(roi, 0).RegionCount, 2);
    EXPECT_EQ(LabelRegions(roi, 7).RegionCount, 1); // any other value: 8-neighbourhood
}

TEST(LabelRegions, AByteOfTwoIsNeitherLabelledNorCrossed)
{
    TQROIL roi;
    SetMaskRows(roi, {"#2#"});
    const TLabelPlane labelled = LabelRegions(roi, 1);
    EXPECT_EQ(labelled.RegionCount, 2);
    EXPECT_EQ(LabelsOf(labelled), (std::vector<std::vector<int>>{{1}, {-1}, {2}}));
}

TEST(LabelRegions, RegionsAreNumberedByLeftmostColumnThenFromTheTop)
{
    TQROIL roi;
    SetMaskRows(roi, {".....######", "...........", "......#....", "......#####", ".#.........",
                      ".#........."});
    const TLabelPlane labelled = LabelRegions(roi, 1);
    ASSERT_EQ(labelled.RegionCount, 3);
    EXPECT_EQ(labelled.Labels[1][4], 1); // column 1
    EXPECT_EQ(labelled.Labels[5][0], 2); // columns 5 to 10, top row
    EXPECT_EQ(labelled.Labels[6][2], 3); // columns 6 to 10, lower
    EXPECT_EQ(labelled.Labels[10][3], 3);
}

TEST(LabelRegions, StartsOnSlotZeroAndStepsOnSlotFour)
{
    const test::TProgressRecorder progress({0, 4});
    TQROIL roi(45, 2);
    roi.SetMask(0);
    for (int x : {0, 3, 25, 44})
        roi.Mask()[x][1] = 1;
    LabelRegions(roi, 1);
    EXPECT_EQ(progress.Calls.front(), (test::TProgressCall{0, "range", 0, 44}));
    EXPECT_EQ(progress.Positions(4), (std::vector<int>{0, 20, 40}));
}

TEST(Label, CutsTheRegionsToTheirBoundingBoxes)
{
    TQROIU roi;
    SetMaskRows(roi, {"##..", "#..#", "..##"});
    for (int x = 0; x < 4; ++x)
        for (int y = 0; y < 3; ++y)
            roi.Values()[x][y] = std::uint8_t(10 * x + y);
    roi.OriginX = 100;
    roi.OriginY = 200;
    const auto regions = roi.Label(0);
    ASSERT_EQ(regions->Count(), 2);
    EXPECT_EQ(regions->Image, nullptr);

    const TQROIU& first = regions->Get(0);
    EXPECT_EQ(first.OriginX, 100);
    EXPECT_EQ(first.OriginY, 200);
    EXPECT_EQ(MaskRows(first), (std::vector<std::string>{"##", "#."}));
    EXPECT_EQ(first.Values()[1][0], 10);
    EXPECT_EQ(first.Values()[0][1], 1);

    const TQROIU& second = regions->Get(1);
    EXPECT_EQ(second.OriginX, 102);
    EXPECT_EQ(second.OriginY, 201);
    EXPECT_EQ(MaskRows(second), (std::vector<std::string>{".#", "##"}));
    EXPECT_EQ(second.Values()[1][0], 31);
    EXPECT_EQ(second.Values()[0][1], 22);
}

TEST(Label, MasksOtherRegionsInsideTheBoundingBox)
{
    TQROIU roi;
    SetMaskRows(roi, {"#####", "#...#", "#.#.#", "#...#", "#####"});
    const auto ring = roi.Label(1);
    ASSERT_EQ(ring->Count(), 2);
    EXPECT_EQ(MaskRows(ring->Get(0)),
              (std::vector<std::string>{"#####", "#...#", "#...#", "#...#", "#####"}));
    EXPECT_EQ(MaskRows(ring->Get(1)), (std::vector<std::string>{"#"}));
}

TEST(Label, AnEmptyMaskGivesAnEmptyList)
{
    TQROIU roi(3, 3);
    roi.SetMask(2);
    EXPECT_EQ(roi.Label(1)->Count(), 0);
    EXPECT_EQ(TQROIU().Label(1)->Count(), 0);
}

TEST(Label, ColourRegionsCarryTheirColoursAndDrawBackInPlace)
{
    std::mt19937 random(22);
    for (int round = 0; round < 30; ++round) {
        const int width = 1 + int(random() % 30);
        const int height = 1 + int(random() % 20);
        TQROIRGB roi = test::RandomColourRoi(width, height, random);
        for (auto& m : roi.Mask().Elements())
            m = random() % 3 == 0 ? 1 : 0;
        roi.OriginX = int(random() % 5);
        roi.OriginY = int(random() % 5);

        const auto regions = roi.Label(1);
        TBitmap24 whole(40, 30);
        TBitmap24 pieces(40, 30);
        roi.Draw(whole);
        long pixels = 0;
        for (int i = 0; i < regions->Count(); ++i) {
            TQROIU& region = regions->Get(i);
            ASSERT_EQ(typeid(region), typeid(TQROIRGB));
            region.Draw(pieces);
            for (auto m : region.Mask().Elements())
                pixels += m;
            const auto& colour = static_cast<const TQROIRGB&>(region);
            for (int x = 0; x < region.Width(); ++x)
                for (int y = 0; y < region.Height(); ++y)
                    if (region.Mask()[x][y]) {
                        const int sx = x + region.OriginX - roi.OriginX;
                        const int sy = y + region.OriginY - roi.OriginY;
                        ASSERT_EQ(colour.Grey()[x][y], roi.Grey()[sx][sy]);
                        ASSERT_EQ(colour.Values()[x][y], roi.Values()[sx][sy]);
                    }
        }
        EXPECT_EQ(pieces, whole);
        long masked = 0;
        for (auto m : roi.Mask().Elements())
            masked += m;
        EXPECT_EQ(pixels, masked);
    }
}

TEST(Label, AgreesWithLabelRegions)
{
    std::mt19937 random(23);
    TQROIU roi(25, 17);
    for (auto& m : roi.Mask().Elements())
        m = random() % 2;
    const TLabelPlane labelled = LabelRegions(roi, 0);
    const auto regions = roi.Label(0);
    ASSERT_EQ(regions->Count(), labelled.RegionCount);
    for (int i = 0; i < regions->Count(); ++i) {
        const TQROIU& region = regions->Get(i);
        for (int x = 0; x < region.Width(); ++x)
            for (int y = 0; y < region.Height(); ++y)
                ASSERT_EQ(region.Mask()[x][y] == 1,
                          labelled.Labels[x + region.OriginX][y + region.OriginY] == i + 1);
    }
}

} // namespace
} // namespace varnolux
