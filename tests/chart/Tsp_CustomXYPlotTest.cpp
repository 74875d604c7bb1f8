#include "chart/Tsp_CustomXYPlot.h"

#include "RecordingCanvas.h"
#include "TestPlot.h"
#include "chart/Tsp_ImageMarker.h"
#include "chart/Tsp_LineMarker.h"
#include "chart/Tsp_SpectrLines.h"
#include "chart/Tsp_XYLine.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

namespace varnolux {
namespace {

using test::RecordingCanvas;
using test::TestPlot;

constexpr Tsp_ShiftState ShiftLeft = Tsp_Shift::ssShift | Tsp_Shift::ssLeft;
constexpr Tsp_ShiftState CtrlLeft = Tsp_Shift::ssCtrl | Tsp_Shift::ssLeft;

struct Limits {
    double Min;
    double Max;
    friend bool operator==(const Limits&, const Limits&) = default;
};

Limits LimitsOf(const Tsp_Axis& axis)
{
    return {axis.Min(), axis.Max()};
}

std::ostream& operator<<(std::ostream& out, const Limits& l)
{
    return out << l.Min << ".." << l.Max;
}

bool HasText(const RecordingCanvas& canvas, const std::string& text)
{
    const auto texts = canvas.TextsDrawn();
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

std::vector<Tsp_Color> LineColors(const RecordingCanvas& canvas)
{
    std::vector<Tsp_Color> colors;
    for (const auto& line : canvas.Lines)
        if (colors.empty() || colors.back() != line.Pen.Color)
            colors.push_back(line.Pen.Color);
    return colors;
}

TEST(PlotArrangeTest, PlacesTheFieldBetweenTheAxes)
{
    TestPlot plot;
    plot.Paint();
    EXPECT_EQ(plot.Field(), (Tsp_Rect{28, 9, 170, 99}));
    EXPECT_EQ(plot.LeftAxis().LineX(), 27);
    EXPECT_EQ(plot.LeftAxis().LineY(), 98);
    EXPECT_EQ(plot.LeftAxis().LineLength(), 89);
    EXPECT_EQ(plot.RightAxis().LineX(), 170);
    EXPECT_EQ(plot.BottomAxis().LineX(), 28);
    EXPECT_EQ(plot.BottomAxis().LineY(), 99);
    EXPECT_EQ(plot.BottomAxis().LineLength(), 141);
    EXPECT_EQ(plot.TopAxis().LineY(), 8);
    EXPECT_TRUE(plot.IsArranged());
    EXPECT_TRUE(plot.SurroundingsDrawn());
    EXPECT_TRUE(plot.FieldDrawn());
}

TEST(PlotArrangeTest, TheLayoutDoesNotDependOnThePreviousSize)
{
    TestPlot plot;
    plot.BottomAxis().SetMax(256); // the last label, "240", is well inside the line
    plot.Paint();
    const Tsp_Rect first = plot.Field();
    EXPECT_EQ(first.Right, 180 - 5);
    RecordingCanvas large;
    plot.PaintLayers(large, 800, 600, false);
    plot.Paint();
    EXPECT_EQ(plot.Field(), first);
}

TEST(PlotArrangeTest, TheAxesStartAsTheyShould)
{
    const TestPlot plot;
    EXPECT_EQ(plot.LeftAxis().Flags(), 1u);
    EXPECT_EQ(plot.RightAxis().Flags(), 57u);
    EXPECT_EQ(plot.BottomAxis().Flags(), 0u);
    EXPECT_EQ(plot.TopAxis().Flags(), 56u);
    EXPECT_TRUE(plot.LeftAxis().GridAttr().Visible());
    EXPECT_TRUE(plot.BottomAxis().GridAttr().Visible());
    EXPECT_FALSE(plot.RightAxis().GridAttr().Visible());
    EXPECT_EQ(plot.LeftAxis().GridAttr().Color(), 8421504u);
    EXPECT_EQ(plot.LeftAxis().Margin(), 4);
}

TEST(PlotArrangeTest, TinyPlotKeepsAFieldOfThreePixels)
{
    TestPlot plot;
    RecordingCanvas canvas;
    plot.PaintLayers(canvas, 20, 20, false);
    EXPECT_EQ(plot.Field().Width(), 3);
    EXPECT_EQ(plot.Field().Height(), 3);
}

TEST(PlotArrangeTest, ACaptionGetsRoomInItsMargin)
{
    TestPlot plot;
    plot.BottomAxis().SetCaption("Hue");
    plot.LeftAxis().SetCaption("Fraction");
    const RecordingCanvas canvas = plot.Paint();
    EXPECT_EQ(plot.Field().Bottom, 120 - (17 + 14));
    EXPECT_EQ(plot.Field().Left, 24 + 14);
    const auto hue = std::find_if(canvas.Texts.begin(), canvas.Texts.end(),
                                  [](const auto& t) { return t.Text == "Hue"; });
    ASSERT_NE(hue, canvas.Texts.end());
    EXPECT_EQ(hue->Y, 120 - 14);
    EXPECT_TRUE(hue->Font.Bold);
    const auto fraction = std::find_if(canvas.Texts.begin(), canvas.Texts.end(),
                                       [](const auto& t) { return t.Text == "Fraction"; });
    ASSERT_NE(fraction, canvas.Texts.end());
    EXPECT_EQ(fraction->X, 0);
    EXPECT_EQ(fraction->Font.Orientation, 900);

    plot.BottomAxis().SetMargin(30);
    plot.Paint();
    EXPECT_EQ(plot.Field().Bottom, 120 - (17 + 30));
    plot.BottomAxis().SetCaption("  ");
    plot.Paint();
    EXPECT_FALSE(plot.BottomAxis().HasCaption());
    EXPECT_EQ(plot.Field().Bottom, 120 - (17 + 30));
}

TEST(PlotPaintTest, OnlyInvalidLayersAreRedrawn)
{
    TestPlot plot;
    Tsp_LineMarker marker;
    marker.SetPlot(&plot);
    plot.Paint();

    plot.RepaintRequests = 0;
    marker.SetPosition(3);
    EXPECT_EQ(plot.RepaintRequests, 1);
    EXPECT_TRUE(plot.SurroundingsDrawn());
    EXPECT_FALSE(plot.FieldDrawn());
    RecordingCanvas fieldOnly = plot.Paint(true);
    EXPECT_TRUE(fieldOnly.Texts.empty());
    ASSERT_FALSE(fieldOnly.Fills.empty());
    EXPECT_EQ(fieldOnly.Fills.front().Rect, plot.Field());

    marker.SetPosition(3);
    EXPECT_EQ(plot.RepaintRequests, 1);

    plot.LeftAxis().SetMax(1.1);
    EXPECT_FALSE(plot.IsArranged());
    const RecordingCanvas all = plot.Paint(true);
    EXPECT_TRUE(HasText(all, "1"));
    EXPECT_TRUE(HasText(all, "0.2"));
}

TEST(PlotPaintTest, EachChangeInvalidatesWhatItAffects)
{
    struct Case {
        const char* Change;
        std::function<void(TestPlot&)> Apply;
        bool Arranged, SurroundingsDrawn, FieldDrawn;
    };
    const Case cases[] = {
        {"grid", [](TestPlot& p) { p.LeftAxis().GridAttr().SetColor(Tsp_Colors::Silver); }, true,
         true, false},
        {"field colour", [](TestPlot& p) { p.SetFieldColor(Tsp_Colors::Silver); }, true, true,
         false},
        {"plot colour", [](TestPlot& p) { p.SetColor(Tsp_Colors::Silver); }, true, false, true},
        {"border", [](TestPlot& p) { p.SetBorderStyle(Tsp_BorderStyle::bs_Raised); }, true, false,
         false},
        {"axis line", [](TestPlot& p) { p.BottomAxis().LineAttr().SetWidth(2); }, false, false,
         false},
        {"limits", [](TestPlot& p) { p.BottomAxis().SetMinMax(1, 2); }, false, false, false},
        {"moved limits", [](TestPlot& p) { p.BottomAxis().MoveMinMax(1); }, true, false, false},
        {"ticks", [](TestPlot& p) { p.LeftAxis().SetTicksCount(3); }, false, false, false},
        {"label format", [](TestPlot& p) { p.LeftAxis().SetLabelFormat("0.0"); }, false, false,
         false},
        {"font",
         [](TestPlot& p) {
             Tsp_Font font;
             font.Height = 14;
             p.SetFont(font);
         },
         false, false, false},
        {"flag", [](TestPlot& p) { p.LeftAxis().SetFlagBit(Tsp_ScaleBit::Inverted); }, false, false,
         false},
    };
    for (const Case& c : cases) {
        TestPlot plot;
        plot.Paint();
        c.Apply(plot);
        EXPECT_EQ(plot.IsArranged(), c.Arranged) << c.Change;
        EXPECT_EQ(plot.SurroundingsDrawn(), c.SurroundingsDrawn) << c.Change;
        EXPECT_EQ(plot.FieldDrawn(), c.FieldDrawn) << c.Change;
        EXPECT_GT(plot.RepaintRequests, 0) << c.Change;
    }
}

TEST(PlotPaintTest, FieldHoldsGridMarkersAndSeriesInOrder)
{
    TestPlot plot;
    Tsp_LineMarker before, after;
    before.SetPen({Tsp_Colors::Red, Tsp_PenStyle::psDot, 1, Tsp_PenMode::pmCopy});
    after.SetPen({Tsp_Colors::Blue, Tsp_PenStyle::psSolid, 1, Tsp_PenMode::pmCopy});
    plot.AddMarker(after, Tsp_WhenDrawMarker::dmAfterSeries);
    plot.AddMarker(before, Tsp_WhenDrawMarker::dmBeforeSeries);
    Tsp_XYLine line;
    line.LineAttr().SetColor(Tsp_Colors::Maroon);
    line.PointAttr().SetVisible(false);
    line.AddXY(0, 0);
    line.AddXY(10, 10);
    line.SetPlot(&plot);
    plot.Paint();
    plot.CustomInvalidate(false, false, true);
    const RecordingCanvas canvas = plot.Paint(true);
    EXPECT_EQ(LineColors(canvas), (std::vector<Tsp_Color>{Tsp_Colors::Gray, Tsp_Colors::Red,
                                                          Tsp_Colors::Maroon, Tsp_Colors::Blue}));
    EXPECT_EQ(canvas.ClipRect(), std::nullopt);
}

TEST(PlotPaintTest, GridLinesLieStrictlyInsideTheField)
{
    TestPlot plot;
    plot.BottomAxis().GridAttr().SetVisible(false);
    plot.CustomInvalidate(false, false, true);
    const RecordingCanvas canvas = plot.Paint();
    std::vector<int> rows;
    for (const auto& line : canvas.Lines)
        if (line.Pen.Color == Tsp_Colors::Gray)
            rows.push_back(line.From.Y);
    // Ticks at 98, 76, 54, 31 and 9: the top row of the field is no grid row.
    EXPECT_EQ(rows, (std::vector<int>{76, 54, 31}));
}

TEST(PlotPaintTest, NoFieldColorLeavesTheFieldUnfilled)
{
    TestPlot plot;
    plot.SetFieldColor(Tsp_Colors::None);
    const RecordingCanvas canvas = plot.Paint();
    for (const auto& fill : canvas.Fills)
        EXPECT_NE(fill.Rect, plot.Field());
}

TEST(PlotPaintTest, SurroundingsAndBorderInThePlotColor)
{
    TestPlot plot;
    plot.SetColor(Tsp_Colors::Silver);
    const RecordingCanvas canvas = plot.Paint();
    ASSERT_EQ(canvas.Fills.size(), 5u);
    EXPECT_EQ(canvas.Fills[0].Rect, (Tsp_Rect{0, 0, 180, 9}));
    EXPECT_EQ(canvas.Fills[1].Rect, (Tsp_Rect{0, 99, 180, 120}));
    EXPECT_EQ(canvas.Fills[0].Brush.Color, Tsp_Colors::Silver);
    ASSERT_EQ(canvas.Rectangles.size(), 2u);
    EXPECT_EQ(canvas.Rectangles[0].Rect, (Tsp_Rect{0, 0, 180, 120}));
    EXPECT_EQ(canvas.Rectangles[1].Rect, (Tsp_Rect{1, 1, 179, 119}));
    EXPECT_EQ(canvas.Rectangles[1].Pen.Color, Tsp_Colors::Silver);
}

TEST(PlotPaintTest, TickLabelsCanBeReplaced)
{
    TestPlot plot;
    plot.OnGetTickLabel = [](const Tsp_Axis& axis, int, double value, std::string& label) {
        if (value == 5 && axis.GetFlagBit(Tsp_ScaleBit::Vertical))
            label = "half";
    };
    const RecordingCanvas canvas = plot.Paint();
    EXPECT_TRUE(HasText(canvas, "half"));
    EXPECT_TRUE(HasText(canvas, "5"));
}

TEST(PlotPaintTest, DrawPlotOntoAnotherCanvasNeedsANewArrangement)
{
    TestPlot plot;
    plot.Paint();
    RecordingCanvas other;
    plot.DrawPlot(other, 400, 300);
    EXPECT_EQ(plot.Field().Right, 400 - 10);
    EXPECT_FALSE(plot.IsArranged());
    plot.Paint(true);
    EXPECT_EQ(plot.Field().Right, 170);

    RecordingCanvas tooSmall;
    plot.DrawPlot(tooSmall, 9, 100);
    EXPECT_TRUE(tooSmall.Fills.empty());
}

TEST(PlotPaintTest, XCursorInvertsAColumnInsideTheField)
{
    TestPlot plot;
    plot.Paint();
    plot.SetXCursVal(5);
    RecordingCanvas hidden;
    plot.DrawOverlay(hidden);
    EXPECT_TRUE(hidden.Lines.empty());
    plot.SetXCursOn(true);
    RecordingCanvas shown;
    plot.DrawOverlay(shown);
    ASSERT_EQ(shown.Lines.size(), 1u);
    const int x = plot.BottomAxis().V2P(5);
    EXPECT_EQ(shown.Lines[0].From, (Tsp_Point{x, 10}));
    EXPECT_EQ(shown.Lines[0].To, (Tsp_Point{x, 98}));
    EXPECT_EQ(shown.Lines[0].Pen.Mode, Tsp_PenMode::pmNotXor);
    plot.SetXCursVal(10);
    RecordingCanvas atEdge;
    plot.DrawOverlay(atEdge);
    EXPECT_TRUE(atEdge.Lines.empty());
}

TEST(LineMarkerTest, DrawnUpToItsPenWidthOutsideTheField)
{
    TestPlot plot;
    Tsp_LineMarker marker;
    marker.SetPlot(&plot);
    plot.Paint();
    const Tsp_Axis& bottom = plot.BottomAxis();
    struct Case {
        int Pixel;
        int PenWidth;
        bool Drawn;
    };
    for (const Case& c : {Case{169, 1, true}, Case{170, 1, true}, Case{171, 1, false},
                          Case{172, 3, true}, Case{173, 3, false}, Case{27, 1, true},
                          Case{26, 1, false}, Case{25, 3, true}, Case{24, 3, false}}) {
        marker.SetPosition(bottom.P2V(c.Pixel));
        marker.SetPen({Tsp_Colors::Red, Tsp_PenStyle::psDot, c.PenWidth, Tsp_PenMode::pmCopy});
        RecordingCanvas canvas;
        marker.Draw(canvas);
        ASSERT_EQ(canvas.Lines.size(), c.Drawn ? 1u : 0u) << c.Pixel << " width " << c.PenWidth;
        if (c.Drawn) {
            EXPECT_EQ(canvas.Lines[0].From, (Tsp_Point{c.Pixel, 9}));
            EXPECT_EQ(canvas.Lines[0].To, (Tsp_Point{c.Pixel, 99}));
        }
    }
}

TEST(LineMarkerTest, HorizontalMarkerOnTheYAxis)
{
    TestPlot plot;
    Tsp_LineMarker marker;
    marker.SetOrientation(Tsp_LMOrientation::loHorizontal);
    marker.SetPosition(5);
    marker.SetPlot(&plot);
    plot.Paint();
    RecordingCanvas canvas;
    marker.Draw(canvas);
    ASSERT_EQ(canvas.Lines.size(), 1u);
    const int y = plot.LeftAxis().V2P(5);
    EXPECT_EQ(canvas.Lines[0].From, (Tsp_Point{28, y}));
    EXPECT_EQ(canvas.Lines[0].To, (Tsp_Point{170, y}));
    marker.SetPosition(-1);
    RecordingCanvas below;
    marker.Draw(below);
    EXPECT_TRUE(below.Lines.empty());
}

TEST(ImageMarkerTest, DrawnOnlyWhereItMeetsTheField)
{
    TestPlot plot;
    Tsp_ImageMarker marker;
    marker.SetPicture({4, 3, std::vector<std::uint32_t>(12, 0xFF00FF00)});
    marker.SetPlot(&plot);
    plot.Paint();
    marker.SetX(5);
    marker.SetY(5);
    RecordingCanvas canvas;
    marker.Draw(canvas);
    ASSERT_EQ(canvas.Pictures.size(), 1u);
    const int x = plot.BottomAxis().V2P(5);
    const int y = plot.LeftAxis().V2P(5);
    EXPECT_EQ(canvas.Pictures[0], (Tsp_Rect{x, y, x + 4, y + 3}));

    marker.SetStretch(true);
    marker.SetStretchX(0);
    marker.SetStretchY(10);
    RecordingCanvas stretched;
    marker.Draw(stretched);
    ASSERT_EQ(stretched.Pictures.size(), 1u);
    EXPECT_EQ(stretched.Pictures[0], (Tsp_Rect{28, 9, x, y}));

    marker.SetStretch(false);
    marker.SetX(20);
    RecordingCanvas outside;
    marker.Draw(outside);
    EXPECT_TRUE(outside.Pictures.empty());
}

TEST(XYLineTest, NothingBeyondTheAxisRange)
{
    TestPlot plot;
    Tsp_XYLine line;
    line.AddXY(11, 1);
    line.AddXY(12, 2);
    line.SetPlot(&plot);
    plot.Paint();
    RecordingCanvas canvas;
    line.Draw(canvas);
    EXPECT_TRUE(canvas.Lines.empty());
    EXPECT_TRUE(canvas.Rectangles.empty());
}

TEST(XYLineTest, FarSegmentsAreLeftOut)
{
    TestPlot plot;
    Tsp_XYLine line;
    line.PointAttr().SetVisible(false);
    for (double x : {5.0, 1e6, 2e6, 6.0})
        line.AddXY(x, 5);
    line.SetPlot(&plot);
    plot.Paint();
    RecordingCanvas canvas;
    line.Draw(canvas);
    ASSERT_EQ(canvas.Lines.size(), 2u);
    EXPECT_EQ(canvas.Lines[0].To.X, 16383);
    EXPECT_EQ(canvas.Lines[1].From.X, 16383);
}

TEST(XYLineTest, SymbolsMarkThePointsInTheField)
{
    TestPlot plot;
    Tsp_XYLine line;
    line.LineAttr().SetVisible(false);
    line.AddXY(5, 5);
    line.AddXY(11, 5); // right of the field
    line.SetPlot(&plot);
    plot.Paint();
    const int x = plot.BottomAxis().V2P(5);
    const int y = plot.LeftAxis().V2P(5);

    struct Case {
        TPointKind Kind;
        std::size_t Rectangles, Ellipses, Polygons, Lines;
    };
    for (const Case& c :
         {Case{TPointKind::ptRectangle, 1, 0, 0, 0}, Case{TPointKind::ptEllipse, 0, 1, 0, 0},
          Case{TPointKind::ptDiamond, 0, 0, 1, 0}, Case{TPointKind::ptCross, 0, 0, 0, 2},
          Case{TPointKind::ptTriangle, 0, 0, 1, 0}, Case{TPointKind::ptDownTriangle, 0, 0, 1, 0}}) {
        line.PointAttr().SetKind(c.Kind);
        RecordingCanvas canvas;
        line.Draw(canvas);
        EXPECT_EQ(canvas.Rectangles.size(), c.Rectangles);
        EXPECT_EQ(canvas.Ellipses.size(), c.Ellipses);
        EXPECT_EQ(canvas.Polygons.size(), c.Polygons);
        EXPECT_EQ(canvas.Lines.size(), c.Lines);
        if (c.Kind == TPointKind::ptRectangle) {
            EXPECT_EQ(canvas.Rectangles[0].Rect, (Tsp_Rect{x - 2, y - 2, x + 3, y + 3}));
        }
    }

    line.PointAttr().SetKind(TPointKind::ptCustom);
    std::vector<Tsp_Point> custom;
    line.OnDrawCustomPoint = [&](Tsp_XYLine&, Tsp_Canvas&, double, double, int px, int py) {
        custom.push_back({px, py});
    };
    RecordingCanvas canvas;
    line.Draw(canvas);
    EXPECT_EQ(custom, (std::vector<Tsp_Point>{{x, y}}));
}

TEST(XYLineTest, LegendMarkerShowsLineAndSymbolAndKeepsTheCanvas)
{
    Tsp_XYLine line;
    line.LineAttr().SetColor(Tsp_Colors::Navy);
    RecordingCanvas canvas;
    const Tsp_Pen pen{Tsp_Colors::Lime, Tsp_PenStyle::psDash, 3, Tsp_PenMode::pmCopy};
    canvas.SetPen(pen);
    line.DrawLegendMarker(canvas, {10, 20, 30, 30});
    ASSERT_EQ(canvas.Lines.size(), 1u);
    EXPECT_EQ(canvas.Lines[0].From, (Tsp_Point{10, 25}));
    EXPECT_EQ(canvas.Lines[0].To, (Tsp_Point{30, 25}));
    EXPECT_EQ(canvas.Lines[0].Pen.Color, Tsp_Colors::Navy);
    ASSERT_EQ(canvas.Rectangles.size(), 1u);
    EXPECT_EQ(canvas.Rectangles[0].Rect, (Tsp_Rect{18, 23, 23, 28}));
    EXPECT_EQ(canvas.Pen(), pen);

    Tsp_SpectrLines spectrum;
    RecordingCanvas bar;
    spectrum.DrawLegendMarker(bar, {10, 20, 30, 30});
    ASSERT_EQ(bar.Lines.size(), 1u);
    EXPECT_EQ(bar.Lines[0].From, (Tsp_Point{20, 30}));
}

TEST(XYLineTest, SingleHiddenPointDrawsNothing)
{
    TestPlot plot;
    Tsp_XYLine line;
    line.PointAttr().SetVisible(false);
    line.AddXY(5, 5);
    line.SetPlot(&plot);
    plot.Paint();
    RecordingCanvas canvas;
    line.Draw(canvas);
    EXPECT_TRUE(canvas.Lines.empty());
}

TEST(SpectrLinesTest, BarsFromTheBaseLine)
{
    TestPlot plot;
    Tsp_SpectrLines spectrum;
    spectrum.SetBaseYValue(2);
    spectrum.AddXY(5, 8);
    spectrum.SetPlot(&plot);
    plot.Paint();
    RecordingCanvas canvas;
    spectrum.Draw(canvas);
    ASSERT_EQ(canvas.Lines.size(), 2u);
    const int x = plot.BottomAxis().V2P(5);
    const int base = plot.LeftAxis().V2P(2);
    EXPECT_EQ(canvas.Lines[0].From, (Tsp_Point{x, base}));
    EXPECT_EQ(canvas.Lines[0].To, (Tsp_Point{x, plot.LeftAxis().V2P(8)}));
    EXPECT_EQ(canvas.Lines[1].From, (Tsp_Point{28, base}));
    EXPECT_EQ(canvas.Lines[1].To, (Tsp_Point{171, base}));

    spectrum.SetYOrigin(Tsp_YOrigin::yoXAxises);
    spectrum.SetShowLabel(true);
    RecordingCanvas onAxis;
    spectrum.Draw(onAxis);
    ASSERT_EQ(onAxis.Lines.size(), 1u);
    EXPECT_EQ(onAxis.Lines[0].From.Y, plot.BottomAxis().LineY() + 2);
    EXPECT_EQ(onAxis.TextsDrawn(), (std::vector<std::string>{"5"}));
}

TEST(AutoLimitsTest, FollowTheDataWithRoom)
{
    TestPlot plot;
    plot.BottomAxis().SetAutoMin(true);
    plot.BottomAxis().SetAutoMax(true);
    plot.LeftAxis().SetAutoMax(true);
    Tsp_XYLine line;
    line.SetPlot(&plot);
    EXPECT_EQ(LimitsOf(plot.BottomAxis()), (Limits{0, 10}));
    line.SetLockInvalidate(true);
    for (int k = 0; k <= 100; ++k)
        line.AddXY(k, k / 50.0);
    EXPECT_EQ(LimitsOf(plot.BottomAxis()), (Limits{0, 10}));
    line.SetLockInvalidate(false);
    EXPECT_EQ(LimitsOf(plot.BottomAxis()), (Limits{-2.5, 102.5}));
    EXPECT_DOUBLE_EQ(plot.LeftAxis().Min(), 0);
    EXPECT_DOUBLE_EQ(plot.LeftAxis().Max(), 2 + 2 * 0.025);
    EXPECT_FALSE(plot.IsArranged());
}

TEST(AutoLimitsTest, OnlyActiveSeriesOnTheAxisCount)
{
    TestPlot plot;
    Tsp_XYLine bottom, top, inactive;
    bottom.AddXY(0, 0);
    bottom.AddXY(4, 1);
    top.AddXY(-100, 0);
    top.AddXY(100, 1);
    top.SetXAxis(Tsp_WhatXAxis::dsxTop);
    inactive.AddXY(-1000, 0);
    inactive.SetActive(false);
    for (Tsp_XYLine* line : {&bottom, &top, &inactive})
        line->SetPlot(&plot);
    EXPECT_EQ(plot.FindXAutoMin(Tsp_WhatXAxis::dsxBottom), 0);
    EXPECT_EQ(plot.FindXAutoMax(Tsp_WhatXAxis::dsxBottom), 4);
    EXPECT_EQ(plot.FindXAutoMin(Tsp_WhatXAxis::dsxTop), -100);
    EXPECT_EQ(plot.FindYAutoMax(Tsp_WhatYAxis::dsyLeft), 1);
    EXPECT_FALSE(plot.FindYAutoMax(Tsp_WhatYAxis::dsyRight));

    plot.BottomAxis().SetAutoMin(true);
    EXPECT_EQ(LimitsOf(plot.BottomAxis()), (Limits{-0.25, 10}));
    plot.TopAxis().SetAutoMax(true);
    EXPECT_EQ(LimitsOf(plot.TopAxis()), (Limits{0, 102.5}));

    inactive.SetActive(true);
    EXPECT_EQ(LimitsOf(plot.BottomAxis()), (Limits{-1000 - 0.025 * 1010, 10}));
}

TEST(AutoLimitsTest, WithoutDataOrFlagsNothingChanges)
{
    TestPlot plot;
    EXPECT_FALSE(plot.DoAutoMinMax(plot.BottomAxis()));
    plot.BottomAxis().SetAutoMin(true);
    EXPECT_FALSE(plot.DoAutoMinMax(plot.BottomAxis()));
    EXPECT_EQ(LimitsOf(plot.BottomAxis()), (Limits{0, 10}));
    Tsp_XYLine empty;
    empty.SetPlot(&plot);
    EXPECT_FALSE(plot.DoAutoMinMax(plot.BottomAxis()));
}

TEST(AutoLimitsTest, SinglePointGetsAUsableRange)
{
    TestPlot plot;
    plot.LeftAxis().SetAutoMin(true);
    plot.LeftAxis().SetAutoMax(true);
    Tsp_XYLine line;
    line.SetPlot(&plot);
    line.AddXY(1, -100);
    EXPECT_LE(plot.LeftAxis().Min(), -100);
    EXPECT_GE(plot.LeftAxis().Max(), -100);
    EXPECT_LT(plot.LeftAxis().Min(), plot.LeftAxis().Max());
}

TEST(AutoLimitsTest, ExplicitLimitsSwitchThemOff)
{
    TestPlot plot;
    plot.BottomAxis().SetAutoMax(true);
    plot.BottomAxis().SetMax(256);
    EXPECT_FALSE(plot.BottomAxis().AutoMax());
    Tsp_XYLine line;
    line.AddXY(0, 0);
    line.AddXY(1000, 0);
    line.SetPlot(&plot);
    EXPECT_EQ(plot.BottomAxis().Max(), 256);
}

class ZoomTest : public ::testing::Test {
protected:
    void SetUp() override { plot.Paint(); }

    Limits Expected(const Tsp_Axis& axis, int a, int b) const
    {
        const double p = axis.P2V(a);
        const double q = axis.P2V(b);
        return {std::min(p, q), std::max(p, q)};
    }

    void Drag(Tsp_ShiftState shift, Tsp_Point from, Tsp_Point to)
    {
        plot.MouseDown(Tsp_MouseButton::mbLeft, shift, from);
        plot.MouseMove(to);
        plot.MouseUp(Tsp_MouseButton::mbLeft, to);
    }

    void Click(Tsp_ShiftState shift, Tsp_Point at) { Drag(shift, at, at); }

    void ExpectOriginalLimits() const
    {
        EXPECT_EQ(LimitsOf(plot.BottomAxis()), (Limits{0, 10}));
        EXPECT_EQ(LimitsOf(plot.TopAxis()), (Limits{0, 10}));
        EXPECT_EQ(LimitsOf(plot.LeftAxis()), (Limits{0, 10}));
        EXPECT_EQ(LimitsOf(plot.RightAxis()), (Limits{0, 10}));
    }

    TestPlot plot;
};

TEST_F(ZoomTest, RubberBandZoomsAndAClickRestores)
{
    const Limits bottom = Expected(plot.BottomAxis(), 50, 100);
    const Limits left = Expected(plot.LeftAxis(), 60, 20);
    plot.MouseDown(Tsp_MouseButton::mbLeft, ShiftLeft, {50, 20});
    EXPECT_EQ(plot.MouseMode(), Tsp_MouseMode::ZoomPending);
    plot.MouseMove({100, 60});
    EXPECT_EQ(plot.MouseMode(), Tsp_MouseMode::Zooming);
    EXPECT_EQ(plot.RubberBand(), (Tsp_Rect{50, 20, 100, 60}));
    RecordingCanvas band;
    plot.DrawOverlay(band);
    EXPECT_EQ(band.Lines.size(), 4u);
    EXPECT_EQ(band.Lines[0].Pen.Mode, Tsp_PenMode::pmNotXor);
    plot.MouseUp(Tsp_MouseButton::mbLeft, {100, 60});
    EXPECT_EQ(plot.MouseMode(), Tsp_MouseMode::Idle);
    EXPECT_EQ(plot.RubberBand(), std::nullopt);
    EXPECT_EQ(LimitsOf(plot.BottomAxis()), bottom);
    EXPECT_EQ(LimitsOf(plot.LeftAxis()), left);
    EXPECT_TRUE(plot.LimitsStored());
    EXPECT_FALSE(plot.IsArranged());

    plot.Paint();
    Click(ShiftLeft, {80, 40});
    ExpectOriginalLimits();
    EXPECT_FALSE(plot.LimitsStored());
}

TEST_F(ZoomTest, ASecondZoomStillRestoresTheFirstLimits)
{
    Drag(ShiftLeft, {50, 20}, {100, 60});
    plot.Paint();
    Drag(ShiftLeft, {60, 30}, {90, 50});
    Click(ShiftLeft, {80, 40});
    ExpectOriginalLimits();
}

TEST_F(ZoomTest, BackwardsDragIsNormalised)
{
    const Limits bottom = Expected(plot.BottomAxis(), 51, 101);
    const Limits left = Expected(plot.LeftAxis(), 61, 21);
    Drag(ShiftLeft, {100, 60}, {50, 20});
    EXPECT_EQ(LimitsOf(plot.BottomAxis()), bottom);
    EXPECT_EQ(LimitsOf(plot.LeftAxis()), left);
}

TEST_F(ZoomTest, ShortDragIsAClick)
{
    Drag(ShiftLeft, {50, 20}, {53, 23});
    ExpectOriginalLimits();
    EXPECT_FALSE(plot.LimitsStored());
}

TEST_F(ZoomTest, NarrowRectangleDoesNothing)
{
    Drag(ShiftLeft, {50, 20}, {52, 60});
    ExpectOriginalLimits();
    EXPECT_FALSE(plot.LimitsStored());
}

TEST_F(ZoomTest, OnlyTheConfiguredKeysZoom)
{
    Drag(Tsp_Shift::ssLeft, {50, 20}, {100, 60});
    Drag(ShiftLeft | Tsp_Shift::ssAlt, {50, 20}, {100, 60});
    plot.MouseDown(Tsp_MouseButton::mbRight, Tsp_Shift::ssShift | Tsp_Shift::ssRight, {50, 20});
    EXPECT_EQ(plot.MouseMode(), Tsp_MouseMode::Idle);
    ExpectOriginalLimits();

    plot.SetZoomShiftKeys(Tsp_Shift::ssAlt);
    Drag(Tsp_Shift::ssAlt | Tsp_Shift::ssLeft, {50, 20}, {100, 60});
    EXPECT_NE(LimitsOf(plot.BottomAxis()), (Limits{0, 10}));

    plot.SetZoom(Tsp_zpDirections::zpdNone);
    plot.MouseDown(Tsp_MouseButton::mbLeft, Tsp_Shift::ssAlt | Tsp_Shift::ssLeft, {50, 20});
    EXPECT_EQ(plot.MouseMode(), Tsp_MouseMode::Idle);
}

TEST_F(ZoomTest, HorizontalZoomSpansTheFieldHeight)
{
    plot.SetZoom(Tsp_zpDirections::zpdHorizontal);
    const Limits bottom = Expected(plot.BottomAxis(), 50, 100);
    plot.MouseDown(Tsp_MouseButton::mbLeft, ShiftLeft, {50, 40});
    plot.MouseMove({100, 45});
    EXPECT_EQ(plot.RubberBand(), (Tsp_Rect{50, 9, 100, 99}));
    plot.MouseUp(Tsp_MouseButton::mbLeft, {100, 45});
    EXPECT_EQ(LimitsOf(plot.BottomAxis()), bottom);
    EXPECT_EQ(LimitsOf(plot.LeftAxis()), (Limits{0, 10}));
}

TEST_F(ZoomTest, ShakyClickInAOneDirectionZoomStillRestores)
{
    plot.SetZoom(Tsp_zpDirections::zpdHorizontal);
    Drag(ShiftLeft, {50, 50}, {100, 50});
    const Limits zoomed = LimitsOf(plot.BottomAxis());
    EXPECT_NE(zoomed, (Limits{0, 10}));
    plot.Paint();
    Drag(ShiftLeft, {80, 50}, {81, 51});
    ExpectOriginalLimits();
}

TEST_F(ZoomTest, AnAxisCanRefuseToZoom)
{
    plot.OnAxisZoom = [this](Tsp_Axis& axis, double&, double& max, bool& canZoom) {
        if (&axis == &plot.BottomAxis())
            canZoom = false;
        if (&axis == &plot.LeftAxis())
            max = 9;
    };
    Drag(ShiftLeft, {50, 20}, {100, 60});
    EXPECT_EQ(LimitsOf(plot.BottomAxis()), (Limits{0, 10}));
    EXPECT_EQ(plot.LeftAxis().Max(), 9);
}

TEST_F(ZoomTest, PanningShiftsTheLimitsAndAClickRestoresThem)
{
    const double shift = 10 / plot.BottomAxis().Metric();
    plot.RepaintRequests = 0;
    plot.MouseDown(Tsp_MouseButton::mbLeft, CtrlLeft, {100, 50});
    EXPECT_EQ(plot.MouseMode(), Tsp_MouseMode::PanPending);
    plot.MouseMove({100, 50});
    EXPECT_EQ(plot.MouseMode(), Tsp_MouseMode::PanPending);
    plot.MouseMove({90, 50});
    EXPECT_EQ(plot.MouseMode(), Tsp_MouseMode::Panning);
    plot.MouseUp(Tsp_MouseButton::mbLeft, {90, 50});
    EXPECT_DOUBLE_EQ(plot.BottomAxis().Min(), shift);
    EXPECT_DOUBLE_EQ(plot.TopAxis().Min(), shift);
    EXPECT_EQ(LimitsOf(plot.LeftAxis()), (Limits{0, 10}));
    EXPECT_TRUE(plot.IsArranged());
    EXPECT_FALSE(plot.SurroundingsDrawn());
    EXPECT_GT(plot.RepaintRequests, 0);

    Click(ShiftLeft, {80, 40});
    ExpectOriginalLimits();
}

TEST_F(ZoomTest, ExplicitLimitsMakeTheClickDoNothing)
{
    Drag(ShiftLeft, {50, 20}, {100, 60});
    const Limits zoomed = LimitsOf(plot.BottomAxis());
    plot.LeftAxis().SetMax(1.1);
    EXPECT_FALSE(plot.LimitsStored());
    Click(ShiftLeft, {80, 40});
    EXPECT_EQ(LimitsOf(plot.BottomAxis()), zoomed);
}

TEST_F(ZoomTest, StoredLimitsAreKeptUntilRestored)
{
    plot.StoreLimits();
    plot.BottomAxis().ChangeMinMax(3, 4);
    plot.StoreLimits();
    plot.RestoreLimits();
    ExpectOriginalLimits();
    plot.RestoreLimits();
    ExpectOriginalLimits();
}

TEST(AxisTest, ExplicitLimitsAndShifts)
{
    TestPlot plot;
    plot.Paint();
    Tsp_Axis& bottom = plot.BottomAxis();
    bottom.SetMinMax(256, 0);
    EXPECT_EQ(LimitsOf(bottom), (Limits{0, 256}));
    plot.StoreLimits();
    bottom.MoveMinMax(10);
    EXPECT_EQ(LimitsOf(bottom), (Limits{10, 266}));
    EXPECT_FALSE(bottom.LimitsStored());
    EXPECT_TRUE(plot.LeftAxis().LimitsStored());
    bottom.SetMin(20);
    EXPECT_EQ(LimitsOf(bottom), (Limits{20, 266}));
    bottom.SetMax(20);
    EXPECT_DOUBLE_EQ(bottom.Min(), 19.8);
    EXPECT_DOUBLE_EQ(bottom.Max(), 22);
}

TEST(AxisTest, AssignCopiesTheAxis)
{
    TestPlot plot;
    Tsp_Axis& left = plot.LeftAxis();
    left.SetMinMax(0, 1.1);
    left.SetCaption("Fraction");
    left.SetMargin(20);
    left.SetLabelFormat("0.0");
    left.SetTicksCount(3);
    left.LineAttr().SetColor(Tsp_Colors::Red);
    Tsp_Axis& right = plot.RightAxis();
    right.Assign(left);
    EXPECT_EQ(right.Flags(), left.Flags());
    EXPECT_EQ(LimitsOf(right), (Limits{0, 1.1}));
    EXPECT_EQ(right.Caption(), "Fraction");
    EXPECT_EQ(right.Margin(), 20);
    EXPECT_EQ(right.TicksCount(), 3);
    EXPECT_EQ(right.LineAttr().Color(), Tsp_Colors::Red);
    EXPECT_TRUE(right.GridAttr().Visible());
    EXPECT_EQ(right.TickLabel(1), left.TickLabel(1));
}

TEST(PlotLifetimeTest, APlotGoingFirstLeavesNoDanglingReference)
{
    auto plot = std::make_unique<TestPlot>();
    Tsp_XYLine line;
    Tsp_LineMarker marker;
    line.SetPlot(plot.get());
    marker.SetPlot(plot.get());
    plot.reset();
    EXPECT_EQ(line.Plot(), nullptr);
    EXPECT_EQ(marker.Plot(), nullptr);
    line.AddXY(1, 1);
    marker.SetPosition(2);
    line.SetActive(false);
}

TEST(PlotLifetimeTest, SeriesAndMarkersGoingFirstLeaveThePlot)
{
    TestPlot plot;
    {
        Tsp_XYLine line;
        line.AddXY(1, 1);
        line.AddXY(2, 2);
        Tsp_LineMarker marker;
        line.SetPlot(&plot);
        plot.AddMarker(marker, Tsp_WhenDrawMarker::dmAfterSeries);
        EXPECT_EQ(plot.GetSeriesCount(), 1);
        EXPECT_EQ(plot.MarkerList(Tsp_WhenDrawMarker::dmAfterSeries).size(), 1u);
    }
    EXPECT_EQ(plot.GetSeriesCount(), 0);
    EXPECT_TRUE(plot.MarkerList(Tsp_WhenDrawMarker::dmAfterSeries).empty());
    const RecordingCanvas canvas = plot.Paint();
    EXPECT_FALSE(canvas.Fills.empty());
}

TEST(PlotLifetimeTest, ListsHoldEachOnceAndMoveThem)
{
    TestPlot plot, other;
    Tsp_XYLine a, b;
    plot.AddSeries(a);
    plot.AddSeries(a);
    plot.AddSeries(b);
    EXPECT_EQ(plot.GetSeriesCount(), 2);
    a.BringToFront();
    EXPECT_EQ(plot.GetSeriesPtr(1), &a);
    a.SendToBack();
    EXPECT_EQ(plot.GetSeriesPtr(0), &a);
    EXPECT_EQ(plot.GetSeriesPtr(2), nullptr);
    b.SetPlot(&other);
    EXPECT_EQ(plot.GetSeriesCount(), 1);
    EXPECT_EQ(other.GetSeriesCount(), 1);
    plot.RemoveSeries(b);
    EXPECT_EQ(b.Plot(), &other);
    plot.RemoveSeries(a);
    EXPECT_EQ(a.Plot(), nullptr);

    Tsp_LineMarker m1, m2;
    plot.AddMarker(m1, Tsp_WhenDrawMarker::dmBeforeSeries);
    plot.AddMarker(m2, Tsp_WhenDrawMarker::dmBeforeSeries);
    m1.BringToFront();
    EXPECT_EQ(plot.MarkerList(Tsp_WhenDrawMarker::dmBeforeSeries).back(), &m1);
    m1.SetWhenDraw(Tsp_WhenDrawMarker::dmAfterSeries);
    EXPECT_EQ(plot.MarkerList(Tsp_WhenDrawMarker::dmBeforeSeries).size(), 1u);
    EXPECT_EQ(plot.MarkerList(Tsp_WhenDrawMarker::dmAfterSeries).front(), &m1);
    plot.RemoveMarker(m1);
    EXPECT_TRUE(plot.MarkerList(Tsp_WhenDrawMarker::dmAfterSeries).empty());
}

} // namespace
} // namespace varnolux
