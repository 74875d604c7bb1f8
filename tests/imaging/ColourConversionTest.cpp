#include "imaging/ColourConversion.h"

#include "ImagingTestSupport.h"
#include "imaging/TQError.h"
#include "imaging/TQROIRGB.h"

#include <algorithm>
#include <array>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

namespace varnolux {
namespace {

struct TByteTriple {
    int A, B, C;
    friend bool operator==(const TByteTriple&, const TByteTriple&) = default;
};

void PrintTo(const TByteTriple& t, std::ostream* os)
{
    *os << "(" << t.A << ", " << t.B << ", " << t.C << ")";
}

/// Converts one pixel through a colour ROI, as the analysis does.
TByteTriple ConvertPixel(int code, TByteTriple rgb)
{
    TQROIRGB roi(1, 1);
    roi.Red()[0][0] = std::uint8_t(rgb.A);
    roi.Green()[0][0] = std::uint8_t(rgb.B);
    roi.Blue()[0][0] = std::uint8_t(rgb.C);
    roi.ConvertColourSpace(TConversionCode(code));
    return {roi.Red()[0][0], roi.Green()[0][0], roi.Blue()[0][0]};
}

struct TConversionCase {
    int Code;
    TByteTriple In;
    TByteTriple Out;
};

void PrintTo(const TConversionCase& c, std::ostream* os)
{
    *os << "code " << c.Code << " ";
    PrintTo(c.In, os);
}

class ConvertColourSpaceTest : public ::testing::TestWithParam<TConversionCase> {};

TEST_P(ConvertColourSpaceTest, GivesTheExpectedBytes)
{
    const TConversionCase& c = GetParam();
    EXPECT_EQ(ConvertPixel(c.Code, c.In), c.Out);
}

INSTANTIATE_TEST_SUITE_P(Hsv, ConvertColourSpaceTest,
                         ::testing::Values(TConversionCase{6, {0, 0, 0}, {0, 0, 0}},
                                           TConversionCase{6, {255, 255, 255}, {0, 0, 255}},
                                           TConversionCase{6, {128, 128, 128}, {0, 0, 128}},
                                           TConversionCase{6, {255, 0, 0}, {0, 255, 255}},
                                           TConversionCase{6, {0, 255, 0}, {85, 255, 255}},
                                           TConversionCase{6, {0, 0, 255}, {170, 255, 255}},
                                           TConversionCase{6, {255, 255, 0}, {42, 255, 255}},
                                           TConversionCase{6, {0, 255, 255}, {127, 255, 255}},
                                           TConversionCase{6, {255, 0, 255}, {212, 255, 255}},
                                           TConversionCase{6, {200, 100, 50}, {14, 191, 200}},
                                           TConversionCase{6, {10, 20, 30}, {148, 170, 30}},
                                           TConversionCase{6, {255, 0, 1}, {254, 255, 255}},
                                           TConversionCase{6, {33, 33, 33}, {0, 0, 32}}));

// Reference values of the other codes, from the same formulas evaluated
// independently in IEEE double arithmetic.
INSTANTIATE_TEST_SUITE_P(OtherCodes, ConvertColourSpaceTest,
                         ::testing::Values(TConversionCase{0, {0, 0, 0}, {0, 0, 0}},
                                           TConversionCase{
                                               0, {255, 0, 0}, {135, 255, 88}}, // u* clamped at 255
                                           TConversionCase{0, {10, 200, 60}, {206, 0, 135}},
                                           TConversionCase{1, {0, 0, 0}, {0, 128, 128}},
                                           TConversionCase{1, {255, 0, 0}, {135, 229, 213}},
                                           TConversionCase{1, {0, 255, 0}, {223, 18, 233}},
                                           TConversionCase{2, {255, 0, 0}, {15, 47, 55}},
                                           TConversionCase{2, {10, 200, 60}, {153, 19, 0}},
                                           TConversionCase{3, {255, 0, 0}, {105, 54, 4}},
                                           TConversionCase{3, {10, 200, 60}, {86, 149, 81}},
                                           TConversionCase{4, {0, 100, 255}, {255, 155, 0}}));

const std::array<int, 24> BrightnessOneLess = {33,  37,  41,  45,  49,  53,  57,  61,
                                               66,  74,  82,  90,  98,  106, 114, 122,
                                               132, 148, 164, 180, 196, 212, 228, 244};

TEST(ConvertColourSpace, BrightnessIsOneLessExactlyForTheListedMaxima)
{
    for (int level = 0; level < 256; ++level) {
        const bool oneLess = std::find(BrightnessOneLess.begin(), BrightnessOneLess.end(), level) !=
                             BrightnessOneLess.end();
        const int expected = oneLess ? level - 1 : level;
        EXPECT_EQ(ConvertPixel(6, {level, level, level}), (TByteTriple{0, 0, expected}))
            << "grey " << level;
        // Brightness depends on the largest component only.
        EXPECT_EQ(ConvertPixel(6, {0, level, level / 2}).C, expected) << "green " << level;
    }
}

TEST(ConvertColourSpace, EveryKernelEqualsRgbToHsvForEveryColour)
{
    // Every colour once, in an order that mixes neighbours; odd lengths exercise the
    // pixels left over after the vector blocks.
    constexpr std::size_t ColourCount = std::size_t(1) << 24;
    std::vector<std::uint8_t> originalRed(ColourCount), originalGreen(ColourCount),
        originalBlue(ColourCount);
    for (std::size_t i = 0; i < ColourCount; ++i) {
        const std::size_t colour = (i * 2654435761u) & (ColourCount - 1);
        originalRed[i] = std::uint8_t(colour >> 16);
        originalGreen[i] = std::uint8_t(colour >> 8);
        originalBlue[i] = std::uint8_t(colour);
    }
    const auto mismatches = [&](const std::vector<std::uint8_t>& hue,
                                const std::vector<std::uint8_t>& saturation,
                                const std::vector<std::uint8_t>& brightness) {
        std::size_t count = 0;
        for (std::size_t i = 0; i < ColourCount; ++i) {
            const THsv hsv = RgbToHsv(originalRed[i], originalGreen[i], originalBlue[i]);
            if (hue[i] != ChannelByte(hsv.H) || saturation[i] != ChannelByte(hsv.S) ||
                brightness[i] != ChannelByte(hsv.V))
                ++count;
        }
        return count;
    };
    for (const THsvKernel kernel : {THsvKernel::Best, THsvKernel::Sse2, THsvKernel::Scalar}) {
        UseHsvKernel(kernel);
        auto red = originalRed, green = originalGreen, blue = originalBlue;
        ASSERT_TRUE(ConvertColourBytes(TConversionCode::Hsv, std::span(red).first(ColourCount - 7),
                                       std::span(green).first(ColourCount - 7),
                                       std::span(blue).first(ColourCount - 7)));
        ASSERT_TRUE(ConvertColourBytes(TConversionCode::Hsv, std::span(red).last(7),
                                       std::span(green).last(7), std::span(blue).last(7)));
        EXPECT_EQ(mismatches(red, green, blue), 0u) << "in place, kernel " << int(kernel);

        // Into planes of their own, the colours left as they are.
        std::vector<std::uint8_t> hue(ColourCount), saturation(ColourCount),
            brightness(ColourCount);
        const std::size_t split = ColourCount / 3 + 5;
        for (const auto& [begin, end] : {std::pair{std::size_t(0), split}, {split, ColourCount}})
            ConvertRgbToHsv(std::span(originalRed).subspan(begin, end - begin),
                            std::span(originalGreen).subspan(begin, end - begin),
                            std::span(originalBlue).subspan(begin, end - begin),
                            std::span(hue).subspan(begin, end - begin),
                            std::span(saturation).subspan(begin, end - begin),
                            std::span(brightness).subspan(begin, end - begin));
        EXPECT_EQ(mismatches(hue, saturation, brightness), 0u) << "apart, kernel " << int(kernel);
    }
    UseHsvKernel(THsvKernel::Best);
}

TEST(ConvertColourSpace, ConvertsEveryPixelAndLeavesMaskGreyAndValues)
{
    TQROIRGB roi(2, 1);
    roi.Mask()[0][0] = 0;
    roi.Mask()[1][0] = 1;
    for (int x = 0; x < 2; ++x) {
        roi.Red()[x][0] = 255;
        roi.Green()[x][0] = 0;
        roi.Blue()[x][0] = 0;
        roi.Grey()[x][0] = 85;
        roi.Values()[x][0] = 7;
    }
    roi.ConvertColourSpace(TConversionCode::Hsv);
    for (int x = 0; x < 2; ++x) {
        EXPECT_EQ(roi.Red()[x][0], 0);
        EXPECT_EQ(roi.Green()[x][0], 255);
        EXPECT_EQ(roi.Blue()[x][0], 255);
        EXPECT_EQ(roi.Grey()[x][0], 85);
        EXPECT_EQ(roi.Values()[x][0], 7);
    }
    EXPECT_EQ(roi.Mask()[0][0], 0);
    EXPECT_EQ(roi.Mask()[1][0], 1);
}

TEST(ConvertColourSpace, EmptyRoiAndCodeFiveChangeNothing)
{
    TQROIRGB empty;
    EXPECT_NO_THROW(empty.ConvertColourSpace(TConversionCode::Hsv));
    EXPECT_EQ(ConvertPixel(5, {1, 2, 3}), (TByteTriple{1, 2, 3}));
}

TEST(ConvertColourSpace, UnknownCodesThrow)
{
    for (int code : {-1, 7, 8}) {
        TQROIRGB roi(1, 1);
        EXPECT_THROW(roi.ConvertColourSpace(TConversionCode(code)), TQError) << code;
    }
}

TEST(RgbToHsv, BlackHasHueMinusOne)
{
    const THsv hsv = RgbToHsv(0, 0, 0);
    EXPECT_EQ(hsv.H, -1.0);
    EXPECT_EQ(hsv.S, 0.0);
    EXPECT_EQ(hsv.V, 0.0);
}

TEST(RgbToHsv, TwoEqualLargestComponentsTakeTheFirst)
{
    // Red and blue both largest: red's formula, (g − b)/d · 60 + 360 → 300°.
    EXPECT_DOUBLE_EQ(RgbToHsv(255, 0, 255).H, 300.0 * 0.7083333333333334);
    // Green and blue: green's formula gives 180°.
    EXPECT_DOUBLE_EQ(RgbToHsv(0, 255, 255).H, 180.0 * 0.7083333333333334);
}

struct THsvToRgbCase {
    TByteTriple Hsv;
    TByteTriple Rgb;
};

void PrintTo(const THsvToRgbCase& c, std::ostream* os)
{
    PrintTo(c.Hsv, os);
}

class HsvToRgbTest : public ::testing::TestWithParam<THsvToRgbCase> {};

TEST_P(HsvToRgbTest, GivesTheExpectedTruncatedBytes)
{
    const auto& c = GetParam();
    const TRgb rgb = HsvToRgb(c.Hsv.A, c.Hsv.B, c.Hsv.C);
    EXPECT_EQ((TByteTriple{int(rgb.R), int(rgb.G), int(rgb.B)}), c.Rgb);
}

INSTANTIATE_TEST_SUITE_P(Cases, HsvToRgbTest,
                         ::testing::Values(THsvToRgbCase{{0, 255, 255}, {255, 0, 0}},
                                           THsvToRgbCase{{85, 255, 255}, {0, 255, 0}},
                                           THsvToRgbCase{{170, 255, 255}, {0, 0, 255}},
                                           THsvToRgbCase{{42, 255, 255}, {255, 252, 0}},
                                           THsvToRgbCase{{128, 0, 200}, {200, 200, 200}},
                                           THsvToRgbCase{{255, 255, 255}, {255, 0, 255}},
                                           THsvToRgbCase{{100, 100, 100}, {60, 100, 74}},
                                           THsvToRgbCase{{0, 0, 0}, {0, 0, 0}}));

TEST(ChannelByte, ClampsAndTruncates)
{
    EXPECT_EQ(ChannelByte(-1.0), 0);
    EXPECT_EQ(ChannelByte(254.999), 254);
    EXPECT_EQ(ChannelByte(300.0), 255);
    EXPECT_EQ(ChannelByte(std::numeric_limits<double>::quiet_NaN()), 0);
}

} // namespace
} // namespace varnolux
