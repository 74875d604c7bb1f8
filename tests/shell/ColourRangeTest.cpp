#include "MainWindowFixture.h"
#include "chart/Tsp_LineMarker.h"
#include "shell/HueAngle.h"
#include "shell/TImageWidget.h"
#include "shell/TLabeledEdit.h"
#include "shell/TPlasmaForm.h"
#include "shell/TProgramControl.h"
#include "tools/TKVShapeSize.h"

#include <QAction>
#include <QElapsedTimer>

using namespace varnolux;
using varnolux::test::DragHandleTo;
using varnolux::test::DuringNextAnalysis;
using varnolux::test::MainWindowFixture;
using varnolux::test::SendMouse;

namespace {

std::string InvalidValueMessage(const char* field)
{
    return std::string("Invalid value ") + field +
           " - value will be replaced by position of trackbar";
}

/// A hue position whose angle does not lead back to it.
int LossyHuePosition()
{
    for (int position = 0; position <= 255; ++position)
        if (HuePositionOfAngle(HueAngleOfPosition(position)) != position)
            return position;
    return -1;
}

} // namespace

class ColourRangeTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void init()
    {
        fixture = std::make_unique<MainWindowFixture>();
        QVERIFY(fixture->Start());
    }
    void cleanup() { fixture.reset(); }

    void HueAnglesOfPositions_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<double>("angle");
        QTest::newRow("0") << 0 << -Pi;
        QTest::newRow("255") << 255 << Pi;
        QTest::newRow("1") << 1 << 2 * Pi / 255 - Pi;
    }

    void HueAnglesOfPositions()
    {
        QFETCH(int, position);
        QFETCH(double, angle);
        QVERIFY(std::abs(HueAngleOfPosition(position) - angle) < 1e-12);
    }

    void HuePositionsOfAnglesTruncate_data()
    {
        QTest::addColumn<double>("angle");
        QTest::addColumn<int>("position");
        QTest::newRow("angle 0") << 0.0 << 127;
        QTest::newRow("-pi") << -Pi << 0;
        QTest::newRow("pi") << Pi << 255;
        QTest::newRow("just below pi/2") << Pi / 2 - 1e-9 << 191;
    }

    void HuePositionsOfAnglesTruncate()
    {
        QFETCH(double, angle);
        QFETCH(int, position);
        QCOMPARE(HuePositionOfAngle(angle), position);
    }

    void TheRoundTripLosesOneForSomePositions()
    {
        const int lossy = LossyHuePosition();
        QVERIFY(lossy >= 0);
        QCOMPARE(HuePositionOfAngle(HueAngleOfPosition(lossy)), lossy - 1);
    }

    void EditsFollowTheBars()
    {
        fixture->Bar(VMax).setValue(200);
        QCOMPARE(fixture->RangeEdit(VMax).text(), QString("200"));
        fixture->Bar(HMin).setValue(-5);
        QCOMPARE(fixture->RangeEdit(HMin).text(), QString("0"));
    }

    void TypedNumbersMoveTheBars()
    {
        QLineEdit& edit = fixture->RangeEdit(VMax);
        fixture->Bar(VMax).setValue(200);
        edit.setText("300");
        QCOMPARE(fixture->Bar(VMax).value(), 255);
        QCOMPARE(edit.text(), QString("255"));
        // The bar does not change, so nothing rewrites the edit.
        edit.setText("300");
        QCOMPARE(edit.text(), QString("300"));
        QVERIFY(fixture->reporter.messages.empty());
    }

    void TypingMovesTheBarOnEveryKey()
    {
        QLineEdit& edit = fixture->RangeEdit(HMin);
        edit.selectAll();
        QTest::keyClicks(&edit, "1a");
        QCOMPARE(fixture->Bar(HMin).value(), 1);
        QCOMPARE(edit.text(), QString("1"));
        QCOMPARE(fixture->reporter.messages,
                 std::vector<std::string>{InvalidValueMessage("Hue Min")});
    }

    void AnInvalidTextIsReportedWithTheFieldName_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("field");
        QTest::newRow("letters") << int(HMin) << "1a"
                                 << "Hue Min";
        QTest::newRow("decimal point") << int(SMax) << "2.5"
                                       << "Saturation Max";
        QTest::newRow("empty") << int(VMin) << ""
                               << "Brightness Min";
    }

    void AnInvalidTextIsReportedWithTheFieldName()
    {
        QFETCH(int, index);
        QFETCH(QString, text);
        QFETCH(QString, field);
        fixture->Bar(index).setValue(17);
        fixture->reporter.messages.clear();
        fixture->RangeEdit(index).setText(text);
        QCOMPARE(fixture->reporter.messages,
                 std::vector<std::string>{InvalidValueMessage(field.toUtf8().constData())});
        QCOMPARE(fixture->RangeEdit(index).text(), QString("17"));
        QCOMPARE(fixture->Bar(index).value(), 17);
    }

    void ABurstOfChangesAnalysesOnce()
    {
        TFormMain& main = fixture->Main();
        QVERIFY(fixture->OpenObjects());
        QSignalSpy analyses(&main, &TFormMain::AnalysisFinished);
        QElapsedTimer sinceLastChange;
        qint64 quietBeforeStart = -1;
        connect(&main, &TFormMain::AnalysisStarted, this,
                [&] { quietBeforeStart = sinceLastChange.elapsed(); });
        for (int value = 250; value >= 200; value -= 10) {
            sinceLastChange.start();
            fixture->Bar(SMax).setValue(value);
            QCOMPARE(fixture->RangeEdit(SMax).text(), QString::number(value));
        }
        QTRY_COMPARE_WITH_TIMEOUT(analyses.count(), 1, 5000);
        QVERIFY(quietBeforeStart >= TColourRangeController::QuietTime.count());
        QVERIFY(!fixture->Range().Waiting());
        QCOMPARE(main.ShownResult().Items.GetValueText("SMax"), std::string("200"));
    }

    void NoImageNoAnalysis()
    {
        TFormMain& main = fixture->Main();
        QSignalSpy analyses(&main, &TFormMain::AnalysisFinished);
        QSignalSpy settled(&fixture->Range(), &TColourRangeController::RangeSettled);
        fixture->Bar(HMax).setValue(30);
        QVERIFY(fixture->Range().Waiting());
        QTRY_COMPARE_WITH_TIMEOUT(settled.count(), 1, 5000);
        QCOMPARE(analyses.count(), 0);
        QVERIFY(!main.Busy());
        // The palette and the markers follow all the same.
        QCOMPARE(fixture->windows->PlasmaForm->Range()[HMax], 30);
        QCOMPARE(fixture->Find<Tsp_LineMarker>("sp_LineMarkerHMax")->Position(), 30.0);
    }

    void AChangeDuringAnAnalysisIsAnalysedAfterwards()
    {
        TFormMain& main = fixture->Main();
        QVERIFY(fixture->OpenObjects(20));
        QSignalSpy analyses(&main, &TFormMain::AnalysisFinished);
        DuringNextAnalysis(main, [&] { fixture->Bar(VMax).setValue(180); });
        // The delayed analysis runs while the program itself holds the bars.
        fixture->Bar(VMax).setValue(200);
        QTRY_COMPARE_WITH_TIMEOUT(analyses.count(), 2, 5000);
        QCOMPARE(main.ShownResult().Items.GetValueText("VMax"), std::string("180"));
        QVERIFY(!fixture->Range().Waiting());
    }

    void HandlesSitOnTheCircleAtTheirAngles()
    {
        TColourRangeController& range = fixture->Range();
        QSignalSpy settled(&range, &TColourRangeController::RangeSettled);
        fixture->Bar(HMin).setValue(200);
        fixture->Bar(HMax).setValue(50);
        QTRY_COMPARE_WITH_TIMEOUT(settled.count(), 1, 5000);
        QCOMPARE(range.HueMinAngle(), HueAngleOfPosition(200));
        QCOMPARE(range.HueMaxAngle(), HueAngleOfPosition(50));
        QCOMPARE(range.ColourCircle().HueMarkA, -HueAngleOfPosition(200));
        QCOMPARE(range.ColourCircle().HueMarkB, -HueAngleOfPosition(50));
        const TImageWidget& circle = Circle();
        for (const TKVShapeSize* handle : {&Handle("HueMinHandle"), &Handle("HueMaxHandle")}) {
            const double dx = handle->x() + 5 - circle.x() - circle.width() * 0.5;
            const double dy = handle->y() + 5 - circle.y() - circle.height() * 0.5;
            QVERIFY(std::abs(std::hypot(dx, dy) - 74) < 1.5);
        }
        // The radius line of each handle is drawn from the centre.
        QCOMPARE(circle.Picture().Pixel(83, 83), MakeColour(0, 0, 0));
    }

    void AHandleReleasedAtAngleZeroSetsItsBar()
    {
        TKVShapeSize& handle = Handle("HueMaxHandle");
        const TImageWidget& circle = Circle();
        // Right of the centre: the handle's middle 74 pixels away, level with it.
        DragHandleTo(handle, {circle.x() + 83 + 74 - 5, circle.y() + 83 - 5});
        QVERIFY(handle.Dragged());
        QCOMPARE(fixture->Range().HueMaxAngle(), 0.0);
        QCOMPARE(fixture->Bar(HMax).value(), 127);
        QCOMPARE(fixture->Bar(HMin).value(), 0);
    }

    void AClickOnAHandleLeavesTheBars()
    {
        TFormMain& main = fixture->Main();
        const int lossy = LossyHuePosition();
        QSignalSpy settled(&fixture->Range(), &TColourRangeController::RangeSettled);
        fixture->Bar(HMin).setValue(lossy);
        fixture->Bar(HMax).setValue(lossy);
        QTRY_COMPARE_WITH_TIMEOUT(settled.count(), 1, 5000);
        QSignalSpy analyses(&main, &TFormMain::AnalysisFinished);
        for (TKVShapeSize* handle : {&Handle("HueMinHandle"), &Handle("HueMaxHandle")}) {
            const QPoint middle = handle->pos() + QPoint(4, 4);
            SendMouse(*handle, QEvent::MouseButtonPress, middle);
            SendMouse(*handle, QEvent::MouseButtonRelease, middle);
            QVERIFY(!handle->Dragged());
            QVERIFY(handle->Selected());
        }
        QCOMPARE(fixture->Bar(HMin).value(), lossy);
        QCOMPARE(fixture->Bar(HMax).value(), lossy);
        QVERIFY(!fixture->Range().Waiting());
        QCOMPARE(settled.count(), 1);
        QCOMPARE(analyses.count(), 0);
    }

    void ADraggedHandleAnalysesAtOnce()
    {
        TFormMain& main = fixture->Main();
        QVERIFY(fixture->OpenObjects());
        QSignalSpy analyses(&main, &TFormMain::AnalysisFinished);
        TKVShapeSize& handle = Handle("HueMinHandle");
        const TImageWidget& circle = Circle();
        DragHandleTo(handle, {circle.x() + 83 - 5, circle.y() + 83 + 74 - 5});
        QVERIFY(!fixture->Range().Waiting());
        QVERIFY(fixture->WaitIdle());
        QCOMPARE(fixture->Range().HueMinAngle(), Pi / 2);
        QCOMPARE(analyses.count(), 1);
        QCOMPARE(fixture->Bar(HMin).value(), HuePositionOfAngle(Pi / 2));
        QCOMPARE(main.ShownResult().Items.GetValueText("HMin"),
                 std::to_string(fixture->Bar(HMin).value()));
        // The other bar keeps its position.
        QCOMPARE(fixture->Bar(HMax).value(), 255);
    }

    void MarkersFollowTheBars()
    {
        static constexpr std::array<const char*, 6> markers = {
            "sp_LineMarkerHMin", "sp_LineMarkerHMax", "sp_LineMarkerSMin",
            "sp_LineMarkerSMax", "sp_LineMarkerVMin", "sp_LineMarkerVMax"};
        for (int i = 0; i < 6; ++i) {
            fixture->Bar(i).setValue(10 + 20 * i);
            QCOMPARE(fixture->Find<Tsp_LineMarker>(markers[static_cast<size_t>(i)])->Position(),
                     10.0 + 20 * i);
        }
    }

private:
    TImageWidget& Circle() { return *fixture->Find<TImageWidget>("ImageColorCircle"); }
    TKVShapeSize& Handle(const char* name) { return *fixture->Find<TKVShapeSize>(name); }

    std::unique_ptr<MainWindowFixture> fixture;
};

QTEST_MAIN(ColourRangeTest)
#include "ColourRangeTest.moc"
