#include "ImagingTestSupport.h"
#include "imaging/TQError.h"
#include "imaging/TQROIRGB.h"

#include <cctype>
#include <functional>
#include <gtest/gtest.h>

namespace varnolux {
namespace {

using test::Columns;
using test::MaskRows;
using TByteTemplate = TQROITemplate<std::uint8_t>;

/// A one-row ROI of the given class with these values, its mask all 1.
template <typename Roi>
Roi Row(std::vector<int> values)
{
    Roi roi(int(values.size()), 1);
    roi.SetMask(1);
    for (std::size_t x = 0; x < values.size(); ++x)
        roi.Values()[int(x)][0] = std::uint8_t(values[x]);
    return roi;
}

template <typename Roi>
std::vector<int> ValuesOf(const Roi& roi)
{
    std::vector<int> values;
    for (int x = 0; x < roi.Width(); ++x)
        values.push_back(roi.Values()[x][0]);
    return values;
}

struct TArithmeticCase {
    const char* Name;
    std::function<std::vector<int>()> Result;
    std::vector<int> Expected;
};

void PrintTo(const TArithmeticCase& c, std::ostream* os)
{
    *os << c.Name;
}

class PixelArithmeticTest : public ::testing::TestWithParam<TArithmeticCase> {};

TEST_P(PixelArithmeticTest, FollowsItsRule)
{
    EXPECT_EQ(GetParam().Result(), GetParam().Expected) << GetParam().Name;
}

template <typename Roi>
std::function<std::vector<int>()> Binary(std::vector<int> a, std::vector<int> b,
                                         void (Roi::*operation)(const TByteTemplate&, bool))
{
    return [=] {
        Roi roi = Row<Roi>(a);
        (roi.*operation)(Row<Roi>(b), false);
        return ValuesOf(roi);
    };
}

template <typename Roi>
std::function<std::vector<int>()> Constant(std::vector<int> a, double c,
                                           void (Roi::*operation)(double, bool))
{
    return [=] {
        Roi roi = Row<Roi>(a);
        (roi.*operation)(c, false);
        return ValuesOf(roi);
    };
}

INSTANTIATE_TEST_SUITE_P(
    Rules, PixelArithmeticTest,
    ::testing::Values(
        TArithmeticCase{"template subtract wraps",
                        Binary<TByteTemplate>({10, 200}, {20, 100}, &TByteTemplate::Subtract),
                        {246, 100}},
        TArithmeticCase{"template add wraps",
                        Binary<TByteTemplate>({200, 1}, {100, 2}, &TByteTemplate::Add),
                        {44, 3}},
        TArithmeticCase{"template multiply wraps",
                        Binary<TByteTemplate>({20, 3}, {13, 4}, &TByteTemplate::Multiply),
                        {4, 12}},
        TArithmeticCase{"template add constant truncates then wraps",
                        Constant<TByteTemplate>({250, 5, 100}, 10.7, &TByteTemplate::AddConstant),
                        {4, 15, 110}},
        TArithmeticCase{"template add negative constant wraps",
                        Constant<TByteTemplate>({5}, -7.5, &TByteTemplate::AddConstant),
                        {254}},
        TArithmeticCase{"template multiply constant wraps",
                        Constant<TByteTemplate>({100, 3}, 2.6, &TByteTemplate::MultiplyConstant),
                        {4, 7}},
        TArithmeticCase{
            "grey subtract halves toward zero around 128",
            Binary<TQROIU>({10, 20, 0, 255, 11, 0}, {20, 10, 255, 0, 0, 11}, &TQROIU::Subtract),
            {123, 133, 1, 255, 133, 123}},
        TArithmeticCase{"grey add stretches both to 0..127 first",
                        Binary<TQROIU>({0, 100, 200}, {50, 50, 250}, &TQROIU::Add),
                        {0, 63, 254}},
        TArithmeticCase{"grey add constant clamps",
                        Constant<TQROIU>({250, 5, 100}, 10.0, &TQROIU::AddConstant),
                        {255, 15, 110}},
        TArithmeticCase{"grey add negative constant clamps",
                        Constant<TQROIU>({5, 100}, -10.9, &TQROIU::AddConstant),
                        {0, 89}},
        TArithmeticCase{"grey multiply maps the product range onto 0..255",
                        Binary<TQROIU>({1, 2, 3}, {1, 2, 3}, &TQROIU::Multiply),
                        {0, 95, 255}},
        TArithmeticCase{"grey multiply with equal products does nothing",
                        Binary<TQROIU>({4, 4}, {7, 7}, &TQROIU::Multiply),
                        {4, 4}},
        TArithmeticCase{"grey multiply constant maps onto 0..255",
                        Constant<TQROIU>({10, 20, 30}, 1.5, &TQROIU::MultiplyConstant),
                        {0, 127, 255}},
        TArithmeticCase{"grey multiply by a negative constant still maps min to 0",
                        Constant<TQROIU>({10, 20, 30}, -1.0, &TQROIU::MultiplyConstant),
                        {0, 127, 255}},
        TArithmeticCase{"grey multiply constant with one level does nothing",
                        Constant<TQROIU>({10, 10}, 3.0, &TQROIU::MultiplyConstant),
                        {10, 10}}),
    [](const auto& info) {
        std::string name = info.param.Name;
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return name;
    });

TEST(Invert, TemplateNegatesAndGreyComplements)
{
    TByteTemplate roi = Row<TByteTemplate>({0, 1, 255});
    roi.Mask()[1][0] = 0; // every pixel, whatever its mask
    roi.Invert();
    EXPECT_EQ(ValuesOf(roi), (std::vector<int>{0, 255, 1}));

    TQROIU grey = Row<TQROIU>({0, 1, 255});
    grey.Invert();
    EXPECT_EQ(ValuesOf(grey), (std::vector<int>{255, 254, 0}));
}

TEST(PixelArithmetic, TwoOperandsClearTheMaskWhereAPixelDoesNotQualify)
{
    TQROIU roi = Row<TQROIU>({10, 10, 10});
    roi.Mask()[2][0] = 0;
    TQROIU other = Row<TQROIU>({4, 4, 4});
    other.Mask()[1][0] = 0;
    roi.Subtract(other, false);
    EXPECT_EQ(ValuesOf(roi), (std::vector<int>{131, 10, 10}));
    EXPECT_EQ(MaskRows(roi), (std::vector<std::string>{"#.."}));

    TQROIU all = Row<TQROIU>({10, 10, 10});
    all.Mask()[2][0] = 0;
    all.Subtract(other, true);
    EXPECT_EQ(ValuesOf(all), (std::vector<int>{131, 131, 131}));
    EXPECT_EQ(MaskRows(all), (std::vector<std::string>{"##."}));
}

TEST(PixelArithmetic, ConstantOperationsLeaveUnmaskedPixelsAlone)
{
    TQROIU roi = Row<TQROIU>({10, 10});
    roi.Mask()[1][0] = 0;
    roi.AddConstant(5, false);
    EXPECT_EQ(ValuesOf(roi), (std::vector<int>{15, 10}));
    EXPECT_EQ(MaskRows(roi), (std::vector<std::string>{"#."}));
    roi.AddConstant(5, true);
    EXPECT_EQ(ValuesOf(roi), (std::vector<int>{20, 15}));
}

TEST(PixelArithmetic, ASecondRoiOfAnotherSizeIsRefused)
{
    TQROIU roi = Row<TQROIU>({1, 2});
    const TQROIU other = Row<TQROIU>({1, 2, 3});
    EXPECT_THROW(roi.Subtract(other, false), TQError);
    EXPECT_THROW(roi.Multiply(other, true), TQError);
    EXPECT_EQ(ValuesOf(roi), (std::vector<int>{1, 2}));
}

/// A one-row colour ROI whose planes hold value, red, green, blue, grey + offsets.
TQROIRGB ColourRow(std::vector<int> values)
{
    TQROIRGB roi = Row<TQROIRGB>(values);
    for (int x = 0; x < roi.Width(); ++x) {
        roi.Red()[x][0] = std::uint8_t(values[std::size_t(x)] + 1);
        roi.Green()[x][0] = std::uint8_t(values[std::size_t(x)] + 2);
        roi.Blue()[x][0] = std::uint8_t(values[std::size_t(x)] + 3);
        roi.Grey()[x][0] = std::uint8_t(values[std::size_t(x)] + 4);
    }
    return roi;
}

std::vector<int> PlaneRow(const TPlane<std::uint8_t>& plane)
{
    std::vector<int> row;
    for (int x = 0; x < plane.Width(); ++x)
        row.push_back(plane[x][0]);
    return row;
}

TEST(ColourArithmetic, AddConstantClampsAllFivePlanes)
{
    TQROIRGB roi = ColourRow({250, 10});
    roi.AddConstant(3.9, false);
    EXPECT_EQ(PlaneRow(roi.Values()), (std::vector<int>{253, 13}));
    EXPECT_EQ(PlaneRow(roi.Red()), (std::vector<int>{254, 14}));
    EXPECT_EQ(PlaneRow(roi.Green()), (std::vector<int>{255, 15}));
    EXPECT_EQ(PlaneRow(roi.Blue()), (std::vector<int>{255, 16}));
    EXPECT_EQ(PlaneRow(roi.Grey()), (std::vector<int>{255, 17}));
}

TEST(ColourArithmetic, AverageAndDifferenceCombineValueAndColourPlanes)
{
    TQROIRGB roi = ColourRow({10, 100});
    roi.Average(ColourRow({20, 1}), false);
    EXPECT_EQ(PlaneRow(roi.Values()), (std::vector<int>{15, 50}));
    EXPECT_EQ(PlaneRow(roi.Blue()), (std::vector<int>{18, 53}));
    EXPECT_EQ(PlaneRow(roi.Grey()), (std::vector<int>{14, 104})); // not averaged

    TQROIRGB difference = ColourRow({10, 100});
    difference.Difference(ColourRow({20, 1}), false);
    EXPECT_EQ(PlaneRow(difference.Values()), (std::vector<int>{123, 177}));
    EXPECT_EQ(PlaneRow(difference.Red()), (std::vector<int>{123, 177}));
    EXPECT_EQ(PlaneRow(difference.Grey()), (std::vector<int>{14, 104}));

    TQROIRGB subtracted = ColourRow({10, 100});
    subtracted.Subtract(ColourRow({20, 1}), false);
    EXPECT_EQ(PlaneRow(subtracted.Grey()), (std::vector<int>{123, 177}));
}

TEST(ColourArithmetic, MinMaxSpansRedGreenAndBlueOnly)
{
    TQROIRGB roi = ColourRow({50, 60});
    roi.Values()[0][0] = 0;
    roi.Grey()[1][0] = 255;
    std::uint8_t min = 0, max = 0;
    ASSERT_TRUE(roi.MinMax(min, max, false));
    EXPECT_EQ(min, 51);
    EXPECT_EQ(max, 63);
}

TEST(MinMax, IsFalseWithoutQualifyingPixels)
{
    TQROIU roi = Row<TQROIU>({7, 9});
    std::uint8_t min = 1, max = 2;
    roi.SetMask(0);
    EXPECT_FALSE(roi.MinMax(min, max, false));
    EXPECT_EQ(min, 1);
    ASSERT_TRUE(roi.MinMax(min, max, true));
    EXPECT_EQ(min, 7);
    EXPECT_EQ(max, 9);
    EXPECT_FALSE(TQROIU().MinMax(min, max, true));
}

TEST(FillValue, SetsMaskedOrAllValues)
{
    TQROIU roi = Row<TQROIU>({1, 2});
    roi.Mask()[0][0] = 0;
    roi.FillValue(9, false);
    EXPECT_EQ(ValuesOf(roi), (std::vector<int>{1, 9}));
    roi.FillValue(4, true);
    EXPECT_EQ(ValuesOf(roi), (std::vector<int>{4, 4}));
}

} // namespace
} // namespace varnolux
