#include "analysis/MeasureShape.h"

#include "imaging/TQROIL.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace varnolux {
namespace {

/// A mask from rows of '#' (set) and '.' (clear).
TQROIL MaskFromRows(const std::vector<std::string>& rows)
{
    const int height = int(rows.size());
    const int width = height ? int(rows[0].size()) : 0;
    TQROIL roi(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            roi.Mask()[x][y] = rows[size_t(y)][size_t(x)] == '#' ? 1 : 0;
    return roi;
}

struct TShapeCase {
    const char* name;
    std::vector<std::string> rows;
    double area;
};

class BitQuadArea : public testing::TestWithParam<TShapeCase> {};

TEST_P(BitQuadArea, MeasuresTheShape)
{
    const TQROIL roi = MaskFromRows(GetParam().rows);
    EXPECT_EQ(Area(roi), GetParam().area);
    EXPECT_EQ(BitQuadAreaEighths(CountBitQuads(roi)), std::int64_t(GetParam().area * 8));
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, BitQuadArea,
    testing::Values(
        TShapeCase{"Empty", {"...", "...", "..."}, 0.0}, TShapeCase{"OnePixel", {"#"}, 1.0},
        TShapeCase{"OnePixelInSurround", {"...", ".#.", "..."}, 1.0},
        TShapeCase{"TwoSideBySide", {"....", ".##.", "...."}, 2.0},
        TShapeCase{"Block3x3", {".....", ".###.", ".###.", ".###.", "....."}, 9.0},
        TShapeCase{"BlockAtTheEdges", {"###", "###", "###"}, 9.0},
        TShapeCase{"LineOfFive", {"#####"}, 5.0}, TShapeCase{"DiagonalPair", {"#.", ".#"}, 2.25},
        TShapeCase{"LOfThree", {"#.", "##"}, 3.125}, TShapeCase{"Plus", {".#.", "###", ".#."}, 5.5},
        TShapeCase{"Disc21", {".###.", "#####", "#####", "#####", ".###."}, 21.5},
        TShapeCase{"Rectangle4x2", {"####", "####"}, 8.0}),
    [](const testing::TestParamInfo<TShapeCase>& info) { return info.param.name; });

TEST(MeasureShape, ComputesPerimeterAndCompactnessOnlyForAShape)
{
    const TShapeMeasures empty = MeasureShape(MaskFromRows({"..", ".."}));
    EXPECT_FALSE(empty.Ok);
    EXPECT_EQ(empty.Area, 0.0);
    EXPECT_EQ(empty.Compactness, -1.0);

    // A single pixel: four one-pixel windows, so Q1 = 4.
    const TShapeMeasures pixel = MeasureShape(MaskFromRows({"#"}));
    EXPECT_TRUE(pixel.Ok);
    EXPECT_DOUBLE_EQ(pixel.Perimeter, 4 * 0.7071067);
    EXPECT_DOUBLE_EQ(pixel.Compactness, pixel.Perimeter * pixel.Perimeter * 0.07957747154594767);
}

TEST(MeasureShape, CountsEveryWindowOverlappingThePlane)
{
    const TBitQuadCounts counts = CountBitQuads(MaskFromRows({"...", "..."}));
    EXPECT_EQ(counts[0], 4 * 3);
    const TBitQuadCounts none = CountBitQuads(TQROIL());
    EXPECT_EQ(none[0], 1);
}

} // namespace
} // namespace varnolux

namespace varnolux {
namespace {

/// Gray's area by its definition: every window classified, quarters and eighths added.
double ReferenceArea(const TQROIL& roi)
{
    const auto set = [&](int x, int y) {
        return x >= 0 && x < roi.Width() && y >= 0 && y < roi.Height() && roi.Mask()[x][y] != 0 ? 1
                                                                                                : 0;
    };
    TBitQuadCounts counts{};
    for (int y = -1; y < roi.Height(); ++y)
        for (int x = -1; x < roi.Width(); ++x)
            ++counts[size_t(3 * set(x, y) + set(x + 1, y) + set(x, y + 1) + 3 * set(x + 1, y + 1))];
    return MeasureShape(counts).Area;
}

TEST(Area, EqualsTheWindowByWindowAreaOnRandomMasks)
{
    std::mt19937 random(11);
    for (int round = 0; round < 400; ++round) {
        // Columns shorter and longer than the 16-row blocks; bytes of 2 count as set.
        const int width = 1 + int(random() % 25);
        const int height = 1 + int(random() % (round % 2 ? 80 : 18));
        TQROIL roi(width, height);
        const unsigned density = 1 + random() % 10;
        for (auto& m : roi.Mask().Elements())
            m = random() % 10 < density ? (random() % 7 == 0 ? 2 : 1) : 0;
        ASSERT_EQ(Area(roi), ReferenceArea(roi)) << width << "x" << height;
        ASSERT_EQ(Area(roi), MeasureShape(roi).Area);
    }
    EXPECT_EQ(Area(TQROIL()), 0.0);
    TQROIL one(1, 1);
    one.SetMask(1);
    EXPECT_EQ(Area(one), 1.0);
    one.SetMask(0);
    EXPECT_EQ(Area(one), 0.0);
}

} // namespace
} // namespace varnolux
