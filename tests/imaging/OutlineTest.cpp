#include "ImagingTestSupport.h"
#include "imaging/TImageView.h"
#include "imaging/TQEdge.h"
#include "imaging/TQError.h"
#include "imaging/TQImage.h"
#include "imaging/TQROIL.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <random>
#include <utility>

namespace varnolux {
namespace {

using test::SetMaskRows;

std::vector<std::pair<int, int>> PointsOf(const TQListPoint& points)
{
    std::vector<std::pair<int, int>> positions;
    for (int i = 0; i < points.Count(); ++i)
        positions.emplace_back(points.Get(i).X, points.Get(i).Y);
    return positions;
}

struct TOutlineCase {
    const char* Name;
    std::vector<std::string> Mask;
    std::vector<std::pair<int, int>> Points; // columns outer, then rows
};

void PrintTo(const TOutlineCase& c, std::ostream* os)
{
    *os << c.Name;
}

class ExtractTest : public ::testing::TestWithParam<TOutlineCase> {};

TEST_P(ExtractTest, FindsThePixelsWithFewerThanFourSetNeighbours)
{
    TQROIL roi;
    SetMaskRows(roi, GetParam().Mask);
    TQEdge edge;
    edge.Extract(roi);
    EXPECT_EQ(PointsOf(edge), GetParam().Points);
}

INSTANTIATE_TEST_SUITE_P(
    Masks, ExtractTest,
    ::testing::Values(
        TOutlineCase{"empty", {}, {}}, TOutlineCase{"one_pixel", {"#"}, {{0, 0}}},
        TOutlineCase{"block",
                     {"###", "###", "###"},
                     {{0, 0}, {0, 1}, {0, 2}, {1, 0}, {1, 2}, {2, 0}, {2, 1}, {2, 2}}},
        TOutlineCase{
            "edge_of_the_plane_is_outline", {"##", "##"}, {{0, 0}, {0, 1}, {1, 0}, {1, 1}}},
        TOutlineCase{"a_line_is_outline_all_along",
                     {".....", "#####", "....."},
                     {{0, 1}, {1, 1}, {2, 1}, {3, 1}, {4, 1}}},
        TOutlineCase{"a_two_counts_as_set_but_is_no_point",
                     {"#2#", "###", "###"},
                     {{0, 0}, {0, 1}, {0, 2}, {1, 2}, {2, 0}, {2, 1}, {2, 2}}},
        TOutlineCase{"interior_of_a_larger_block",
                     {".....", ".###.", ".###.", ".###.", "....."},
                     {{1, 1}, {1, 2}, {1, 3}, {2, 1}, {2, 3}, {3, 1}, {3, 2}, {3, 3}}}),
    [](const auto& info) { return std::string(info.param.Name); });

/// The outline by its definition, pixel by pixel.
std::vector<std::pair<int, int>> ReferenceOutline(const TQROIL& roi)
{
    const auto set = [&](int x, int y) {
        return x >= 0 && x < roi.Width() && y >= 0 && y < roi.Height() && roi.Mask()[x][y] != 0;
    };
    std::vector<std::pair<int, int>> points;
    for (int x = 0; x < roi.Width(); ++x)
        for (int y = 0; y < roi.Height(); ++y)
            if (roi.Mask()[x][y] == 1 &&
                set(x, y - 1) + set(x, y + 1) + set(x + 1, y) + set(x - 1, y) < 4)
                points.emplace_back(x, y);
    return points;
}

TEST(Extract, EqualsTheReferenceOnRandomMasks)
{
    std::mt19937 random(3);
    for (int round = 0; round < 300; ++round) {
        // Columns shorter and longer than the 16-row blocks, mostly set, with bytes of 2.
        const int width = 1 + int(random() % 20);
        const int height = 1 + int(random() % 70);
        TQROIL roi(width, height);
        const unsigned holes = 2 + random() % 30;
        for (auto& m : roi.Mask().Elements())
            m = random() % holes == 0 ? 0 : random() % 9 == 0 ? 2 : 1;
        TQEdge outline;
        outline.Extract(roi);
        ASSERT_EQ(PointsOf(outline), ReferenceOutline(roi)) << width << "x" << height;
    }
}

TEST(Extract, ClearsThePreviousPointsAndKeepsTheOrigin)
{
    TQROIL roi;
    SetMaskRows(roi, {"#"});
    roi.OriginX = 5;
    roi.OriginY = 6;
    TQEdge edge;
    edge.Extract(roi);
    edge.Extract(roi);
    ASSERT_EQ(edge.Count(), 1);
    EXPECT_EQ(edge.Get(0).OriginX, 5);
    EXPECT_EQ(edge.Get(0).OriginY, 6);
    EXPECT_EQ(edge.Get(0).Colour, 0xff0000u);
}

TEST(PointList, NewPointsTakeTheListColourAndSetColourRecolours)
{
    TQListPoint points;
    EXPECT_EQ(points.Colour, 0xff0000u);
    points.AddPoint(1, 2, 0, 0);
    points.Colour = 0x00ff00;
    points.AddPoint(3, 4, 0, 0);
    EXPECT_EQ(points.Get(0).Colour, 0xff0000u);
    EXPECT_EQ(points.Get(1).Colour, 0x00ff00u);
    points.SetColour(0x0000ff);
    EXPECT_EQ(points.Colour, 0x0000ffu);
    EXPECT_EQ(points.Get(0).Colour, 0x0000ffu);
    EXPECT_EQ(points.Get(1).Colour, 0x0000ffu);
}

TEST(PointList, KeepsOrderThroughAddInsertAndClear)
{
    TQListPoint points;
    points.AddPoint(1, 0, 0, 0);
    points.AddPoint(3, 0, 0, 0);
    points.Insert(1, std::make_unique<TQPoint>(2, 0, 0, 0));
    EXPECT_EQ(PointsOf(points), (std::vector<std::pair<int, int>>{{1, 0}, {2, 0}, {3, 0}}));
    points.Clear();
    EXPECT_EQ(points.Count(), 0);
}

TEST(PointList, HandsItsSurfaceToEveryPointAndDrawsThem)
{
    TImageBox box;
    TQImage surface(&box);
    surface.SetBitmapSize(6, 2);
    TQListPoint points;
    points.AddPoint(0, 0, 0, 0);
    points.SetImage(&surface);
    points.AddPoint(4, 0, 0, 0);
    EXPECT_EQ(points.Get(0).Image, &surface);
    EXPECT_EQ(points.Get(1).Image, &surface);
    points.Show(false);
    std::string row;
    for (int x = 0; x < 6; ++x)
        row += box.Picture().Pixel(x, 1) == 0xff0000 ? '#' : '.';
    EXPECT_EQ(row, "##..##");
}

TEST(PointList, SavesIndexAndPositionOfEveryPoint)
{
    const test::TempFolder folder;
    TQListPoint points;
    points.AddPoint(3, 4, 100, 100);
    points.AddPoint(-1, 7, 0, 0);
    points.SaveToTextFile(folder.File("points.txt"));
    EXPECT_EQ(test::ReadFile(folder.File("points.txt")), "i\tx\ty\n0\t3\t4\n1\t-1\t7\n");
    EXPECT_THROW(points.SaveToTextFile(folder.File("no/such/folder.txt")), TQError);
}

} // namespace
} // namespace varnolux
