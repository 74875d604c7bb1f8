#include "MainWindowFixture.h"
#include "chart/Tsp_LineMarker.h"
#include "shell/HueAngle.h"
#include "shell/TImageWidget.h"
#include "shell/TLabeledEdit.h"
#include "shell/TPlasmaForm.h"
#include "shell/TProgramControl.h"
#include "tools/TKVShapeSize.h"

#include <QAction>

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
        QCOMPARE(fixture->Main().RangeEdits[VMax]->text(), QString("200"));
        fixture->Bar(HMin).setValue(-5);
        QCOMPARE(fixture->Main().RangeEdits[HMin]->text(), QString("0"));
    }

    void TypedNumbersMoveTheBars()
    {
        TLabeledEdit& edit = *fixture->Main().RangeEdits[VMax];
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
        TLabeledEdit& edit = *fixture->Main().RangeEdits[HMin];
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
        fixture->Main().RangeEdits[static_cast<size_t>(index)]->setText(text);
        QCOMPARE(fixture->reporter.messages,
                 std::vector<std::string>{InvalidValueMessage(field.toUtf8().constData())});
        QCOMPARE(fixture->Main().RangeEdits[static_cast<size_t>(index)]->text(), QString("17"));
        QCOMPARE(fixture->Bar(index).value(), 17);
    }

    void ABurstOfChangesAnalysesOnce()
    {
        TFormMain& main = fixture->Main();
        QVERIFY(fixture->OpenObjects());
        QSignalSpy analyses(&main, &TFormMain::AnalysisFinished);
        for (int value = 250; value >= 200; value -= 10) {
            fixture->Bar(SMax).setValue(value);
            QCOMPARE(main.RangeEdits[SMax]->text(), QString::number(value));
        }
        QTRY_COMPARE_WITH_TIMEOUT(analyses.count(), 1, 5000);
        QVERIFY(!main.Timer2->isActive());
        QCOMPARE(main.Analysis->Results.GetValueText("SMax"), std::string("200"));
    }

    void NoImageNoAnalysis()
    {
        TFormMain& main = fixture->Main();
        QSignalSpy analyses(&main, &TFormMain::AnalysisFinished);
        fixture->Bar(HMax).setValue(30);
        QVERIFY(main.Timer2->isActive());
        QTRY_VERIFY_WITH_TIMEOUT(!main.Timer2->isActive(), 5000);
        QCOMPARE(analyses.count(), 0);
        // The palette and the markers follow all the same.
        QCOMPARE(fixture->windows->PlasmaForm->Range()[HMax], 30);
        QCOMPARE(main.sp_LineMarkers[HMax]->Position(), 30.0);
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
        QCOMPARE(main.Analysis->Results.GetValueText("VMax"), std::string("180"));
        QVERIFY(!main.Timer2->isActive());
    }

    void HandlesSitOnTheCircleAtTheirAngles()
    {
        TFormMain& main = fixture->Main();
        fixture->Bar(HMin).setValue(200);
        fixture->Bar(HMax).setValue(50);
        QTRY_VERIFY_WITH_TIMEOUT(!main.Timer2->isActive(), 5000);
        QCOMPARE(main.HueMinAngle, HueAngleOfPosition(200));
        QCOMPARE(main.HueMaxAngle, HueAngleOfPosition(50));
        QCOMPARE(main.Analysis->HueMarkA, -HueAngleOfPosition(200));
        QCOMPARE(main.Analysis->HueMarkB, -HueAngleOfPosition(50));
        const TImageWidget& circle = *main.ImageColorCircle;
        for (const TKVShapeSize* handle : {main.HueMinHandle, main.HueMaxHandle}) {
            const double dx = handle->x() + 5 - circle.x() - circle.width() * 0.5;
            const double dy = handle->y() + 5 - circle.y() - circle.height() * 0.5;
            QVERIFY(std::abs(std::hypot(dx, dy) - 74) < 1.5);
        }
        // The radius line of each handle is drawn from the centre.
        QCOMPARE(circle.Picture().Pixel(83, 83), MakeColour(0, 0, 0));
    }

    void AHandleReleasedAtAngleZeroSetsItsBar()
    {
        TFormMain& main = fixture->Main();
        TKVShapeSize& handle = *main.HueMaxHandle;
        const TImageWidget& circle = *main.ImageColorCircle;
        // Right of the centre: the handle's middle 74 pixels away, level with it.
        DragHandleTo(handle, {circle.x() + 83 + 74 - 5, circle.y() + 83 - 5});
        QVERIFY(handle.Dragged());
        QCOMPARE(main.HueMaxAngle, 0.0);
        QCOMPARE(fixture->Bar(HMax).value(), 127);
        QCOMPARE(fixture->Bar(HMin).value(), 0);
    }

    void AClickOnAHandleLeavesTheBars()
    {
        TFormMain& main = fixture->Main();
        const int lossy = LossyHuePosition();
        fixture->Bar(HMin).setValue(lossy);
        fixture->Bar(HMax).setValue(lossy);
        QTRY_VERIFY_WITH_TIMEOUT(!main.Timer2->isActive(), 5000);
        QSignalSpy analyses(&main, &TFormMain::AnalysisFinished);
        for (TKVShapeSize* handle : {main.HueMinHandle, main.HueMaxHandle}) {
            const QPoint middle = handle->pos() + QPoint(4, 4);
            SendMouse(*handle, QEvent::MouseButtonPress, middle);
            SendMouse(*handle, QEvent::MouseButtonRelease, middle);
            QVERIFY(!handle->Dragged());
            QVERIFY(handle->Selected());
        }
        QCOMPARE(fixture->Bar(HMin).value(), lossy);
        QCOMPARE(fixture->Bar(HMax).value(), lossy);
        QVERIFY(!main.Timer2->isActive());
        QCOMPARE(analyses.count(), 0);
    }

    void ADraggedHandleAnalysesAtOnce()
    {
        TFormMain& main = fixture->Main();
        QVERIFY(fixture->OpenObjects());
        QSignalSpy analyses(&main, &TFormMain::AnalysisFinished);
        TKVShapeSize& handle = *main.HueMinHandle;
        const TImageWidget& circle = *main.ImageColorCircle;
        DragHandleTo(handle, {circle.x() + 83 - 5, circle.y() + 83 + 74 - 5});
        QCOMPARE(main.HueMinAngle, Pi / 2);
        QCOMPARE(analyses.count(), 1);
        QCOMPARE(fixture->Bar(HMin).value(), HuePositionOfAngle(main.HueMinAngle));
        QCOMPARE(main.Analysis->Results.GetValueText("HMin"),
                 std::to_string(fixture->Bar(HMin).value()));
        // The other bar keeps its position.
        QCOMPARE(fixture->Bar(HMax).value(), 255);
    }

    void MarkersFollowTheBars()
    {
        TFormMain& main = fixture->Main();
        for (int i = 0; i < 6; ++i) {
            fixture->Bar(i).setValue(10 + 20 * i);
            QCOMPARE(main.sp_LineMarkers[static_cast<size_t>(i)]->Position(), 10.0 + 20 * i);
        }
    }

private:
    std::unique_ptr<MainWindowFixture> fixture;
};

QTEST_MAIN(ColourRangeTest)
#include "ColourRangeTest.moc"
