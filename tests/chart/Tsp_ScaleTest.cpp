#include "chart/Tsp_Scale.h"

#include "RecordingCanvas.h"

#include <clocale>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

namespace varnolux {
namespace {

using test::RecordingCanvas;

constexpr std::uint32_t Horizontal = 0;
constexpr std::uint32_t Vertical = 1u << Tsp_ScaleBit::Vertical;
constexpr std::uint32_t Inverted = 1u << Tsp_ScaleBit::Inverted;
constexpr std::uint32_t NoTicks = 1u << Tsp_ScaleBit::NoTicks;
constexpr std::uint32_t NoLabels = 1u << Tsp_ScaleBit::NoLabels;
constexpr std::uint32_t Opposite = 1u << Tsp_ScaleBit::OppositeSide;
constexpr std::uint32_t FractionTicks = 1u << Tsp_ScaleBit::FractionTicks;

std::vector<double> TickValues(const Tsp_Scale& scale)
{
    std::vector<double> values;
    for (int i = 0; i < scale.GetTicksCount(); ++i)
        values.push_back(scale.TksDbl(i));
    return values;
}

std::vector<int> TickPositions(const Tsp_Scale& scale)
{
    std::vector<int> positions;
    for (int i = 0; i < scale.GetTicksCount(); ++i)
        positions.push_back(scale.TickPos(i));
    return positions;
}

std::vector<std::string> TickLabels(const Tsp_Scale& scale)
{
    std::vector<std::string> labels;
    for (int i = 0; i < scale.GetTicksCount(); ++i)
        labels.push_back(scale.TickLabel(i));
    return labels;
}

void ExpectValues(const std::vector<double>& actual, const std::vector<double>& expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_DOUBLE_EQ(actual[i], expected[i]) << "tick " << i;
}

struct TickCase {
    double A;
    double B;
    double Min;
    double Max;
    double Factor;
    int Step;
    std::vector<double> Ticks;
};

void PrintTo(const TickCase& c, std::ostream* out)
{
    *out << c.A << " to " << c.B;
}

class ScaleTicksTest : public ::testing::TestWithParam<TickCase> {};

TEST_P(ScaleTicksTest, ChoosesRoundTicks)
{
    const TickCase& c = GetParam();
    Tsp_Scale scale(Horizontal);
    scale.ChangeMinMax(c.A, c.B);
    EXPECT_DOUBLE_EQ(scale.Min(), c.Min);
    EXPECT_DOUBLE_EQ(scale.Max(), c.Max);
    EXPECT_DOUBLE_EQ(scale.Factor(), c.Factor);
    EXPECT_EQ(scale.Step(), c.Step);
    ExpectValues(TickValues(scale), c.Ticks);
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, ScaleTicksTest,
    ::testing::Values(TickCase{0, 10, 0, 10, 10, 25, {0, 2.5, 5, 7.5, 10}},
                      TickCase{0, 1.1, 0, 1.1, 10, 2, {0, 0.2, 0.4, 0.6, 0.8, 1.0}},
                      TickCase{0, 256, 0, 256, 0.1, 6, {0, 60, 120, 180, 240}},
                      TickCase{-3.7, 12.2, -3.7, 12.2, 1, 3, {-3, 0, 3, 6, 9, 12}},
                      TickCase{0, 1000, 0, 1000, 0.1, 25, {0, 250, 500, 750, 1000}},
                      // Exact powers of ten count as the power below.
                      TickCase{0, 1, 0, 1, 10, 2, {0, 0.2, 0.4, 0.6, 0.8, 1.0}},
                      TickCase{0, 100, 0, 100, 1, 25, {0, 25, 50, 75, 100}},
                      TickCase{0, 10000, 0, 10000, 0.01, 25, {0, 2500, 5000, 7500, 10000}},
                      TickCase{0, 0.1, 0, 0.1, 100, 2, {0, 0.02, 0.04, 0.06, 0.08, 0.1}},
                      TickCase{0, 0.01, 0, 0.01, 1000, 2, {0, 0.002, 0.004, 0.006, 0.008, 0.01}},
                      // Limits in either order.
                      TickCase{10, 0, 0, 10, 10, 25, {0, 2.5, 5, 7.5, 10}},
                      // Equal limits are widened around the value.
                      TickCase{5, 5, 5, 6, 10, 2, {5, 5.2, 5.4, 5.6, 5.8, 6}},
                      TickCase{100, 100, 99, 110, 1, 2, {99, 101, 103, 105, 107, 109}},
                      TickCase{-100, -100, -110, -99, 1, 2, {-110, -108, -106, -104, -102, -100}},
                      TickCase{-5, -5, -5, -4, 10, 2, {-5, -4.8, -4.6, -4.4, -4.2, -4}},
                      TickCase{0, 0, 0, 1, 10, 2, {0, 0.2, 0.4, 0.6, 0.8, 1.0}}));

TEST(ScaleTest, EqualNegativeLimitsStayAroundTheirValue)
{
    for (double v : {-10.0, -100.0, -12345.0}) {
        Tsp_Scale scale(Horizontal);
        scale.ChangeMinMax(v, v);
        EXPECT_LE(scale.Min(), v);
        EXPECT_GE(scale.Max(), v);
        EXPECT_LT(scale.Min(), scale.Max());
    }
}

TEST(ScaleTest, UnusableLimitsKeepTheOldOnes)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (auto [a, b] : {std::pair{nan, 1.0}, std::pair{0.0, inf}, std::pair{-inf, inf},
                        std::pair{-1e308, 1e308}, std::pair{1.7e308, 1.7e308}}) {
        Tsp_Scale scale(Horizontal);
        scale.ChangeMinMax(a, b);
        EXPECT_EQ(scale.Min(), 0.0) << a << " " << b;
        EXPECT_EQ(scale.Max(), 10.0) << a << " " << b;
        EXPECT_EQ(scale.GetTicksCount(), 5);
    }
}

TEST(ScaleTest, RangeTooSmallToScaleIsWidened)
{
    Tsp_Scale scale(Horizontal);
    scale.ChangeMinMax(0.0, 1e-320);
    EXPECT_EQ(scale.Min(), 0.0);
    EXPECT_EQ(scale.Max(), 1.0);
    EXPECT_EQ(scale.GetTicksCount(), 6);
}

TEST(ScaleTest, TinyAndHugeRangesGiveBoundedTicks)
{
    for (auto [a, b] : {std::pair{1.0, 1.0 + 4e-16}, std::pair{1e15, 1e15 + 0.5},
                        std::pair{-1e300, 1e300}, std::pair{1e-300, 2e-300}}) {
        Tsp_Scale scale(Horizontal);
        scale.SetLine(0, 0, 1000);
        scale.ChangeMinMax(a, b);
        EXPECT_LT(scale.Min(), scale.Max());
        EXPECT_LE(scale.GetTicksCount(), Tsp_Scale::MaxTicks);
        for (int i = 0; i < scale.GetTicksCount(); ++i) {
            EXPECT_TRUE(std::isfinite(scale.TksDbl(i)));
            EXPECT_LE(std::abs(scale.TickPos(i)), Tsp_Scale::PixelLimit);
        }
    }
}

TEST(ScaleTest, NewScaleHasItsDefaults)
{
    const Tsp_Scale scale(Horizontal);
    EXPECT_EQ(scale.TicksCount(), 5);
    EXPECT_EQ(scale.LabelFormat(), "###0.##");
    EXPECT_EQ(scale.LineX(), 10);
    EXPECT_EQ(scale.LineY(), 30);
    EXPECT_EQ(scale.LineLength(), 25);
    EXPECT_EQ(scale.Min(), 0.0);
    EXPECT_EQ(scale.Max(), 10.0);
}

TEST(ScaleTest, TicksCountIsLimited)
{
    Tsp_Scale scale(Horizontal);
    scale.SetTicksCount(30);
    EXPECT_EQ(scale.TicksCount(), 21);
    scale.ChangeMinMax(0, 10);
    EXPECT_EQ(scale.Step(), 5);
    EXPECT_EQ(scale.GetTicksCount(), 21);
    scale.SetTicksCount(-3);
    EXPECT_EQ(scale.TicksCount(), 0);
    EXPECT_EQ(scale.GetTicksCount(), 0);
}

TEST(ScaleTest, OneTickSitsAtTheScaledMinimum)
{
    Tsp_Scale scale(Horizontal);
    scale.SetTicksCount(1);
    scale.ChangeMinMax(-3.7, 12.2);
    ExpectValues(TickValues(scale), {-3});

    Tsp_Scale inverted(Inverted);
    inverted.SetTicksCount(1);
    inverted.ChangeMinMax(-3.7, 12.2);
    ExpectValues(TickValues(inverted), {12});
}

TEST(ScaleTest, SetLineTakesTheLengthBySize)
{
    Tsp_Scale scale(Horizontal);
    scale.SetLine(5, 6, -40);
    EXPECT_EQ(scale.LineLength(), 40);
    scale.SetLine(5, 6, 0);
    EXPECT_EQ(scale.LineLength(), 1);
    EXPECT_EQ(scale.LineX(), 5);
    EXPECT_EQ(scale.LineY(), 6);
}

TEST(ScaleTest, MapsValuesToPixelsInEveryOrientation)
{
    Tsp_Scale horizontal(Horizontal);
    horizontal.SetLine(10, 0, 100);
    EXPECT_EQ(TickPositions(horizontal), (std::vector<int>{10, 35, 60, 85, 110}));

    Tsp_Scale vertical(Vertical);
    vertical.SetLine(0, 100, 100);
    EXPECT_EQ(TickPositions(vertical), (std::vector<int>{100, 75, 50, 25, 0}));

    Tsp_Scale inverted(Inverted);
    inverted.SetLine(0, 0, 100);
    ExpectValues(TickValues(inverted), {10, 7.5, 5, 2.5, 0});
    EXPECT_EQ(TickPositions(inverted), (std::vector<int>{0, 25, 50, 75, 100}));
    EXPECT_EQ(inverted.V2P(10), 0);
    EXPECT_EQ(inverted.V2P(0), 100);

    Tsp_Scale invertedVertical(Vertical | Inverted);
    invertedVertical.SetLine(0, 100, 100);
    EXPECT_EQ(invertedVertical.V2P(10), 100);
    EXPECT_EQ(invertedVertical.V2P(0), 0);
}

TEST(ScaleTest, RoundsHalvesToEvenAndClampsFarValues)
{
    Tsp_Scale scale(Horizontal);
    scale.SetLine(0, 0, 4);
    EXPECT_EQ(scale.V2P(1.25), 0);
    EXPECT_EQ(scale.V2P(3.75), 2);
    EXPECT_EQ(scale.V2P(1e9), 16383);
    EXPECT_EQ(scale.V2P(-1e9), -16383);
    EXPECT_EQ(scale.V2P(std::numeric_limits<double>::infinity()), 16383);
    EXPECT_EQ(scale.V2P(std::numeric_limits<double>::quiet_NaN()), 16383);
}

TEST(ScaleTest, PixelToValueAndBackIsExact)
{
    for (std::uint32_t flags : {Horizontal, Vertical, Inverted, Vertical | Inverted}) {
        Tsp_Scale scale(flags);
        scale.SetLine(20, 300, 256);
        scale.ChangeMinMax(-3.7, 12.2);
        for (int p = -100; p <= 400; ++p)
            EXPECT_EQ(scale.V2P(scale.P2V(p)), p) << "flags " << flags;
        EXPECT_DOUBLE_EQ(scale.P2V(scale.OriginPixel()), scale.OriginValue());
    }
}

TEST(ScaleTest, FractionModePlacesTicksAlongTheLine)
{
    Tsp_Scale noLabels(NoLabels);
    noLabels.SetLine(0, 0, 100);
    ExpectValues(TickValues(noLabels), {0, 0.25, 0.5, 0.75, 1});
    EXPECT_EQ(TickPositions(noLabels), (std::vector<int>{0, 25, 50, 75, 100}));

    Tsp_Scale fractions(FractionTicks | Vertical);
    fractions.SetLine(0, 100, 100);
    fractions.ChangeMinMax(0, 3);
    ExpectValues(TickValues(fractions), {0, 0.75, 1.5, 2.25, 3});
    EXPECT_EQ(TickPositions(fractions), (std::vector<int>{100, 75, 50, 25, 0}));
    EXPECT_EQ(TickLabels(fractions), (std::vector<std::string>{"0", "0.75", "1.5", "2.25", "3"}));

    Tsp_Scale single(NoLabels);
    single.SetTicksCount(1);
    ExpectValues(TickValues(single), {0});
}

TEST(ScaleTest, FlagChangesRecomputeTheTicks)
{
    Tsp_Scale scale(Horizontal);
    scale.SetLine(0, 0, 100);
    scale.SetFlagBit(Tsp_ScaleBit::Inverted);
    EXPECT_EQ(scale.V2P(10), 0);
    ExpectValues(TickValues(scale), {10, 7.5, 5, 2.5, 0});
    scale.NotFlagBit(Tsp_ScaleBit::Inverted);
    EXPECT_FALSE(scale.GetFlagBit(Tsp_ScaleBit::Inverted));
    EXPECT_EQ(scale.V2P(10), 100);
    scale.SetFlagBit(Tsp_ScaleBit::NoLabels);
    ExpectValues(TickValues(scale), {0, 0.25, 0.5, 0.75, 1});
    scale.ReSetFlagBit(Tsp_ScaleBit::NoLabels);
    ExpectValues(TickValues(scale), {0, 2.5, 5, 7.5, 10});
}

TEST(ScaleTest, ScrollingKeepsTheTickGrid)
{
    Tsp_Scale scale(Horizontal);
    scale.SetLine(0, 0, 100);
    scale.ScrollBy(10);
    EXPECT_DOUBLE_EQ(scale.Min(), 1);
    EXPECT_DOUBLE_EQ(scale.Max(), 11);
    ExpectValues(TickValues(scale), {2.5, 5, 7.5, 10});
    EXPECT_EQ(TickPositions(scale), (std::vector<int>{15, 40, 65, 90}));
    scale.ScrollBy(-10);
    ExpectValues(TickValues(scale), {0, 2.5, 5, 7.5, 10});
    scale.ScrollBy(-13);
    ExpectValues(TickValues(scale), {0, 2.5, 5, 7.5});
    EXPECT_DOUBLE_EQ(scale.Min(), -1.3);
}

TEST(ScaleTest, ScrollingAnInvertedScale)
{
    Tsp_Scale scale(Inverted);
    scale.SetLine(0, 0, 100);
    scale.ScrollBy(10);
    EXPECT_DOUBLE_EQ(scale.Min(), -1);
    EXPECT_DOUBLE_EQ(scale.Max(), 9);
    ExpectValues(TickValues(scale), {7.5, 5, 2.5, 0});
    EXPECT_EQ(TickPositions(scale), (std::vector<int>{15, 40, 65, 90}));
}

TEST(ScaleTest, ScrollingFurtherThanTheRangeStartsAfresh)
{
    Tsp_Scale scale(Horizontal);
    scale.SetLine(0, 0, 100);
    scale.ScrollBy(200);
    EXPECT_DOUBLE_EQ(scale.Min(), 20);
    ExpectValues(TickValues(scale), {20, 22.5, 25, 27.5, 30});
}

TEST(ScaleTest, ScrollingFractionTicksMovesThemWithThePointer)
{
    Tsp_Scale scale(Vertical | NoTicks | NoLabels | Opposite);
    scale.SetLine(0, 100, 100);
    scale.ScrollBy(10);
    EXPECT_DOUBLE_EQ(scale.Min(), -1);
    EXPECT_EQ(TickPositions(scale), (std::vector<int>{90, 65, 40, 15}));
}

TEST(ScaleTest, ScrollingWithoutTicksAddsNone)
{
    for (std::uint32_t flags : {Horizontal, NoLabels}) {
        Tsp_Scale scale(flags);
        scale.SetLine(0, 0, 100);
        scale.SetTicksCount(0);
        scale.ScrollBy(7);
        EXPECT_EQ(scale.GetTicksCount(), 0);
        scale.ShiftScaleBy(false, 0.25, 0);
        EXPECT_EQ(scale.GetTicksCount(), 0);
    }
}

TEST(ScaleTest, LabelsUseThePatternAndTheLocale)
{
    Tsp_Scale scale(Horizontal);
    EXPECT_EQ(TickLabels(scale), (std::vector<std::string>{"0", "2.5", "5", "7.5", "10"}));
    scale.SetLabelFormat("0.00");
    EXPECT_EQ(TickLabels(scale),
              (std::vector<std::string>{"0.00", "2.50", "5.00", "7.50", "10.00"}));

    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8"))
        GTEST_SKIP() << "no German locale";
    const std::vector<std::string> german = TickLabels(scale);
    std::setlocale(LC_NUMERIC, "C");
    EXPECT_EQ(german, (std::vector<std::string>{"0,00", "2,50", "5,00", "7,50", "10,00"}));
}

TEST(ScaleTest, DateTimeLabels)
{
    Tsp_Scale scale(1u << Tsp_ScaleBit::LabelAsDataTime);
    scale.ChangeMinMax(45000, 45004);
    scale.SetLabelFormat("dd.mm.yyyy");
    EXPECT_EQ(TickLabels(scale), (std::vector<std::string>{"15.03.2023", "16.03.2023", "17.03.2023",
                                                           "18.03.2023", "19.03.2023"}));
}

TEST(ScaleTest, VisibleUnlessNothingIsDrawn)
{
    Tsp_Scale scale(NoTicks | NoLabels);
    EXPECT_TRUE(scale.GetVisible());
    scale.LineAttr().SetVisible(false);
    EXPECT_FALSE(scale.GetVisible());
    scale.ReSetFlagBit(Tsp_ScaleBit::NoTicks);
    EXPECT_TRUE(scale.GetVisible());
}

TEST(ScaleBandTest, RoomForLineTicksAndLabels)
{
    constexpr int cw = 6;
    constexpr int th = 13;
    Tsp_Scale vertical(Vertical);
    EXPECT_EQ(vertical.BandWidth(cw, th), 1 + 3 * cw + 5); // "2.5" is the longest label
    Tsp_Scale horizontal(Horizontal);
    EXPECT_EQ(horizontal.BandWidth(cw, th), 1 + th + 5);
    horizontal.LineAttr().SetWidth(3);
    EXPECT_EQ(horizontal.BandWidth(cw, th), 3 + th + 5);
    Tsp_Scale marksOnly(NoLabels);
    EXPECT_EQ(marksOnly.BandWidth(cw, th), 1 + 4);
    Tsp_Scale bare(Vertical | NoTicks | NoLabels | Opposite);
    EXPECT_EQ(bare.BandWidth(cw, th), 1);
    Tsp_Scale noTicks(Horizontal);
    noTicks.SetTicksCount(0);
    EXPECT_EQ(noTicks.BandWidth(cw, th), 1);
}

TEST(ScaleBandTest, IndentsOfLabelsBeyondTheLineEnds)
{
    Tsp_Scale horizontal(Horizontal);
    horizontal.SetLine(10, 0, 100);
    EXPECT_EQ(horizontal.OrgIndent(6, 13), 3); // half of "0"
    EXPECT_EQ(horizontal.EndIndent(6, 13), 6); // half of "10"
    horizontal.ChangeMinMax(-0.5, 10.5);       // first tick 5 pixels inside
    EXPECT_EQ(horizontal.OrgIndent(6, 13), 0);
    Tsp_Scale vertical(Vertical);
    vertical.SetLine(0, 100, 100);
    EXPECT_EQ(vertical.OrgIndent(6, 13), 6);
    EXPECT_EQ(vertical.EndIndent(6, 13), 6);
    Tsp_Scale unlabelled(NoLabels);
    EXPECT_EQ(unlabelled.OrgIndent(6, 13), 0);
    EXPECT_EQ(unlabelled.EndIndent(6, 13), 0);
}

TEST(ScaleDrawTest, LineOfSeveralPixelsGrowsAwayFromTheField)
{
    struct Case {
        std::uint32_t Flags;
        Tsp_Point FirstFrom, FirstTo, SecondFrom;
    };
    const Case cases[] = {
        {Vertical, {50, -2}, {50, 104}, {49, -2}},
        {Vertical | Opposite, {50, -2}, {50, 104}, {51, -2}},
        {Horizontal, {47, 100}, {153, 100}, {47, 101}},
        {Horizontal | Opposite, {47, 100}, {153, 100}, {47, 99}},
    };
    for (const Case& c : cases) {
        Tsp_Scale scale(c.Flags);
        scale.SetLine(50, 100, 100);
        scale.LineAttr().SetWidth(2);
        scale.LineAttr().SetColor(Tsp_Colors::Red);
        RecordingCanvas canvas;
        scale.DrawLine(canvas, 3, 2);
        ASSERT_EQ(canvas.Lines.size(), 2u);
        EXPECT_EQ(canvas.Lines[0].From, c.FirstFrom) << c.Flags;
        EXPECT_EQ(canvas.Lines[0].To, c.FirstTo) << c.Flags;
        EXPECT_EQ(canvas.Lines[1].From, c.SecondFrom) << c.Flags;
        EXPECT_EQ(canvas.Lines[0].Pen.Color, Tsp_Colors::Red);
        EXPECT_EQ(canvas.Lines[0].Pen.Width, 1);
    }
    Tsp_Scale hidden(Horizontal);
    hidden.LineAttr().SetVisible(false);
    RecordingCanvas canvas;
    hidden.DrawLine(canvas, 0, 0);
    EXPECT_TRUE(canvas.Lines.empty());
}

TEST(ScaleDrawTest, TicksAndLabelsOnEachSide)
{
    struct Case {
        std::uint32_t Flags;
        Tsp_Point TickFrom, TickTo, LabelAt; // of the last tick, "10"
    };
    const Case cases[] = {
        {Vertical, {49, 0}, {45, 0}, {33, -6}},
        {Vertical | Opposite, {51, 0}, {55, 0}, {56, -6}},
        {Horizontal, {150, 101}, {150, 105}, {144, 106}},
        {Horizontal | Opposite, {150, 99}, {150, 95}, {144, 81}},
    };
    for (const Case& c : cases) {
        Tsp_Scale scale(c.Flags);
        scale.SetLine(50, 100, 100);
        RecordingCanvas canvas;
        scale.DrawTicks(canvas);
        ASSERT_EQ(canvas.Lines.size(), 5u);
        ASSERT_EQ(canvas.Texts.size(), 5u);
        EXPECT_EQ(canvas.Lines[4].From, c.TickFrom) << c.Flags;
        EXPECT_EQ(canvas.Lines[4].To, c.TickTo) << c.Flags;
        EXPECT_EQ(canvas.Texts[4].Text, "10");
        EXPECT_EQ((Tsp_Point{canvas.Texts[4].X, canvas.Texts[4].Y}), c.LabelAt) << c.Flags;
    }
}

TEST(ScaleDrawTest, TicksWithoutMarksOrLabels)
{
    Tsp_Scale noMarks(NoTicks);
    RecordingCanvas labelsOnly;
    noMarks.DrawTicks(labelsOnly);
    EXPECT_TRUE(labelsOnly.Lines.empty());
    EXPECT_EQ(labelsOnly.Texts.size(), 5u);

    Tsp_Scale nothing(NoTicks | NoLabels);
    RecordingCanvas empty;
    nothing.DrawTicks(empty);
    EXPECT_TRUE(empty.Lines.empty());
    EXPECT_TRUE(empty.Texts.empty());
}

TEST(ScaleDrawTest, DrawBoundsCoverBand)
{
    Tsp_Scale scale(Vertical);
    scale.SetLine(50, 100, 100);
    RecordingCanvas canvas;
    Tsp_Font font;
    font.Height = 13;
    canvas.SetFont(font);
    EXPECT_EQ(scale.CalcDrawBounds(canvas), (Tsp_Rect{27, -6, 51, 107}));
}

} // namespace
} // namespace varnolux
