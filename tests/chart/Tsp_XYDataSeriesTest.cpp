#include "chart/Tsp_XYDataSeries.h"

#include "TestPlot.h"
#include "chart/Tsp_SpectrLines.h"
#include "chart/Tsp_XYLine.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace varnolux {
namespace {

using test::TestPlot;

/// The obvious store the series is compared with.
struct ReferencePoints {
    std::vector<double> Xs;
    std::vector<double> Ys;

    int Count() const { return static_cast<int>(Xs.size()); }
};

void ExpectSame(const Tsp_XYDataSeries& series, const ReferencePoints& reference,
                const std::string& step, bool askExtremes)
{
    ASSERT_EQ(series.Count(), reference.Count()) << step;
    EXPECT_GE(series.Capacity(), series.Count()) << step;
    EXPECT_EQ(series.Capacity() % Tsp_XYDataSeries::GrowthStep, 0) << step;
    for (int i = 0; i < reference.Count(); ++i) {
        ASSERT_EQ(series.GetX(i), reference.Xs[i]) << step << " point " << i;
        ASSERT_EQ(series.GetY(i), reference.Ys[i]) << step << " point " << i;
    }
    if (!askExtremes)
        return;
    if (reference.Count() == 0) {
        EXPECT_FALSE(series.GetXMin()) << step;
        EXPECT_FALSE(series.GetYMax()) << step;
        return;
    }
    const auto [xMin, xMax] = std::minmax_element(reference.Xs.begin(), reference.Xs.end());
    const auto [yMin, yMax] = std::minmax_element(reference.Ys.begin(), reference.Ys.end());
    EXPECT_EQ(series.GetXMin(), *xMin) << step;
    EXPECT_EQ(series.GetXMax(), *xMax) << step;
    EXPECT_EQ(series.GetYMin(), *yMin) << step;
    EXPECT_EQ(series.GetYMax(), *yMax) << step;
}

TEST(XYDataSeriesTest, MatchesAReferenceUnderRandomChanges)
{
    std::mt19937 random(20240611);
    const auto uniform = [&](int lo, int hi) {
        return std::uniform_int_distribution(lo, hi)(random);
    };
    const auto value = [&] {
        return static_cast<double>(uniform(-50, 50)) / 4;
    };

    Tsp_XYLine series;
    ReferencePoints reference;
    for (int step = 0; step < 3000; ++step) {
        const int count = reference.Count();
        std::string name;
        switch (uniform(0, 9)) {
        case 0:
        case 1:
        case 2: {
            const double x = value(), y = value();
            series.AddXY(x, y);
            reference.Xs.push_back(x);
            reference.Ys.push_back(y);
            name = "AddXY";
            break;
        }
        case 3: {
            std::vector<double> xs(uniform(0, 20)), ys(uniform(0, 20));
            std::generate(xs.begin(), xs.end(), value);
            std::generate(ys.begin(), ys.end(), value);
            series.AddXYArrays(xs, ys);
            const std::size_t n = std::min(xs.size(), ys.size());
            reference.Xs.insert(reference.Xs.end(), xs.begin(), xs.begin() + n);
            reference.Ys.insert(reference.Ys.end(), ys.begin(), ys.begin() + n);
            name = "AddXYArrays";
            break;
        }
        case 4: {
            const int i = uniform(-1, count + 1);
            const double x = value(), y = value();
            series.InsertXY(i, x, y);
            if (i >= 0 && i <= count) {
                reference.Xs.insert(reference.Xs.begin() + i, x);
                reference.Ys.insert(reference.Ys.begin() + i, y);
            }
            name = "InsertXY";
            break;
        }
        case 5: {
            const int i = uniform(-1, count);
            const double x = value(), y = value();
            series.ReplaceXY(i, x, y);
            if (i >= 0 && i < count) {
                reference.Xs[i] = x;
                reference.Ys[i] = y;
            }
            name = "ReplaceXY";
            break;
        }
        case 6: {
            const int i = uniform(-1, count);
            series.Delete(i);
            if (i >= 0 && i < count) {
                reference.Xs.erase(reference.Xs.begin() + i);
                reference.Ys.erase(reference.Ys.begin() + i);
            }
            name = "Delete";
            break;
        }
        case 7: {
            int a = uniform(-2, count + 2), b = uniform(-2, count + 2);
            series.DeleteRange(a, b);
            if (b < a)
                std::swap(a, b);
            if (a >= 0 && a < count) {
                const int end = std::min(b, count - 1) + 1;
                reference.Xs.erase(reference.Xs.begin() + a, reference.Xs.begin() + end);
                reference.Ys.erase(reference.Ys.begin() + a, reference.Ys.begin() + end);
            }
            name = "DeleteRange";
            break;
        }
        case 8: {
            const int n = uniform(-5, count + 40);
            series.SetCapacity(n);
            if (n < count) {
                reference.Xs.resize(std::max(n, 0));
                reference.Ys.resize(std::max(n, 0));
            }
            name = "SetCapacity";
            break;
        }
        case 9:
            if (uniform(0, 5) == 0) {
                series.Clear();
                reference = {};
                name = "Clear";
            } else {
                series.FindMinMax();
                name = "FindMinMax";
            }
            break;
        }
        // Asking now and then lets several changes pile up on the cached extremes.
        ExpectSame(series, reference, "step " + std::to_string(step) + " " + name,
                   uniform(0, 4) == 0);
        if (HasFatalFailure())
            return;
    }
}

TEST(XYDataSeriesTest, EmptyAndSinglePoint)
{
    Tsp_XYLine series;
    EXPECT_EQ(series.Count(), 0);
    EXPECT_FALSE(series.GetXMin());
    EXPECT_FALSE(series.GetXMax());
    EXPECT_FALSE(series.GetYMin());
    EXPECT_FALSE(series.GetYMax());
    EXPECT_TRUE(std::isnan(series.GetX(0)));
    series.AddXY(3, -4);
    EXPECT_EQ(series.GetXMin(), 3);
    EXPECT_EQ(series.GetXMax(), 3);
    EXPECT_EQ(series.GetYMin(), -4);
    EXPECT_EQ(series.GetYMax(), -4);
    series.Clear();
    EXPECT_FALSE(series.GetYMin());
}

TEST(XYDataSeriesTest, CapacityGrowsInSteps)
{
    Tsp_XYLine series;
    EXPECT_EQ(series.Capacity(), 32);
    for (int i = 0; i < 32; ++i)
        series.AddXY(i, i);
    EXPECT_EQ(series.Capacity(), 32);
    series.AddXY(32, 32);
    EXPECT_EQ(series.Capacity(), 64);

    for (int i = 33; i < 256; ++i)
        series.AddXY(i, i);
    series.SetCapacity(0);
    EXPECT_EQ(series.Count(), 0);
    EXPECT_EQ(series.Capacity(), 32);

    series.SetCapacity(40);
    EXPECT_EQ(series.Capacity(), 64);
    series.Expand();
    EXPECT_EQ(series.Capacity(), 96);
    series.ExpandBy(40);
    EXPECT_EQ(series.Capacity(), 160);
    series.AdjustCapacity();
    EXPECT_EQ(series.Capacity(), 32);
}

TEST(XYDataSeriesTest, NegativeSizesDoNotCorruptTheStore)
{
    Tsp_XYLine series;
    for (int i = 0; i < 10; ++i)
        series.AddXY(i, i);
    series.ExpandBy(-100);
    EXPECT_EQ(series.Capacity(), 32);
    EXPECT_EQ(series.Count(), 10);
    series.SetCapacity(-5);
    EXPECT_EQ(series.Count(), 0);
    EXPECT_EQ(series.Capacity(), 32);
}

TEST(XYDataSeriesTest, DeleteRangeInEitherOrder)
{
    Tsp_XYLine series;
    for (int i = 0; i < 8; ++i)
        series.AddXY(i, 10 * i);
    series.DeleteRange(5, 2);
    ASSERT_EQ(series.Count(), 4);
    EXPECT_EQ(series.GetX(0), 0);
    EXPECT_EQ(series.GetX(1), 1);
    EXPECT_EQ(series.GetX(2), 6);
    EXPECT_EQ(series.GetX(3), 7);
    EXPECT_EQ(series.GetYMax(), 70);
    series.DeleteRange(3, 100);
    EXPECT_EQ(series.Count(), 3);
    EXPECT_EQ(series.GetYMax(), 60);
}

TEST(XYDataSeriesTest, ReplacedExtremeIsRecomputed)
{
    Tsp_XYLine series;
    series.AddXY(0, 5);
    series.AddXY(1, 9);
    series.AddXY(2, 1);
    EXPECT_EQ(series.GetYMax(), 9);
    series.ReplaceXY(1, 1, 2);
    EXPECT_EQ(series.GetYMax(), 5);
    EXPECT_EQ(series.GetYMin(), 1);
}

TEST(XYDataSeriesTest, UnlockedChangesRepaintAtOnce)
{
    TestPlot plot;
    Tsp_XYLine line;
    line.SetPlot(&plot);
    plot.Paint();
    plot.RepaintRequests = 0;

    line.AddXY(1, 1);
    line.AddXY(2, 2);
    EXPECT_EQ(plot.ImmediateRepaints, 2);
    EXPECT_FALSE(plot.FieldDrawn());
    EXPECT_TRUE(plot.SurroundingsDrawn());
    EXPECT_TRUE(plot.IsArranged());
}

TEST(XYDataSeriesTest, LockedFillRepaintsOnceWhenUnlocked)
{
    TestPlot plot;
    Tsp_XYLine lines[3];
    for (Tsp_XYLine& line : lines) {
        line.SetPlot(&plot);
        for (int k = 0; k < 256; ++k)
            line.AddXY(k, 0.5);
    }
    plot.Paint();
    plot.RepaintRequests = 0;
    plot.ImmediateRepaints = 0;

    for (Tsp_XYLine& line : lines) {
        line.SetCapacity(0);
        line.SetLockInvalidate(true);
        for (int k = 0; k < 256; ++k)
            line.AddXY(k, k / 256.0);
    }
    EXPECT_EQ(plot.RepaintRequests, 3); // one field repaint per emptied series
    EXPECT_EQ(plot.ImmediateRepaints, 0);
    for (Tsp_XYLine& line : lines)
        line.SetLockInvalidate(false);
    EXPECT_EQ(plot.RepaintRequests, 6);
    EXPECT_EQ(plot.ImmediateRepaints, 0);
    EXPECT_EQ(lines[2].Count(), 256);
    EXPECT_EQ(lines[2].GetYMax(), 255 / 256.0);
}

TEST(XYDataSeriesTest, InactiveOrDetachedSeriesDoNotRepaint)
{
    TestPlot plot;
    Tsp_XYLine line;
    line.AddXY(1, 1);
    line.SetPlot(&plot);
    line.SetActive(false);
    plot.RepaintRequests = 0;
    line.AddXY(2, 2);
    line.Clear();
    EXPECT_EQ(plot.RepaintRequests, 0);
    EXPECT_EQ(plot.ImmediateRepaints, 0);
    line.SetPlot(nullptr);
    line.AddXY(3, 3);
    EXPECT_EQ(line.Count(), 1);
}

TEST(SpectrLinesTest, ExtremesIncludeTheBase)
{
    Tsp_SpectrLines spectrum;
    EXPECT_FALSE(spectrum.GetYMin());
    spectrum.AddXY(1, 1);
    spectrum.AddXY(2, 3);
    spectrum.SetBaseYValue(5);
    EXPECT_EQ(spectrum.GetYMin(), 1);
    EXPECT_EQ(spectrum.GetYMax(), 5);
    spectrum.SetYOrigin(Tsp_YOrigin::yoXAxises);
    EXPECT_EQ(spectrum.GetYMin(), 0);
    EXPECT_EQ(spectrum.GetYMax(), 3);
}

} // namespace
} // namespace varnolux
