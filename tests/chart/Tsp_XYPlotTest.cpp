#include "chart/Tsp_XYPlot.h"

#include "chart/Tsp_LineMarker.h"
#include "chart/Tsp_XYLine.h"

#include <array>
#include <memory>

#include <QApplication>
#include <QImage>
#include <QPointer>
#include <QTest>

using namespace varnolux;

namespace {

QColor ColorOf(Tsp_Color c)
{
    return QColor(c & 0xff, c >> 8 & 0xff, c >> 16 & 0xff);
}

/// The main window's chart: three cumulative curves and six range markers, all
/// owned by the plot, which the window owns.
struct ChannelChart {
    ChannelChart()
        : Plot(new Tsp_XYPlot(&Window))
    {
        Window.resize(400, 300);
        Plot->setObjectName("sp_XYPlot");
        Plot->resize(400, 300);
        Plot->SetFieldColor(Tsp_Colors::White);
        Plot->SetBorderStyle(Tsp_BorderStyle::bs_None);
        Plot->LeftAxis().SetMax(10);
        Plot->BottomAxis().SetMax(256);
        const std::array<Tsp_Color, 3> curveColors{Tsp_Colors::Maroon, Tsp_Colors::Green,
                                                   Tsp_Colors::Navy};
        const std::array<Tsp_Color, 3> markerColors{Tsp_Colors::Red, Tsp_Colors::Lime,
                                                    Tsp_Colors::Blue};
        for (int c = 0; c < 3; ++c) {
            Lines[c] = new Tsp_XYLine(Plot);
            Lines[c]->LineAttr().SetColor(curveColors[c]);
            Lines[c]->PointAttr().SetVisible(false);
            Lines[c]->SetPlot(Plot);
            for (int m = 0; m < 2; ++m) {
                Tsp_LineMarker* marker = new Tsp_LineMarker(Plot);
                marker->SetPen({markerColors[c], Tsp_PenStyle::psDot, 1, Tsp_PenMode::pmCopy});
                Plot->AddMarker(*marker, Tsp_WhenDrawMarker::dmBeforeSeries);
                Markers[2 * c + m] = marker;
            }
        }
    }

    /// Fills each curve with 256 points at a constant height, as an analysis would.
    void Fill(const std::array<double, 3>& heights)
    {
        Plot->LeftAxis().SetMax(1.1);
        for (int c = 0; c < 3; ++c) {
            Tsp_XYLine* line = Lines[c];
            line->SetCapacity(0);
            line->SetLockInvalidate(true);
            for (int k = 0; k < 256; ++k)
                line->AddXY(k, heights[c]);
            line->SetLockInvalidate(false);
        }
    }

    void PlaceMarkers(const std::array<double, 6>& positions)
    {
        for (int i = 0; i < 6; ++i)
            Markers[i]->SetPosition(positions[i]);
    }

    QImage Image() { return Plot->grab().toImage().convertToFormat(QImage::Format_RGB32); }

    int X(double value) const { return Plot->BottomAxis().V2P(value); }
    int Y(double value) const { return Plot->LeftAxis().V2P(value); }

    QWidget Window;
    Tsp_XYPlot* Plot;
    std::array<Tsp_XYLine*, 3> Lines{};
    std::array<Tsp_LineMarker*, 6> Markers{};
};

int CountInColumn(const QImage& image, int x, int top, int bottom, const QColor& color)
{
    int count = 0;
    for (int y = top; y < bottom; ++y)
        count += image.pixelColor(x, y) == color ? 1 : 0;
    return count;
}

} // namespace

class Tsp_XYPlotTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void curvesAndMarkersArePainted();
    void bufferedPaintingMatchesDirectPainting();
    void quickAddDrawsIntoTheBuffer();
    void rubberBandZoomAndClickUnzoom();
    void ctrlDragPans();
    void seriesDestroyedBeforeThePlot();
    void plotDestroyedBeforeItsSeries();
    void bottomAxisCaptionByName();
    void plotImageAtAnotherSize();
};

void Tsp_XYPlotTest::curvesAndMarkersArePainted()
{
    ChannelChart chart;
    chart.Fill({0.5, 0.25, 0.75});
    chart.PlaceMarkers({30, 200, 60, 150, 90, 240});
    const QImage image = chart.Image();
    const Tsp_Rect field = chart.Plot->Field();
    QVERIFY(!field.IsEmpty());

    // Each marker is a dotted column of its colour across the field.
    const int height = field.Height();
    QVERIFY(CountInColumn(image, chart.X(30), field.Top, field.Bottom, ColorOf(Tsp_Colors::Red)) >=
            height / 4);
    QVERIFY(CountInColumn(image, chart.X(150), field.Top, field.Bottom,
                          ColorOf(Tsp_Colors::Lime)) >= height / 4);
    QVERIFY(CountInColumn(image, chart.X(240), field.Top, field.Bottom,
                          ColorOf(Tsp_Colors::Blue)) >= height / 4);
    QCOMPARE(
        CountInColumn(image, chart.X(30) + 1, field.Top, field.Bottom, ColorOf(Tsp_Colors::Red)),
        0);

    // The curves cross the markers (drawn after them) and end at x = 255.
    QCOMPARE(image.pixelColor(chart.X(30), chart.Y(0.5)), ColorOf(Tsp_Colors::Maroon));
    QCOMPARE(image.pixelColor(chart.X(254), chart.Y(0.5)), ColorOf(Tsp_Colors::Maroon));
    QCOMPARE(image.pixelColor(chart.X(254), chart.Y(0.25)), ColorOf(Tsp_Colors::Green));
    QCOMPARE(image.pixelColor(chart.X(254), chart.Y(0.75)), ColorOf(Tsp_Colors::Navy));
    QVERIFY(image.pixelColor(chart.X(255) + 2, chart.Y(0.5)) != ColorOf(Tsp_Colors::Maroon));
    QCOMPARE(image.pixelColor(field.Left + 1, field.Top + 1), QColor(Qt::white));
    QCOMPARE(image.pixelColor(1, 1), ColorOf(Tsp_Colors::BtnFace));
    QCOMPARE(image.pixelColor(chart.Plot->LeftAxis().LineX(), chart.Y(0.3)), QColor(Qt::black));
}

void Tsp_XYPlotTest::bufferedPaintingMatchesDirectPainting()
{
    ChannelChart direct;
    ChannelChart buffered;
    buffered.Plot->SetBufferedDisplay(true);
    for (ChannelChart* chart : {&direct, &buffered}) {
        chart->Fill({0.1, 0.2, 0.3});
        chart->PlaceMarkers({10, 20, 30, 40, 50, 60});
    }
    QCOMPARE(buffered.Image(), direct.Image());

    // A marker move redraws only the field of the buffer; axes stay as they were.
    for (ChannelChart* chart : {&direct, &buffered})
        chart->Markers[0]->SetPosition(100);
    QVERIFY(buffered.Plot->SurroundingsDrawn());
    QVERIFY(!buffered.Plot->FieldDrawn());
    QCOMPARE(buffered.Image(), direct.Image());

    for (ChannelChart* chart : {&direct, &buffered})
        chart->Plot->resize(300, 200);
    QCOMPARE(buffered.Image(), direct.Image());
}

void Tsp_XYPlotTest::quickAddDrawsIntoTheBuffer()
{
    ChannelChart chart;
    chart.Plot->SetBufferedDisplay(true);
    chart.Fill({0.5, 0.25, 0.75});
    chart.Image();
    QVERIFY(chart.Plot->FieldDrawn());
    Tsp_XYLine& line = *chart.Lines[0];
    line.SetCapacity(0);
    line.SetLockInvalidate(true);
    line.AddXY(0, 1);
    line.SetLockInvalidate(false);
    chart.Image();
    line.QuickAddXY(100, 1);
    QVERIFY(chart.Plot->FieldDrawn());
    const QImage image = chart.Image();
    QCOMPARE(image.pixelColor(chart.X(50), chart.Y(1)), ColorOf(Tsp_Colors::Maroon));
}

void Tsp_XYPlotTest::rubberBandZoomAndClickUnzoom()
{
    ChannelChart chart;
    chart.Fill({0.5, 0.25, 0.75});
    chart.Window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chart.Window));
    chart.Image();
    Tsp_XYPlot& plot = *chart.Plot;
    const QPoint from(chart.X(50), chart.Y(0.9));
    const QPoint to(chart.X(150), chart.Y(0.3));
    const double expectedMin = plot.BottomAxis().P2V(from.x());
    const double expectedMax = plot.BottomAxis().P2V(to.x());
    const double expectedTop = plot.LeftAxis().P2V(from.y());

    QTest::mousePress(&plot, Qt::LeftButton, Qt::ShiftModifier, from);
    QTest::mouseMove(&plot, to);
    QCOMPARE(plot.MouseMode(), Tsp_MouseMode::Zooming);
    QTest::mouseRelease(&plot, Qt::LeftButton, Qt::ShiftModifier, to);
    QCOMPARE(plot.MouseMode(), Tsp_MouseMode::Idle);
    QCOMPARE(plot.BottomAxis().Min(), expectedMin);
    QCOMPARE(plot.BottomAxis().Max(), expectedMax);
    QCOMPARE(plot.LeftAxis().Max(), expectedTop);

    // The zoomed plot shows the curve across the whole field.
    const QImage zoomed = chart.Image();
    const Tsp_Rect field = plot.Field();
    QCOMPARE(zoomed.pixelColor(field.Left + 5, chart.Y(0.5)), ColorOf(Tsp_Colors::Maroon));
    QCOMPARE(zoomed.pixelColor(field.Right - 5, chart.Y(0.5)), ColorOf(Tsp_Colors::Maroon));

    QTest::mouseClick(&plot, Qt::LeftButton, Qt::ShiftModifier, QPoint(field.Left + 10, 20));
    QCOMPARE(plot.BottomAxis().Min(), 0.0);
    QCOMPARE(plot.BottomAxis().Max(), 256.0);
    QCOMPARE(plot.LeftAxis().Max(), 1.1);
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);
}

void Tsp_XYPlotTest::ctrlDragPans()
{
    ChannelChart chart;
    chart.Window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chart.Window));
    chart.Image();
    Tsp_XYPlot& plot = *chart.Plot;
    const QPoint from(200, 150);
    QTest::mousePress(&plot, Qt::LeftButton, Qt::ControlModifier, from);
    QVERIFY(QGuiApplication::overrideCursor() != nullptr);
    QTest::mouseMove(&plot, from + QPoint(-20, 0));
    QTest::mouseRelease(&plot, Qt::LeftButton, Qt::ControlModifier, from + QPoint(-20, 0));
    QCOMPARE(plot.BottomAxis().Min(), 20 / plot.BottomAxis().Metric());
    QCOMPARE(plot.LeftAxis().Min(), 0.0);
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);

    QTest::mouseClick(&plot, Qt::LeftButton, Qt::ShiftModifier, from);
    QCOMPARE(plot.BottomAxis().Min(), 0.0);
}

void Tsp_XYPlotTest::seriesDestroyedBeforeThePlot()
{
    ChannelChart chart;
    chart.Fill({0.5, 0.25, 0.75});
    delete chart.Lines[1];
    delete chart.Markers[0];
    QCOMPARE(chart.Plot->GetSeriesCount(), 2);
    QCOMPARE(chart.Plot->MarkerList(Tsp_WhenDrawMarker::dmBeforeSeries).size(), std::size_t{5});
    const QImage image = chart.Image();
    QVERIFY(image.pixelColor(chart.X(100), chart.Y(0.25)) != ColorOf(Tsp_Colors::Green));
    QCOMPARE(image.pixelColor(chart.X(100), chart.Y(0.5)), ColorOf(Tsp_Colors::Maroon));
}

void Tsp_XYPlotTest::plotDestroyedBeforeItsSeries()
{
    Tsp_XYLine freeLine;
    Tsp_LineMarker freeMarker;
    auto chart = std::make_unique<ChannelChart>();
    freeLine.SetPlot(chart->Plot);
    freeMarker.SetPlot(chart->Plot);
    const QPointer<Tsp_XYLine> ownedLine = chart->Lines[0];
    delete chart->Plot;
    QVERIFY(ownedLine.isNull());
    QCOMPARE(freeLine.Plot(), nullptr);
    QCOMPARE(freeMarker.Plot(), nullptr);
    freeLine.AddXY(1, 1);
    freeMarker.SetPosition(3);
}

void Tsp_XYPlotTest::bottomAxisCaptionByName()
{
    ChannelChart chart;
    auto* plot = chart.Window.findChild<Tsp_XYPlot*>("sp_XYPlot");
    QVERIFY(plot != nullptr);
    QCOMPARE(QString(plot->metaObject()->className()), QString("varnolux::Tsp_XYPlot"));
    QVERIFY(plot->setProperty("BottomAxisCaption", QString("Farbwert ä")));
    QCOMPARE(plot->BottomAxis().Caption(), std::string("Farbwert ä"));
    QCOMPARE(plot->BottomAxisCaption(), QString("Farbwert ä"));
    plot->SetBottomAxisCaption(QString());
    QVERIFY(!plot->BottomAxis().HasCaption());
}

void Tsp_XYPlotTest::plotImageAtAnotherSize()
{
    ChannelChart chart;
    chart.Fill({0.5, 0.25, 0.75});
    const QImage onScreen = chart.Image();
    const QImage large = chart.Plot->PlotImage(800, 600);
    QCOMPARE(large.size(), QSize(800, 600));
    const Tsp_Rect field = chart.Plot->Field();
    QVERIFY(field.Right > 700 && field.Bottom > 500);
    QCOMPARE(large.pixelColor(chart.X(254), chart.Y(0.5)), ColorOf(Tsp_Colors::Maroon));
    QVERIFY(!chart.Plot->IsArranged());
    QCOMPARE(chart.Image(), onScreen);
    QVERIFY(chart.Plot->PlotImage(9, 600).isNull());
}

QTEST_MAIN(Tsp_XYPlotTest)
#include "Tsp_XYPlotTest.moc"
