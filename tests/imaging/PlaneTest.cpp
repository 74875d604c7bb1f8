#include "ImagingTestSupport.h"
#include "imaging/TImageView.h"
#include "imaging/TQImage.h"
#include "imaging/TQROIRGB.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <numeric>
#include <typeinfo>

namespace varnolux {
namespace {

using test::Columns;
using test::MaskRows;
using test::SetMaskRows;

TEST(Plane, IsIndexedByColumnThenRow)
{
    TPlane<std::uint8_t> plane(3, 2);
    for (int x = 0; x < 3; ++x)
        for (int y = 0; y < 2; ++y)
            plane[x][y] = std::uint8_t(10 * x + y);
    const std::vector<std::uint8_t> block(plane.Elements().begin(), plane.Elements().end());
    EXPECT_EQ(block, (std::vector<std::uint8_t>{0, 1, 10, 11, 20, 21}));
}

TEST(Plane, AssignmentOfTheSameSizeCopiesIntoTheMemoryThere)
{
    TPlane<std::uint8_t> plane(3, 2);
    TPlane<std::uint8_t> other(3, 2);
    std::iota(other.Elements().begin(), other.Elements().end(), std::uint8_t(1));
    const std::uint8_t* memory = plane.Elements().data();
    plane = other;
    EXPECT_EQ(plane.Elements().data(), memory);
    EXPECT_TRUE(std::ranges::equal(plane.Elements(), other.Elements()));
    EXPECT_EQ(plane[2][1], 6);

    const TPlane<std::uint8_t> larger(4, 2);
    plane = larger;
    EXPECT_EQ(plane.Width(), 4);
    EXPECT_EQ(plane.Elements().size(), 8u);
    plane = TPlane<std::uint8_t>();
    EXPECT_FALSE(plane.IsAllocated());
}

TEST(Bitmap, AssignmentOfTheSameSizeCopiesIntoTheMemoryThere)
{
    TBitmap24 bitmap(5, 3);
    TBitmap24 other(5, 3);
    other.SetPixel(4, 2, MakeColour(1, 2, 3));
    const std::uint8_t* memory = bitmap.Bits();
    bitmap = other;
    EXPECT_EQ(bitmap.Bits(), memory);
    EXPECT_EQ(bitmap, other);
    bitmap = TBitmap24(2, 7);
    EXPECT_EQ(bitmap.Height(), 7);
    bitmap = other;
    EXPECT_EQ(bitmap, other);
}

TEST(Roi, ColourSizeKeepsTheColourPlanesOfThatSizeOnly)
{
    TQROIRGB image(4, 3);
    image.Red()[3][2] = 9;
    const std::uint8_t* red = image.Red().Elements().data();
    image.SetColourSize(4, 3);
    EXPECT_EQ(image.Red().Elements().data(), red);
    EXPECT_EQ(image.Red()[3][2], 9);
    EXPECT_FALSE(image.Values().IsAllocated());
    EXPECT_FALSE(image.Grey().IsAllocated());
    image.SetColourSize(2, 5);
    EXPECT_EQ(image.Width(), 2);
    EXPECT_EQ(image.Height(), 5);
    for (const auto* plane : {&image.Mask(), &image.Red(), &image.Green(), &image.Blue()})
        EXPECT_EQ(plane->Size(), 10u);
    image.SetColourSize(0, 5);
    EXPECT_EQ(image.Width(), 0);
    EXPECT_FALSE(image.Red().IsAllocated());
}

TEST(Roi, ConstructorsGiveTheirSizes)
{
    const TQROIRGB empty;
    EXPECT_EQ(empty.Width(), 0);
    EXPECT_EQ(empty.Height(), 0);
    EXPECT_FALSE(empty.Mask().IsAllocated());
    EXPECT_EQ(empty.Image, nullptr);

    const TQROIRGB sized(4, 3);
    for (const auto* plane : {&sized.Mask(), &sized.Values(), &sized.Red(), &sized.Green(),
                              &sized.Blue(), &sized.Grey()}) {
        EXPECT_EQ(plane->Width(), 4);
        EXPECT_EQ(plane->Height(), 3);
    }
    EXPECT_EQ(sized.OriginX, 0);
}

TEST(Roi, ANonPositiveSizeIsEmpty)
{
    TQROIRGB roi(5, 0);
    EXPECT_EQ(roi.Width(), 0);
    roi.SetSize(-2, 4);
    EXPECT_EQ(roi.Width(), 0);
    EXPECT_EQ(roi.Height(), 0);
    EXPECT_FALSE(roi.Red().IsAllocated());
}

TEST(Roi, CopyConstructorCopiesEveryPlaneOriginAndImage)
{
    std::mt19937 random(1);
    TQROIRGB roi = test::RandomColourRoi(3, 2, random);
    roi.Mask()[1][1] = 0;
    roi.OriginX = 7;
    roi.OriginY = 9;
    TQImage surface;
    roi.Image = &surface;

    const TQROIRGB copy(roi);
    EXPECT_EQ(copy.Width(), 3);
    EXPECT_EQ(copy.OriginX, 7);
    EXPECT_EQ(copy.OriginY, 9);
    EXPECT_EQ(copy.Image, &surface);
    EXPECT_EQ(Columns(copy.Mask()), Columns(roi.Mask()));
    EXPECT_EQ(Columns(copy.Values()), Columns(roi.Values()));
    EXPECT_EQ(Columns(copy.Red()), Columns(roi.Red()));
    EXPECT_EQ(Columns(copy.Green()), Columns(roi.Green()));
    EXPECT_EQ(Columns(copy.Blue()), Columns(roi.Blue()));
    EXPECT_EQ(Columns(copy.Grey()), Columns(roi.Grey()));
}

TEST(Roi, NewOfSizeMakesAnObjectOfTheSameClass)
{
    const TQROIL mask;
    const TQROIU grey;
    const TQROIRGB colour;
    EXPECT_EQ(typeid(*mask.NewOfSize(2, 3)), typeid(TQROIL));
    EXPECT_EQ(typeid(*grey.NewOfSize(2, 3)), typeid(TQROIU));
    const auto made = colour.NewOfSize(2, 3);
    EXPECT_EQ(typeid(*made), typeid(TQROIRGB));
    EXPECT_EQ(made->Width(), 2);
    EXPECT_EQ(static_cast<const TQROIRGB&>(*made).Red().Height(), 3);
}

TEST(Roi, MaskAssignCopiesOnlyOriginSizeAndMask)
{
    std::mt19937 random(2);
    TQROIRGB source = test::RandomColourRoi(2, 2, random);
    source.Mask()[0][1] = 0;
    source.OriginX = 4;
    TQROIRGB target = test::RandomColourRoi(2, 2, random);
    const auto targetRed = Columns(target.Red());
    const auto targetValues = Columns(target.Values());

    target.TQROIL::Assign(source);
    EXPECT_EQ(target.OriginX, 4);
    EXPECT_EQ(Columns(target.Mask()), Columns(source.Mask()));
    EXPECT_EQ(Columns(target.Red()), targetRed);
    EXPECT_EQ(Columns(target.Values()), targetValues);
}

TEST(Roi, MaskAssignOfAnotherSizeKeepsEveryPlaneInStep)
{
    TQROIL source(5, 4);
    source.SetMask(1);
    TQROIRGB target(2, 2);
    target.TQROIL::Assign(source);
    EXPECT_EQ(target.Width(), 5);
    EXPECT_EQ(target.Height(), 4);
    for (const auto* plane : {&target.Values(), &target.Red(), &target.Grey()}) {
        EXPECT_EQ(plane->Width(), 5);
        EXPECT_EQ(plane->Height(), 4);
    }
}

TEST(Roi, FullAssignCopiesValuesAndColours)
{
    std::mt19937 random(3);
    const TQROIRGB source = test::RandomColourRoi(3, 3, random);
    TQROIRGB target;
    target.Assign(source);
    EXPECT_EQ(Columns(target.Values()), Columns(source.Values()));
    EXPECT_EQ(Columns(target.Blue()), Columns(source.Blue()));
    EXPECT_EQ(Columns(target.Grey()), Columns(source.Grey()));

    TQROIU grey;
    grey.Assign(source);
    EXPECT_EQ(Columns(grey.Values()), Columns(source.Values()));
}

TEST(Roi, PasteCopiesMaskBytesByOrigin)
{
    TQROIL target;
    SetMaskRows(target, {"....", "....", "...."});
    target.OriginX = 10;
    target.OriginY = 20;
    TQROIL source;
    SetMaskRows(source, {"#.", "##"});
    source.OriginX = 12; // lands at columns 2 and 3 (the last one is dropped after it)
    source.OriginY = 21;

    target.Paste(source, false);
    EXPECT_EQ(MaskRows(target), (std::vector<std::string>{"....", "..#.", "..##"}));

    SetMaskRows(target, {"####", "####", "####"});
    target.Paste(source, false);
    EXPECT_EQ(MaskRows(target), (std::vector<std::string>{"####", "####", "####"}));
    target.Paste(source, true);
    EXPECT_EQ(MaskRows(target), (std::vector<std::string>{"####", "###.", "####"}));
}

TEST(Roi, PasteDropsPixelsOutsideOnEverySide)
{
    TQROIL target;
    SetMaskRows(target, {"..", ".."});
    TQROIL source;
    SetMaskRows(source, {"###", "###", "###"});
    source.OriginX = -1;
    source.OriginY = -1;
    target.Paste(source, false);
    EXPECT_EQ(MaskRows(target), (std::vector<std::string>{"##", "##"}));

    SetMaskRows(target, {"..", ".."});
    source.OriginX = 1'000'000'000;
    target.Paste(source, true);
    EXPECT_EQ(MaskRows(target), (std::vector<std::string>{"..", ".."}));
}

TEST(Roi, PasteMovesValuesAndColoursWithTheMask)
{
    TQROIRGB target(3, 1);
    target.SetMask(0);
    for (auto* plane : {&target.Values(), &target.Red(), &target.Grey()})
        for (auto& v : plane->Elements())
            v = 0;
    TQROIRGB source(1, 1);
    source.SetMask(1);
    source.Values()[0][0] = 5;
    source.Red()[0][0] = 6;
    source.Green()[0][0] = 7;
    source.Blue()[0][0] = 8;
    source.Grey()[0][0] = 9;
    source.OriginX = 2;
    target.Paste(source, false);
    EXPECT_EQ(target.Mask()[2][0], 1);
    EXPECT_EQ(target.Values()[2][0], 5);
    EXPECT_EQ(target.Red()[2][0], 6);
    EXPECT_EQ(target.Green()[2][0], 7);
    EXPECT_EQ(target.Blue()[2][0], 8);
    EXPECT_EQ(target.Grey()[2][0], 9);
    EXPECT_EQ(target.Mask()[1][0], 0);
}

TEST(Roi, SetMaskSetsEveryByte)
{
    TQROIL roi(3, 2);
    roi.SetMask(1);
    EXPECT_EQ(MaskRows(roi), (std::vector<std::string>{"###", "###"}));
}

TEST(IntersectMask, KeepsPixelsSetInBothAndReportsChanges)
{
    TQROIRGB roi;
    SetMaskRows(roi, {"#2.", "##."});
    TQROIU other;
    SetMaskRows(other, {"##.", ".#3"});
    EXPECT_TRUE(roi.IntersectMask(other));
    EXPECT_EQ(MaskRows(roi), (std::vector<std::string>{"##.", ".#."}));

    TQROIU same;
    SetMaskRows(same, {"###", "###"});
    EXPECT_FALSE(roi.IntersectMask(same));
}

TEST(IntersectMask, AnotherSizeChangesNothing)
{
    TQROIRGB roi;
    SetMaskRows(roi, {"#.", ".#"});
    TQROIU other(3, 2);
    other.SetMask(0);
    EXPECT_FALSE(roi.IntersectMask(other));
    EXPECT_EQ(MaskRows(roi), (std::vector<std::string>{"#.", ".#"}));
}

TEST(LoadFromBitmap, SplitsTheChannelsAndAveragesGrey)
{
    TBitmap24 bitmap(2, 1);
    bitmap.SetPixel(0, 0, MakeColour(255, 255, 254));
    bitmap.SetPixel(1, 0, MakeColour(10, 20, 30));
    for (int channel : {0, 1, 2, 3, 9}) {
        TQROIRGB roi;
        roi.LoadFromBitmap(bitmap, channel);
        ASSERT_EQ(roi.Width(), 2);
        EXPECT_EQ(roi.Red()[0][0], 255);
        EXPECT_EQ(roi.Blue()[0][0], 254);
        EXPECT_EQ(roi.Grey()[0][0], 254);
        EXPECT_EQ(roi.Grey()[1][0], 20);
        EXPECT_EQ(MaskRows(roi), (std::vector<std::string>{"##"}));
        const int expected[] = {20, 10, 20, 30, 20};
        const int index = channel == 9 ? 4 : channel;
        EXPECT_EQ(roi.Values()[1][0], expected[index]) << "channel " << channel;

        TQROIU grey;
        grey.LoadFromBitmap(bitmap, channel);
        EXPECT_EQ(grey.Values()[1][0], expected[index]) << "channel " << channel;
    }
}

TEST(LoadFromBitmap, RowZeroIsTheTopRow)
{
    TBitmap24 bitmap(1, 2);
    bitmap.SetPixel(0, 0, MakeColour(1, 2, 3));
    bitmap.SetPixel(0, 1, MakeColour(4, 5, 6));
    TQROIRGB roi;
    roi.LoadFromBitmap(bitmap, 0);
    EXPECT_EQ(roi.Red()[0][0], 1);
    EXPECT_EQ(roi.Red()[0][1], 4);
}

TEST(LoadFromBitmap, MatchesPixelByPixelOnAWideBitmap)
{
    std::mt19937 random(4);
    const TBitmap24 bitmap = test::RandomBitmap(37, 5, random);
    TQROIRGB roi;
    roi.LoadFromBitmap(bitmap, 0);
    for (int x = 0; x < 37; ++x)
        for (int y = 0; y < 5; ++y) {
            const TColour colour = bitmap.Pixel(x, y);
            ASSERT_EQ(roi.Red()[x][y], RedOf(colour));
            ASSERT_EQ(roi.Green()[x][y], GreenOf(colour));
            ASSERT_EQ(roi.Blue()[x][y], BlueOf(colour));
        }
}

TEST(LoadFromBitmap, ReportsEveryTwentiethColumnToSlotThree)
{
    const test::TProgressRecorder progress({3});
    TQROIRGB roi;
    roi.LoadFromBitmap(TBitmap24(45, 2), 0);
    EXPECT_EQ(progress.Calls.front(), (test::TProgressCall{3, "range", 0, 44}));
    EXPECT_EQ(progress.Positions(3), (std::vector<int>{0, 0, 20, 40}));
}

TEST(LoadFromBitmap, ANonPositiveIntervalStepsEveryColumn)
{
    const test::TProgressRecorder progress({3});
    TQStatus& status = TQStatus::Instance();
    status.UpdateInterval = 0;
    TQROIRGB roi;
    roi.LoadFromBitmap(TBitmap24(3, 1), 0);
    status.UpdateInterval = 20;
    EXPECT_EQ(progress.Positions(3), (std::vector<int>{0, 0, 1, 2}));
}

TEST(Draw, PaintsMaskedPixelsInEachClassesColour)
{
    TQROIRGB roi(2, 1);
    roi.Mask()[0][0] = 1;
    roi.Mask()[1][0] = 0;
    roi.Red()[0][0] = 10;
    roi.Green()[0][0] = 20;
    roi.Blue()[0][0] = 30;
    roi.Values()[0][0] = 99;

    TBitmap24 bitmap(2, 1);
    bitmap.Fill(MakeColour(1, 1, 1));
    roi.Draw(bitmap);
    EXPECT_EQ(bitmap.Pixel(0, 0), MakeColour(10, 20, 30));
    EXPECT_EQ(bitmap.Pixel(1, 0), MakeColour(1, 1, 1));

    TQROIU grey;
    grey.Assign(roi);
    grey.Draw(bitmap);
    EXPECT_EQ(bitmap.Pixel(0, 0), MakeColour(99, 99, 99));

    TQROIL mask;
    mask.Assign(roi);
    mask.Draw(bitmap);
    EXPECT_EQ(bitmap.Pixel(0, 0), MakeColour(255, 255, 255));
    EXPECT_EQ(bitmap.Pixel(1, 0), MakeColour(1, 1, 1));
}

TEST(Draw, AnEmptyRoiDrawsNothing)
{
    TBitmap24 bitmap(2, 2);
    const TBitmap24 before = bitmap;
    TQROIL().Draw(bitmap);
    EXPECT_EQ(bitmap, before);
}

struct TClipCase {
    int OriginX, OriginY;
    std::vector<std::string> Expected; // 4 × 3 bitmap, '#' painted
};

void PrintTo(const TClipCase& c, std::ostream* os)
{
    *os << "origin " << c.OriginX << ", " << c.OriginY;
}

class DrawClipTest : public ::testing::TestWithParam<TClipCase> {};

TEST_P(DrawClipTest, PaintsOnlyInsideTheBitmap)
{
    const TClipCase& c = GetParam();
    TQROIL roi(2, 2);
    roi.SetMask(1);
    roi.OriginX = c.OriginX;
    roi.OriginY = c.OriginY;
    TBitmap24 bitmap(4, 3);
    roi.Draw(bitmap);
    std::vector<std::string> painted(3, std::string(4, '.'));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            if (bitmap.Pixel(x, y) == 0xffffff)
                painted[std::size_t(y)][std::size_t(x)] = '#';
    EXPECT_EQ(painted, c.Expected);
}

INSTANTIATE_TEST_SUITE_P(Origins, DrawClipTest,
                         ::testing::Values(TClipCase{0, 0, {"##..", "##..", "...."}},
                                           TClipCase{3, 2, {"....", "....", "...#"}},
                                           TClipCase{-1, -1, {"#...", "....", "...."}},
                                           TClipCase{-5, 0, {"....", "....", "...."}},
                                           TClipCase{4, 0, {"....", "....", "...."}},
                                           TClipCase{1, 5, {"....", "....", "...."}}));

} // namespace
} // namespace varnolux
