// The colour-range controller on controls of its own, without the main window.

#include "chart/Tsp_LineMarker.h"
#include "chart/Tsp_XYPlot.h"
#include "shell/HueAngle.h"
#include "shell/TColourRangeController.h"
#include "shell/TImageWidget.h"
#include "shell/TLabeledEdit.h"
#include "support/RecordingReporter.h"
#include "tools/TKVShapeSize.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>

using namespace varnolux;
using varnolux::test::RecordingReporter;

namespace {

/// The controls the main window lays out, on a plain window.
struct TRangeWindow {
    TRangeWindow()
    {
        for (size_t i = 0; i < controls.TrackBars.size(); ++i) {
            auto* bar = new QSlider(Qt::Horizontal, &window);
            bar->setRange(0, 255);
            bar->setValue(InitialColourRange[i]);
            controls.TrackBars[i] = bar;
            controls.Edits[i] =
                new TLabeledEdit(&window, TColourRangeController::EditNames[i], "Min");
            controls.Edits[i]->setText(QString::number(InitialColourRange[i]));
            controls.Markers[i] = new Tsp_LineMarker(plot);
        }
        controls.Circle =
            new TImageWidget(&window, "ImageColorCircle", TImageWidget::TPictureFit::Natural);
        controls.Circle->setGeometry(5, 8, 166, 166);
        for (TKVShapeSize** handle : {&controls.HueMaxHandle, &controls.HueMinHandle}) {
            *handle = new TKVShapeSize(&window);
            (*handle)->SetShape(TKVShapeSize::TShapeType::stCircle);
            (*handle)->SetShowHandles(false);
            (*handle)->SetBoundControl(controls.Circle);
            (*handle)->SetBounds({QPoint(20, 20), QSize(10, 10)});
        }
    }

    QSlider& Bar(int index) { return *controls.TrackBars[static_cast<size_t>(index)]; }

    QWidget window;
    Tsp_XYPlot* plot = new Tsp_XYPlot(&window);
    TColourRangeController::TControls controls;
};

} // namespace

class ColourRangeControllerTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        controls = std::make_unique<TRangeWindow>();
        range = std::make_unique<TColourRangeController>(controls->controls);
    }
    void cleanup()
    {
        range.reset();
        controls.reset();
    }

    void EveryChangeIsShownAndTheBurstSettlesOnceAfterTheQuietTime()
    {
        QSignalSpy changed(range.get(), &TColourRangeController::RangeChanged);
        QSignalSpy settled(range.get(), &TColourRangeController::RangeSettled);
        QElapsedTimer sinceLastChange;
        for (int value = 250; value >= 200; value -= 10) {
            sinceLastChange.start();
            controls->Bar(SMax).setValue(value);
            QCOMPARE(controls->controls.Edits[SMax]->text(), QString::number(value));
            QCOMPARE(controls->controls.Markers[SMax]->Position(), double(value));
            QVERIFY(range->Waiting());
        }
        QCOMPARE(changed.count(), 6);
        QCOMPARE(changed.last().at(0).value<TColourRange>()[SMax], 200);
        QVERIFY(settled.wait(5000));
        QVERIFY(sinceLastChange.elapsed() >= TColourRangeController::QuietTime.count());
        QCOMPARE(settled.count(), 1);
        QCOMPARE(settled.first().at(0).value<TColourRange>(),
                 (TColourRange{0, 255, 0, 200, 0, 255}));
        QVERIFY(!range->Waiting());
    }

    void ANewChangeRestartsTheQuietTime()
    {
        QSignalSpy settled(range.get(), &TColourRangeController::RangeSettled);
        QElapsedTimer sinceChange;
        controls->Bar(VMin).setValue(10);
        sinceChange.start();
        const qint64 quiet = TColourRangeController::QuietTime.count();
        QTRY_VERIFY(sinceChange.elapsed() >= quiet / 2);
        QCOMPARE(settled.count(), 0);
        sinceChange.start();
        controls->Bar(VMin).setValue(20);
        QVERIFY(settled.wait(5000));
        QVERIFY(sinceChange.elapsed() >= quiet);
        QCOMPARE(settled.count(), 1);
        QCOMPARE(settled.first().at(0).value<TColourRange>()[VMin], 20);
    }

    void SettlingPlacesTheHandlesOnlyAfterAHueChange()
    {
        range->PlaceHandlesAtBars();
        const QPoint minAt = controls->controls.HueMinHandle->pos();
        const double minAngle = range->HueMinAngle();
        controls->Bar(SMin).setValue(30);
        range->Settle();
        QCOMPARE(controls->controls.HueMinHandle->pos(), minAt);
        QCOMPARE(range->HueMinAngle(), minAngle);
        controls->Bar(HMin).setValue(64);
        // The handles follow a hue bar when the range settles, not while it moves.
        QCOMPARE(range->HueMinAngle(), minAngle);
        range->Settle();
        QVERIFY(!range->Waiting());
        QCOMPARE(range->HueMinAngle(), HueAngleOfPosition(64));
        QCOMPARE(range->ColourCircle().HueMarkA, -HueAngleOfPosition(64));
        QVERIFY(controls->controls.HueMinHandle->pos() != minAt);
    }

    void StoppedWaitingNothingSettles()
    {
        QSignalSpy settled(range.get(), &TColourRangeController::RangeSettled);
        controls->Bar(HMax).setValue(100);
        range->StopWaiting();
        QVERIFY(!range->Waiting());
        QVERIFY(!settled.wait(2 * TColourRangeController::QuietTime.count()));
    }

    void TextsGoInAndComeBack()
    {
        RecordingReporter reporter;
        const std::array<std::string, 6> texts = {"5", "250", "1a", "200", "0", "300"};
        range->SetTexts(texts);
        QCOMPARE(range->Range(), (TColourRange{5, 250, 0, 200, 0, 255}));
        // The invalid text was replaced by its bar's position and reported once; 300
        // leaves a bar at 255 where it is, so nothing rewrites its edit.
        QCOMPARE(reporter.messages.size(), size_t(1));
        QCOMPARE(range->Texts(), (std::array<std::string, 6>{"5", "250", "0", "200", "0", "300"}));
    }

    void SetRangeMovesTheBarsInOrder()
    {
        QSignalSpy changed(range.get(), &TColourRangeController::RangeChanged);
        range->SetRange({200, 50, 10, 20, 30, 40});
        QCOMPARE(range->Range(), (TColourRange{200, 50, 10, 20, 30, 40}));
        QCOMPARE(changed.count(), 6);
        QCOMPARE(changed.first().at(0).value<TColourRange>(),
                 (TColourRange{200, 255, 0, 255, 0, 255}));
        QCOMPARE(range->Texts()[HMax], std::string("50"));
    }

private:
    std::unique_ptr<TRangeWindow> controls;
    std::unique_ptr<TColourRangeController> range;
};

QTEST_MAIN(ColourRangeControllerTest)
#include "ColourRangeControllerTest.moc"
