#include "drawing/TMySnap.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace varnolux {
namespace {

struct SnapCase {
    int Coordinate;
    int Snapped;
};

class Snapping : public testing::TestWithParam<SnapCase> {};

TEST_P(Snapping, JumpsOnlyWhenCloserThanSnapPixels)
{
    const TMySnap snap; // grid 20 × 20, 4 pixels
    const SnapCase& c = GetParam();
    EXPECT_EQ(snap.SnapPoint({c.Coordinate, 0}).x(), c.Snapped);
    EXPECT_EQ(snap.SnapPoint({0, c.Coordinate}).y(), c.Snapped);
}

INSTANTIATE_TEST_SUITE_P(Grid20, Snapping,
                         testing::Values(SnapCase{44, 44}, SnapCase{43, 40}, SnapCase{37, 40},
                                         SnapCase{36, 36}, SnapCase{40, 40}, SnapCase{0, 0},
                                         SnapCase{-43, -40}, SnapCase{-36, -36}, SnapCase{2, 0}));

TEST(TMySnap, AxesUseTheirOwnGridAndSnappingOffChangesNothing)
{
    TMySnap snap;
    ASSERT_TRUE(snap.SetGridSize(12.5, 30));
    EXPECT_EQ(snap.SnapPoint({24, 58}), QPoint(25, 60));
    EXPECT_EQ(snap.SnapPoint({37, 38}), QPoint(38, 38));
    snap.SetSnap(false);
    EXPECT_EQ(snap.SnapPoint({24, 58}), QPoint(24, 58));
}

TEST(TMySnap, AGridOfNoSizeIsRefused)
{
    TMySnap snap;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (const auto& [width, height] :
         {std::pair{0.0, 20.0}, {20.0, 0.0}, {-20.0, 20.0}, {nan, 20.0}, {20.0, inf}}) {
        EXPECT_FALSE(snap.SetGridSize(width, height));
        EXPECT_EQ(snap.GridWidth(), 20);
        EXPECT_EQ(snap.GridHeight(), 20);
        EXPECT_EQ(snap.SnapPoint({43, 37}), QPoint(40, 40));
    }
}

TEST(TMySnap, SnappingNearTheEndsOfTheIntegerRangeStaysInRange)
{
    TMySnap snap;
    ASSERT_TRUE(snap.SetGridSize(1e9, 1e9));
    snap.SetSnapPixels(std::numeric_limits<int>::max());
    const QPoint snapped =
        snap.SnapPoint({std::numeric_limits<int>::max(), std::numeric_limits<int>::min()});
    EXPECT_GT(snapped.x(), 0);
    EXPECT_LT(snapped.y(), 0);
}

TEST(TMySnap, ADragLandsTheNearestCornerOnTheGrid)
{
    const TMySnap snap;
    // Left 43 would move by -3, right 141 by -1: the smaller wins. Top 10 is far
    // from a line, bottom 98 moves by +2.
    EXPECT_EQ(snap.DragCorrection(QRect(QPoint(43, 10), QPoint(141, 98))), QPoint(-1, 2));
    // An edge already on the grid is the nearest: the other edge does not pull the
    // shape off it.
    EXPECT_EQ(snap.DragCorrection(QRect(QPoint(40, 50), QPoint(118, 152))), QPoint(0, 0));
    EXPECT_EQ(snap.DragCorrection(QRect(QPoint(50, 50), QPoint(150, 150))), QPoint(0, 0));
}

} // namespace
} // namespace varnolux
