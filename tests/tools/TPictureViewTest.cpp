#include "tools/TPictureView.h"

#include "ToolTestSupport.h"
#include "tools/PictureToolParts.h"
#include "tools/ToolCursors.h"

#include <cmath>
#include <limits>
#include <sys/resource.h>

#include <QGuiApplication>
#include <QScrollBar>
#include <QSignalSpy>
#include <QWheelEvent>

using namespace varnolux;
using varnolux::test::Plain;

namespace {

/// The largest memory the process has had, in bytes.
long long PeakMemory()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss * 1024LL;
}

} // namespace

class TPictureViewTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void ZoomsAreMadeSane_data()
    {
        QTest::addColumn<double>("percent");
        QTest::addColumn<int>("zoom");
        QTest::newRow("ordinary") << 250.0 << 250;
        QTest::newRow("zero") << 0.0 << 100;
        QTest::newRow("negative") << -50.0 << 100;
        QTest::newRow("not a number") << std::nan("") << 100;
        QTest::newRow("too large") << 5000.0 << 1600;
        QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << 1600;
        QTest::newRow("below 1 %") << 0.5 << 1;
    }
    void ZoomsAreMadeSane()
    {
        QFETCH(double, percent);
        QFETCH(int, zoom);
        QCOMPARE(TPictureView::SaneZoom(percent), zoom);
    }

    void ZoomTextsAreRead_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("zoom");
        QTest::newRow("item") << "200%" << 200;
        QTest::newRow("without percent") << "250" << 250;
        QTest::newRow("blanks around") << " 50% " << 50;
        QTest::newRow("no number") << "abc" << 100;
        QTest::newRow("zero") << "0%" << 100;
        QTest::newRow("negative") << "-5%" << 100;
        QTest::newRow("huge") << "5000%" << 1600;
        QTest::newRow("two percent signs") << "50%%" << 100;
    }
    void ZoomTextsAreRead()
    {
        QFETCH(QString, text);
        QFETCH(int, zoom);
        QCOMPARE(ZoomFromText(text), zoom);
    }

    void MapsViewPositionsToPicturePixels()
    {
        TPictureView view;
        view.resize(200, 200);
        view.SetPicture(Plain(400, 300));
        view.SetZoom(200);
        QCOMPARE(view.PicturePosition({101, 51}), QPoint(50, 25));
        QCOMPARE(view.ZoomedWidth(), qint64(800));
        QCOMPARE(view.ZoomedHeight(), qint64(600));
        view.horizontalScrollBar()->setValue(100);
        QCOMPARE(view.PicturePosition({0, 0}), QPoint(50, 0));
        // Left of the picture truncates toward zero, as the position says.
        view.horizontalScrollBar()->setValue(0);
        QCOMPARE(view.PicturePosition({-3, -1}), QPoint(-1, 0));
    }

    void TellsItsZoom()
    {
        TPictureView view;
        QSignalSpy changed(&view, &TPictureView::ZoomChanged);
        view.SetZoom(0);
        QCOMPARE(view.Zoom(), 100);
        view.SetZoom(400);
        QCOMPARE(changed.count(), 2);
        QCOMPARE(changed.last().at(0).toInt(), 400);
    }

    void OverlayLinesInvertWhatTheyCross()
    {
        TPictureView view;
        view.resize(150, 150);
        view.SetPicture(Plain(100, 100));
        view.show();
        view.SetOverlay({QPolygon({QPoint(10, 10), QPoint(90, 10)})});
        QImage shown = view.viewport()->grab().toImage();
        QCOMPARE(shown.pixel(50, 10) & 0xFFFFFF, 0u);
        QCOMPARE(shown.pixel(50, 20) & 0xFFFFFF, 0xFFFFFFu);
        // A line far beyond the view at the largest zoom is cut to what is visible.
        view.SetZoom(1600);
        view.SetOverlay({QPolygon({QPoint(0, 2), QPoint(2000000000, 2)})});
        shown = view.viewport()->grab().toImage();
        QCOMPARE(shown.pixel(60, 40) & 0xFFFFFF, 0u);
        view.SetOverlay({});
        shown = view.viewport()->grab().toImage();
        QCOMPARE(shown.pixel(60, 40) & 0xFFFFFF, 0xFFFFFFu);
    }

    void ALargeZoomOfALargePicturePaintsOnlyWhatIsVisible()
    {
        // 24 megapixels at 400 %: a zoomed copy would take 1.5 GB.
        TPictureView view;
        view.resize(800, 600);
        view.SetPicture(Plain(6000, 4000, qRgb(200, 100, 50)));
        view.SetZoom(400);
        view.show();
        view.horizontalScrollBar()->setValue(12000);
        const long long before = PeakMemory();
        const QImage shown = view.viewport()->grab().toImage();
        QVERIFY2(PeakMemory() - before < 50'000'000,
                 qPrintable(QString::number(PeakMemory() - before)));
        QCOMPARE(shown.pixel(400, 300), qRgb(200, 100, 50));
    }

    void DraggingMovesThePictureWithThePointer()
    {
        TPictureView view;
        view.resize(200, 200);
        view.SetPicture(Plain(1000, 1000));
        view.SetDragCursor(LoadCursorResource(MoveCursorName));
        view.show();
        view.horizontalScrollBar()->setValue(100);
        view.verticalScrollBar()->setValue(100);
        QTest::mousePress(view.viewport(), Qt::LeftButton, {}, {50, 50});
        QTest::mouseMove(view.viewport(), {80, 40});
        QCOMPARE(view.horizontalScrollBar()->value(), 70);
        QCOMPARE(view.verticalScrollBar()->value(), 110);
        // Limited by the scroll range.
        QTest::mouseMove(view.viewport(), {190, 40});
        QCOMPARE(view.horizontalScrollBar()->value(), 0);
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, {190, 40});
        QVERIFY(!view.Dragging());
    }

    void TheDragCursorGoesWhateverTheButtons()
    {
        TPictureView view;
        view.resize(200, 200);
        view.SetPicture(Plain(1000, 1000));
        view.SetDragCursor(LoadCursorResource(MoveCursorName));
        view.show();
        QTest::mousePress(view.viewport(), Qt::LeftButton, {}, {50, 50});
        QVERIFY(QGuiApplication::overrideCursor());
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::BitmapCursor);
        // A second button during the drag, released first, then the first.
        QTest::mousePress(view.viewport(), Qt::RightButton, {}, {60, 50});
        QTest::mouseRelease(view.viewport(), Qt::RightButton, {}, {60, 50});
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, {60, 50});
        QVERIFY(!QGuiApplication::overrideCursor());
        // A view closed during a drag gives the cursor back too.
        QTest::mousePress(view.viewport(), Qt::LeftButton, {}, {50, 50});
        view.hide();
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    void WithoutADragCursorThereIsNoDragging()
    {
        TPictureView view;
        view.resize(200, 200);
        view.SetPicture(Plain(1000, 1000));
        view.show();
        QTest::mousePress(view.viewport(), Qt::LeftButton, {}, {50, 50});
        QTest::mouseMove(view.viewport(), {80, 80});
        QCOMPARE(view.horizontalScrollBar()->value(), 0);
        QVERIFY(!QGuiApplication::overrideCursor());
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, {80, 80});
    }

    void TheWheelScrolls()
    {
        TPictureView view;
        view.resize(200, 200);
        view.SetPicture(Plain(1000, 1000));
        view.show();
        QWheelEvent wheel({100, 100}, view.viewport()->mapToGlobal(QPoint(100, 100)), {}, {0, -120},
                          Qt::NoButton, {}, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view.viewport(), &wheel);
        QVERIFY(view.verticalScrollBar()->value() > 0);
    }

    void TheCursorsAreResources()
    {
        for (const char* name : {MeasureCursorName, MoveCursorName}) {
            const std::optional<QCursor> cursor = LoadCursorResource(name);
            QVERIFY2(cursor, name);
            QCOMPARE(cursor->pixmap().size(), QSize(32, 32));
        }
        QCOMPARE(LoadCursorResource(MeasureCursorName)->hotSpot(), QPoint(15, 16));
        QVERIFY(!LoadCursorResource("CRNONE"));
    }
};

QTEST_MAIN(TPictureViewTest)
#include "TPictureViewTest.moc"
