#include "analysis/AnalysisSteps.h"
#include "analysis/MeasureShape.h"
#include "imaging/KernelThreads.h"
#include "imaging/TImageView.h"
#include "imaging/TQImage.h"
#include "imaging/TQListROIU.h"
#include "imaging/TQROIRGB.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace varnolux {
namespace {

TQROIRGB RandomImage(int width, int height, double density, std::mt19937& random)
{
    TQROIRGB image(width, height);
    std::bernoulli_distribution set(density);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int x = 0; x < width; ++x)
        for (int y = 0; y < height; ++y) {
            // A byte of 2 is not part of the selection: neither labelled nor measured.
            image.Mask()[x][y] = set(random) ? 1 : random() % 16 == 0 ? 2 : 0;
            image.Red()[x][y] = std::uint8_t(byte(random));
            image.Green()[x][y] = std::uint8_t(byte(random));
            image.Blue()[x][y] = std::uint8_t(byte(random));
        }
    return image;
}

struct TReference {
    TRegionStatistics statistics;
    TBitmap24 picture;
};

/// Labels into region ROIs, measures each one and draws the kept ones, region by region.
TReference ReferenceStatistics(const TQROIRGB& image, double threshold, TColour background)
{
    TImageBox view;
    TQImage surface(&view);
    surface.BackgroundColour = background;
    surface.SetBitmapSize(image.Width(), image.Height());
    surface.Clear();
    TReference reference;
    const auto regions = image.Label(1);
    for (int i = 0; i < regions->Count(); ++i) {
        TQROIU& region = regions->Get(i);
        const double area = Area(region);
        if (area >= threshold) {
            ++reference.statistics.Count;
            reference.statistics.Sum += area;
            region.SetImage(&surface);
            region.Draw(*surface.Bitmap);
        }
    }
    reference.picture = view.Picture();
    return reference;
}

/// The 8-connected regions of the selection by a plain flood fill, numbered in the
/// order a column-by-column scan from the top meets them, with their geometry.
std::vector<TRegionSummary> ReferenceGeometry(const TQROIRGB& image)
{
    const int width = image.Width();
    const int height = image.Height();
    std::vector<int> region(std::size_t(width) * std::size_t(height), -1);
    const auto at = [&](int x, int y) -> int& {
        return region[std::size_t(x) * height + y];
    };
    std::vector<TRegionSummary> regions;
    for (int x0 = 0; x0 < width; ++x0)
        for (int y0 = 0; y0 < height; ++y0) {
            if (image.Mask()[x0][y0] != 1 || at(x0, y0) >= 0)
                continue;
            TRegionSummary summary;
            summary.Label = std::int32_t(regions.size());
            summary.Left = summary.Right = x0;
            summary.Top = summary.Bottom = y0;
            std::vector<std::pair<int, int>> stack{{x0, y0}};
            at(x0, y0) = summary.Label;
            while (!stack.empty()) {
                const auto [x, y] = stack.back();
                stack.pop_back();
                ++summary.PixelCount;
                summary.Left = std::min(summary.Left, x);
                summary.Right = std::max(summary.Right, x + 1);
                summary.Top = std::min(summary.Top, y);
                summary.Bottom = std::max(summary.Bottom, y + 1);
                summary.SumX += x;
                summary.SumY += y;
                summary.SumXX += std::int64_t(x) * x;
                summary.SumYY += std::int64_t(y) * y;
                summary.SumXY += std::int64_t(x) * y;
                for (int dx = -1; dx <= 1; ++dx)
                    for (int dy = -1; dy <= 1; ++dy) {
                        const int nx = x + dx;
                        const int ny = y + dy;
                        if (nx >= 0 && nx < width && ny >= 0 && ny < height &&
                            image.Mask()[nx][ny] == 1 && at(nx, ny) < 0) {
                            at(nx, ny) = summary.Label;
                            stack.emplace_back(nx, ny);
                        }
                    }
            }
            regions.push_back(summary);
        }
    return regions;
}

TEST(MeasureRegions, AgreesWithMeasuringEveryLabelledRegion)
{
    std::mt19937 random(7);
    struct {
        int width, height;
        double density, threshold;
    } const cases[] = {
        {1, 1, 1.0, 0.0},      {1, 1, 0.0, 0.0},    {5, 5, 0.5, 1.5},  {17, 9, 0.3, 2.0},
        {32, 32, 0.55, 3.0},   {40, 25, 0.7, 10.0}, {64, 3, 0.4, 1.0}, {3, 64, 0.45, 2.25},
        {1, 37, 0.6, 0.0},     {37, 1, 0.6, 0.0},   {0, 0, 0.5, 0.0},  {131, 150, 0.6, 5.0},
        {200, 140, 0.97, 0.0}, {70, 300, 0.1, 1.5},
    };
    for (const auto& c : cases)
        for (int repeat = 0; repeat < 5; ++repeat) {
            const TQROIRGB image = RandomImage(c.width, c.height, c.density, random);
            const TReference reference = ReferenceStatistics(image, c.threshold, 0x123456);

            TImageBox view;
            TQImage surface(&view);
            surface.BackgroundColour = 0x123456;
            surface.SetBitmapSize(image.Width(), image.Height());
            const TRegionStatistics statistics = MeasureRegions(image, c.threshold, surface);

            EXPECT_EQ(statistics.Count, reference.statistics.Count) << c.width << "x" << c.height;
            EXPECT_EQ(statistics.Sum, reference.statistics.Sum) << c.width << "x" << c.height;
            EXPECT_TRUE(view.Picture() == reference.picture) << c.width << "x" << c.height;

            const std::vector<TRegionSummary> geometry = ReferenceGeometry(image);
            for (TRegionSummary kept : statistics.Kept) {
                ASSERT_LT(std::size_t(kept.Label), geometry.size());
                kept.Area = 0.0;
                EXPECT_EQ(kept, geometry[std::size_t(kept.Label)])
                    << c.width << "x" << c.height << " region " << kept.Label;
            }
        }
}

TEST(MeasureRegions, KeepsARegionWhoseAreaEqualsTheThreshold)
{
    TQROIRGB image(4, 4);
    image.SetMask(0);
    image.Mask()[0][0] = image.Mask()[1][1] = 1; // a diagonal pair: 2.25
    image.Mask()[3][3] = 1;                      // a single pixel: 1
    TImageBox view;
    TQImage surface(&view);
    surface.SetBitmapSize(4, 4);

    const TRegionStatistics kept = MeasureRegions(image, 2.25, surface);
    EXPECT_EQ(kept.Count, 1);
    EXPECT_EQ(kept.Sum, 2.25);
    const TRegionStatistics all = MeasureRegions(image, 0.0, surface);
    EXPECT_EQ(all.Count, 2);
    EXPECT_EQ(all.Sum, 3.25);
}

/// Every measured value of a region, to compare exactly.
auto MeasuredValues(const TRegionMeasurement& r)
{
    return std::tuple(r.AreaPixel, r.Pixels, r.CentreX, r.CentreY, r.Left, r.Top, r.Right, r.Bottom,
                      r.MajorAxis, r.MinorAxis, r.Orientation, r.HMean, r.SMean, r.VMean, r.SeedX,
                      r.SeedY);
}

TEST(MeasureRegions, AWorkspaceKeptFromRunToRunGivesWhatAFreshOneGives)
{
    // Many regions, then fewer, none, more on a larger image, on changing numbers of
    // threads: nothing the arrays held before may show through.
    std::mt19937 random(11);
    struct {
        int width, height;
        double density, threshold;
        int threads;
    } const runs[] = {
        {2000, 1100, 0.3, 2.0, 4},  {120, 80, 0.05, 0.0, 4},   {40, 30, 0.0, 0.0, 1},
        {1100, 1000, 0.45, 3.0, 2}, {1100, 1000, 0.2, 0.0, 1}, {7, 5, 0.6, 1.0, 3},
    };
    const int threadsBefore = KernelThreadCount();
    TRegionWorkspace workspace;
    for (const auto& run : runs) {
        SetKernelThreadCount(run.threads);
        const TQROIRGB image = RandomImage(run.width, run.height, run.density, random);
        const auto analyse = [&](TRegionWorkspace* kept) {
            TImageBox view;
            TQImage surface(&view);
            surface.SetBitmapSize(image.Width(), image.Height());
            TRegionStatistics statistics =
                MeasureRegions(image, run.threshold, surface, nullptr, &image, kept);
            return std::pair(std::move(statistics), view.Picture());
        };
        const auto [reused, reusedPicture] = analyse(&workspace);
        const auto [fresh, freshPicture] = analyse(nullptr);
        const std::string size = std::to_string(run.width) + "x" + std::to_string(run.height);
        EXPECT_EQ(reused.Count, fresh.Count) << size;
        EXPECT_EQ(reused.Sum, fresh.Sum) << size;
        EXPECT_TRUE(reused.Kept == fresh.Kept) << size;
        EXPECT_TRUE(
            std::ranges::equal(reused.Regions, fresh.Regions, {}, MeasuredValues, MeasuredValues))
            << size;
        EXPECT_TRUE(reusedPicture == freshPicture) << size;
    }
    SetKernelThreadCount(threadsBefore);
}

} // namespace
} // namespace varnolux
