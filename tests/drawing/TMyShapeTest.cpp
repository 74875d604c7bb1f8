#include "drawing/TMyEllipse.h"
#include "drawing/TMyRectangle.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <ostream>
#include <vector>

namespace varnolux {

void PrintTo(const TMyPoint& point, std::ostream* out)
{
    *out << "(" << point.x << ", " << point.y << ")";
}

namespace {

using TCorners = std::array<TMyPoint, TMyRectangle::CornerCount>;

TCorners Box(double left, double top, double right, double bottom)
{
    return {TMyPoint(left, top), TMyPoint(right, top), TMyPoint(right, bottom),
            TMyPoint(left, bottom)};
}

/// The corners of a w × h rectangle centred at (cx, cy), turned by degrees.
TCorners TurnedBox(double cx, double cy, double w, double h, double degrees)
{
    const double radians = degrees * std::acos(-1.0) / 180;
    const double c = std::cos(radians);
    const double s = std::sin(radians);
    TCorners corners;
    const std::array<std::array<double, 2>, 4> unit = {{{-1, -1}, {1, -1}, {1, 1}, {-1, 1}}};
    for (std::size_t i = 0; i < 4; ++i) {
        const double x = unit[i][0] * w / 2;
        const double y = unit[i][1] * h / 2;
        corners[i] = TMyPoint(cx + x * c - y * s, cy + x * s + y * c);
    }
    return corners;
}

std::vector<TMyPoint> Points(const TCorners& corners)
{
    return {corners.begin(), corners.end()};
}

TEST(TMyShape, BoundsCentreAndSizeFollowThePoints)
{
    TMyRectangle shape(7, "Exclusion", Box(5, 5, 635, 475), 0, QPen(Qt::red));
    EXPECT_EQ(shape.ID(), 7);
    EXPECT_EQ(shape.Name(), "Exclusion");
    EXPECT_EQ(shape.GetTopLeft(), TMyPoint(5, 5));
    EXPECT_EQ(shape.GetBottomRight(), TMyPoint(635, 475));
    EXPECT_EQ(shape.GetCenter(), TMyPoint(320, 240));
    EXPECT_EQ(shape.GetWidth(), 630);
    EXPECT_EQ(shape.GetHeight(), 470);
    EXPECT_EQ(shape.HotIndex(), -1);

    // Typed values move the shape; the centre follows at once.
    shape.SetPoint(1, TMyPoint(645, 5));
    shape.SetPoint(2, TMyPoint(645, 475));
    EXPECT_EQ(shape.GetCenter(), TMyPoint(325, 240));
    EXPECT_EQ(shape.GetWidth(), 640);
    shape.SetPoint(4, TMyPoint(0, 0));
    shape.SetPoint(-1, TMyPoint(0, 0));
    EXPECT_EQ(shape.GetWidth(), 640);
}

TEST(TMyShape, WidthAndHeightAreRoundedToTheNearestPixel)
{
    EXPECT_EQ(TMyRectangle(0, "", Box(0, 0, 100.4, 50.5), 0, {}).GetWidth(), 100);
    EXPECT_EQ(TMyRectangle(0, "", Box(0, 0, 100.4, 50.5), 0, {}).GetHeight(), 51);
}

TEST(TMyShape, WidthAndHeightAreMeasuredInTheShapesOwnOrientation)
{
    TMyRectangle turned(0, "", TurnedBox(200, 100, 100, 50, 30), 30, {});
    EXPECT_EQ(turned.GetWidth(), 100);
    EXPECT_EQ(turned.GetHeight(), 50);
    // The axis-aligned bounding box is larger.
    EXPECT_GT(turned.GetBottomRight().x - turned.GetTopLeft().x, 110);
    EXPECT_NEAR(turned.GetCenter().x, 200, 1e-3);
    EXPECT_NEAR(turned.GetCenter().y, 100, 1e-3);
}

TEST(TMyShape, ATurnedShapeResizesAlongItsOwnAxes)
{
    TMyRectangle turned(0, "", TurnedBox(200, 100, 100, 50, 30), 30, {});
    // The right side's middle, pulled 10 pixels further along the turned x axis.
    const QPointF right = turned.HandlePoint(5).ToQPointF();
    const QPointF alongX(std::cos(std::acos(-1.0) / 6), std::sin(std::acos(-1.0) / 6));
    ASSERT_TRUE(turned.Resize(5, right + 10 * alongX));
    EXPECT_EQ(turned.GetWidth(), 110);
    EXPECT_EQ(turned.GetHeight(), 50);
    EXPECT_EQ(turned.Angle(), 30);
}

TEST(TMyShape, SinglePrecisionHoldsTypedIntegerValuesAndNeverOverflows)
{
    // Values from an options file can lie anywhere in the integer range.
    TMyRectangle shape(0, "", Box(-2147483648.0, 0, 2147483647.0, 1), 0, {});
    EXPECT_EQ(shape.GetWidth(), 4294967296LL);
    const TMyPoint huge(1e300, -1e300);
    EXPECT_EQ(huge.x, std::numeric_limits<float>::max());
    EXPECT_EQ(huge.y, -std::numeric_limits<float>::max());
    TMyRectangle farOut(0, "", Box(-1e300, 0, 1e300, 1), 0, {});
    EXPECT_GT(farOut.GetWidth(), 0);
}

struct ResizeCase {
    const char* Name;
    int Handle;
    QPointF Target;
    bool Applied;
    TCorners Corners;
};

void PrintTo(const ResizeCase& c, std::ostream* out)
{
    *out << c.Name;
}

class RectangleResize : public testing::TestWithParam<ResizeCase> {};

TEST_P(RectangleResize, MovesTheHandleAndItsNeighboursButNeverTurnsTheShapeInsideOut)
{
    const ResizeCase& c = GetParam();
    TMyRectangle shape(0, "", Box(0, 0, 100, 100), 0, {});
    EXPECT_EQ(shape.Resize(c.Handle, c.Target), c.Applied);
    EXPECT_EQ(shape.Points(), Points(c.Corners));
    const QRectF bounds = shape.Bounds();
    EXPECT_EQ(shape.GetCenter(),
              TMyPoint((bounds.left() + bounds.right()) / 2, (bounds.top() + bounds.bottom()) / 2));
}

const TCorners Unchanged = Box(0, 0, 100, 100);

INSTANTIATE_TEST_SUITE_P(
    Handles, RectangleResize,
    testing::Values(ResizeCase{"top-left", 0, {10, 20}, true, Box(10, 20, 100, 100)},
                    ResizeCase{"top-right", 1, {120, -5}, true, Box(0, -5, 120, 100)},
                    ResizeCase{"bottom-right", 2, {150, 130}, true, Box(0, 0, 150, 130)},
                    ResizeCase{"bottom-left", 3, {-10, 90}, true, Box(-10, 0, 100, 90)},
                    // A side handle moves its side only, whatever the other coordinate.
                    ResizeCase{"top", 4, {300, 30}, true, Box(0, 30, 100, 100)},
                    ResizeCase{"right", 5, {130, -400}, true, Box(0, 0, 130, 100)},
                    ResizeCase{"bottom", 6, {-50, 140}, true, Box(0, 0, 100, 140)},
                    ResizeCase{"left", 7, {-20, 999}, true, Box(-20, 0, 100, 100)},
                    // Past the opposite corner the shape would turn inside out.
                    ResizeCase{"top-left past bottom-right", 0, {150, 150}, false, Unchanged},
                    ResizeCase{"top-right past bottom-left in y", 1, {150, 130}, false, Unchanged},
                    ResizeCase{"bottom-left past top-right in x", 3, {120, 50}, false, Unchanged},
                    ResizeCase{"top past bottom", 4, {50, 120}, false, Unchanged},
                    // Width and height stay at least two pixels, never zero.
                    ResizeCase{"left to one pixel", 7, {99, 50}, false, Unchanged},
                    ResizeCase{"left onto the right side", 7, {100, 50}, false, Unchanged},
                    ResizeCase{"left to two pixels", 7, {98, 50}, true, Box(98, 0, 100, 100)},
                    ResizeCase{"bottom-right to two pixels", 2, {2, 2}, true, Box(0, 0, 2, 2)},
                    ResizeCase{"bottom-right to 1.9 pixels", 2, {1.9, 50}, false, Unchanged},
                    ResizeCase{"no such handle", 8, {50, 50}, false, Unchanged}));

TEST(TMyShape, ADegenerateShapeCanBeResizedOutOfIt)
{
    // A circle of diameter 1 has radius 0: all four corners on the centre.
    TMyEllipse dot(0, "", Box(200, 200, 200, 200), 0, {});
    EXPECT_EQ(dot.GetWidth(), 0);
    ASSERT_TRUE(dot.Resize(2, {210, 210}));
    EXPECT_EQ(dot.Points(), Points(Box(200, 200, 210, 210)));
}

TEST(TMyShape, SideHandlesAreOfferedOnlyWhenShown)
{
    TMyEllipse ellipse(0, "Inclusion", Box(150, 150, 250, 250), 0, {});
    EXPECT_TRUE(ellipse.HandleOffered(6));
    EXPECT_EQ(ellipse.HandlePoint(6), TMyPoint(200, 250));
    EXPECT_EQ(ellipse.HandlePoint(7), TMyPoint(150, 200));
    ellipse.SetShowSideHot(false);
    for (int handle = 0; handle < ellipse.HandleCount(); ++handle)
        EXPECT_EQ(ellipse.HandleOffered(handle), handle < 4) << handle;
    EXPECT_FALSE(ellipse.HandleOffered(-1));
    EXPECT_FALSE(ellipse.HandleOffered(8));
}

TEST(TMyShape, AnEllipseIsHitOnItsOutlineAndInsideButNotInItsCorners)
{
    const TMyEllipse circle(0, "", Box(0, 0, 100, 100), 0, {});
    EXPECT_NEAR(circle.OutlineDistance({50, 0}), 0, 1e-9);
    EXPECT_NEAR(circle.OutlineDistance({100, 50}), 0, 1e-9);
    EXPECT_NEAR(circle.OutlineDistance({0, 0}), 50 * std::sqrt(2.0) - 50, 1e-9);
    EXPECT_NEAR(circle.OutlineDistance({50, 50}), 50, 1e-9);
    EXPECT_NEAR(circle.OutlineDistance({50, 60}), 40, 1e-9);
    EXPECT_TRUE(circle.Contains({50, 50}));
    EXPECT_TRUE(circle.Contains({50, 1}));
    EXPECT_FALSE(circle.Contains({3, 3}));

    const TMyRectangle box(0, "", Box(0, 0, 100, 100), 0, {});
    EXPECT_TRUE(box.Contains({3, 3}));
    EXPECT_NEAR(box.OutlineDistance({3, 50}), 3, 1e-9);
    EXPECT_NEAR(box.OutlineDistance({-4, -3}), 5, 1e-9);

    // A flat ellipse is hit along its line.
    const TMyEllipse flat(0, "", Box(0, 10, 100, 10), 0, {});
    EXPECT_NEAR(flat.OutlineDistance({50, 12}), 2, 1e-9);
}

TEST(TMyShape, AnEllipsesOutlineIsInscribedInItsCorners)
{
    const TMyEllipse ellipse(0, "", Box(10, 20, 110, 70), 0, {});
    EXPECT_EQ(ellipse.Outline().boundingRect(), QRectF(10, 20, 100, 50));
    const TMyEllipse turned(0, "", TurnedBox(0, 0, 100, 50, 90), 90, {});
    const QRectF bounds = turned.Outline().boundingRect();
    EXPECT_NEAR(bounds.width(), 50, 1e-3);
    EXPECT_NEAR(bounds.height(), 100, 1e-3);
}

TEST(TMyShape, AClonePreviewsWithoutTouchingTheShape)
{
    TMyEllipse ellipse(3, "Inclusion", Box(0, 0, 100, 100), 0, QPen(Qt::green));
    ellipse.SetShowSideHot(false);
    const std::unique_ptr<TMyShape> clone = ellipse.Clone();
    clone->MoveBy(10, 5);
    EXPECT_EQ(ellipse.GetTopLeft(), TMyPoint(0, 0));
    EXPECT_EQ(clone->GetTopLeft(), TMyPoint(10, 5));
    EXPECT_FALSE(clone->HandleOffered(4));
    EXPECT_FALSE(clone->Contains({3, 3}) || clone->Contains({13, 8}));
    ellipse.SetPointsFrom(*clone);
    EXPECT_EQ(ellipse.GetCenter(), TMyPoint(60, 55));
}

struct SquareCase {
    const char* Name;
    int Handle;
    QPoint Move;
    QPoint Expected;
};

void PrintTo(const SquareCase& c, std::ostream* out)
{
    *out << c.Name;
}

class ConstrainSquare : public testing::TestWithParam<SquareCase> {};

TEST_P(ConstrainSquare, MovesTheCornerAlongItsDiagonal)
{
    const SquareCase& c = GetParam();
    const QPoint corner(150, 150);
    QPoint to = corner + c.Move;
    TMyRectangle::ConstrainSquare(corner, to, c.Handle);
    EXPECT_EQ(to - corner, c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Handles, ConstrainSquare,
    testing::Values(SquareCase{"top-left", 0, {10, 3}, {10, 10}},
                    SquareCase{"top-left inward", 0, {-2, -7}, {-7, -7}},
                    SquareCase{"bottom-right", 2, {-6, 5}, {-6, -6}},
                    SquareCase{"top-right", 1, {4, -9}, {9, -9}},
                    SquareCase{"top-right inward", 1, {-9, 4}, {-9, 9}},
                    SquareCase{"bottom-left", 3, {-3, 8}, {-8, 8}},
                    // The leading move keeps its direction along the diagonal: right
                    // and a little down still moves the top-right corner right.
                    SquareCase{"top-right, right and down", 1, {9, 4}, {9, -9}},
                    SquareCase{"bottom-left, left and up", 3, {-9, -4}, {-9, 9}},
                    SquareCase{"side handle", 5, {9, 4}, {9, 4}}));

} // namespace
} // namespace varnolux
