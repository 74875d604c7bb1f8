#include "drawing/TMyCAD.h"

#include "drawing/CanvasPixels.h"
#include "drawing/TMyRectangle.h"

#include <array>
#include <limits>
#include <memory>

#include <QApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QSignalSpy>
#include <QTest>

using namespace varnolux;

namespace {

std::array<QPoint, 4> Corners(int left, int top, int right, int bottom)
{
    return {QPoint(left, top), QPoint(right, top), QPoint(right, bottom), QPoint(left, bottom)};
}

std::vector<TMyPoint> ImageCorners(double left, double top, double right, double bottom)
{
    return {TMyPoint(left, top), TMyPoint(right, top), TMyPoint(right, bottom),
            TMyPoint(left, bottom)};
}

QImage WhiteImage(int width, int height)
{
    QImage image(width, height, QImage::Format_BGR888);
    image.fill(Qt::white);
    return image;
}

/// The colour of image pixel (x, y) in the pattern pictures: every pixel differs.
QColor PatternColour(int x, int y)
{
    return QColor(x * 37 % 256, y * 53 % 256, (x + y) * 11 % 256);
}

QImage PatternImage(int width, int height)
{
    QImage image(width, height, QImage::Format_BGR888);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixelColor(x, y, PatternColour(x, y));
    return image;
}

/// The canvas painted only in the given area, as a paint event of that area does.
QImage Painted(TMyCAD& canvas, const QRect& area)
{
    QImage target(area.size(), QImage::Format_RGB32);
    target.fill(Qt::magenta);
    canvas.render(&target, QPoint(), QRegion(area));
    return target;
}

void Hover(QWidget& widget, QPoint point)
{
    QMouseEvent event(QEvent::MouseMove, point, widget.mapToGlobal(point), Qt::NoButton,
                      Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &event);
}

void Drag(QWidget& widget, QPoint from, QPoint to, Qt::KeyboardModifiers modifiers = {})
{
    QTest::mousePress(&widget, Qt::LeftButton, modifiers, from);
    QTest::mouseMove(&widget, (from + to) / 2);
    QTest::mouseMove(&widget, to);
    QTest::mouseRelease(&widget, Qt::LeftButton, modifiers, to);
}

/// A canvas that remembers what it was asked to paint.
class RecordingCAD : public TMyCAD {
public:
    QRegion Painted;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        Painted += event->region();
        TMyCAD::paintEvent(event);
    }
};

/// One call of a shape event, as the handler saw it.
struct ShapeEvent {
    int Id;
    QPoint From;
    QPoint To;
    int HotIndex;
};

} // namespace

class TMyCADTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        canvas = std::make_unique<RecordingCAD>();
        canvas->SetBkBitmap(WhiteImage(640, 480));
    }
    void cleanup() { canvas.reset(); }

    void AddShapeStoresImagePixels()
    {
        QVERIFY(canvas->SetZoom(2));
        const int id =
            canvas->AddShape(TDrawTool::SpEllipse, 0, Corners(100, 100, 300, 300), "Inclusion");
        QCOMPARE(id, 0);
        const TMyShape* shape = canvas->FindShapeById(id);
        QVERIFY(shape);
        QVERIFY(shape->Points() == ImageCorners(50, 50, 150, 150));
        QCOMPARE(shape->GetWidth(), 100);
        QCOMPARE(shape->GetCenter(), TMyPoint(100, 100));
        QCOMPARE(shape->Name(), QString("Inclusion"));
        QCOMPARE(canvas->ToCanvas(shape->Points()[2]), QPoint(300, 300));
    }

    void AddShapeRefusesOtherKindsAndPointCounts()
    {
        const std::array<QPoint, 3> three{QPoint(0, 0), QPoint(1, 0), QPoint(1, 1)};
        QCOMPARE(canvas->AddShape(TDrawTool::SpRectangle, 0, three, "a"), -1);
        QCOMPARE(canvas->AddShape(TDrawTool::SpSelecting, 0, Corners(0, 0, 9, 9), "a"), -1);
        QCOMPARE(canvas->ShapeCount(), 0);
        QCOMPARE(canvas->AddShape(TDrawTool::SpRectangle, 0, Corners(0, 0, 9, 9), "a"), 0);
    }

    void ShapesAreFoundByNameAndIdWhileTheyExist()
    {
        for (const char* name : {"Inclusion", "Exclusion", "Exclusion"})
            canvas->AddShape(TDrawTool::SpRectangle, 0, Corners(10, 10, 90, 90), name);
        QCOMPARE(canvas->FindShapeByName("Exclusion")->ID(), 1);
        QVERIFY(!canvas->FindShapeByName("exclusion"));
        QVERIFY(!canvas->FindShapeByName("TestArea"));

        canvas->DeleteShape(1);
        QVERIFY(!canvas->FindShapeById(1));
        QCOMPARE(canvas->FindShapeByName("Exclusion")->ID(), 2);
        QCOMPARE(canvas->AddShape(TDrawTool::SpRectangle, 0, Corners(0, 0, 9, 9), "x"), 3);
        QVERIFY(!canvas->FindShapeById(-1));
        QVERIFY(!canvas->FindShapeById(4));
        QCOMPARE(canvas->FindShapeById(3)->Name(), QString("x"));
        canvas->DeleteShape(1);
        canvas->DeleteShape(99);
        QCOMPARE(canvas->ShapeCount(), 3);
    }

    void TheCanvasIsThePictureTimesTheZoom()
    {
        QCOMPARE(canvas->size(), QSize(640, 480));
        const QImage picture = WhiteImage(30, 20);
        canvas->SetBkBitmap(picture);
        QCOMPARE(canvas->BkBitmap().constBits(), picture.constBits());
        canvas->SetBkBitmap(WhiteImage(640, 480));
        QVERIFY(canvas->SetZoom(1.2589254117941673));
        QCOMPARE(canvas->size(), QSize(805, 604));
        canvas->SetBkBitmap(WhiteImage(6000, 4000));
        QCOMPARE(canvas->size(), QSize(7553, 5035));
    }

    void ZoomsThatWouldDivideByZeroAreRefused()
    {
        QVERIFY(canvas->SetZoom(2));
        for (const double zoom : {0.0, -1.0, std::numeric_limits<double>::quiet_NaN(),
                                  std::numeric_limits<double>::infinity()}) {
            QVERIFY(!canvas->SetZoom(zoom));
            QCOMPARE(canvas->Zoom(), 2.0);
            QCOMPARE(canvas->size(), QSize(1280, 960));
        }
        QVERIFY(!canvas->Snapping().SetGridSize(0, 20));
    }

    void DraggingMovesTheShapeWithItsNearestCornerSnapped()
    {
        const int id =
            canvas->AddShape(TDrawTool::SpRectangle, 0, Corners(100, 100, 200, 200), "Exclusion");
        std::vector<ShapeEvent> dragged;
        canvas->OnShapeMouseDragged = [&dragged](TMyShape& shape, QPoint from, QPoint& to) {
            dragged.push_back({shape.ID(), from, to, shape.HotIndex()});
        };
        QSignalSpy changed(canvas.get(), &TMyCAD::ShapeChanged);
        QSignalSpy selection(canvas.get(), &TMyCAD::SelectionChanged);
        // 18 pixels right puts the left side 2 pixels short of 120: it snaps there.
        Drag(*canvas, {150, 100}, {168, 101});
        const TMyShape* shape = canvas->FindShapeById(id);
        QCOMPARE(shape->GetTopLeft(), TMyPoint(120, 100));
        QCOMPARE(shape->GetBottomRight(), TMyPoint(220, 200));
        QCOMPARE(shape->GetCenter(), TMyPoint(170, 150));
        QCOMPARE(dragged.size(), std::size_t{1});
        QCOMPARE(dragged[0].From, QPoint(150, 100));
        QCOMPARE(dragged[0].To, QPoint(170, 100));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed[0][0].toInt(), id);
        QCOMPARE(selection.count(), 1);
        QCOMPARE(canvas->CurrentShape(), shape);
    }

    void TheDraggedHandlerCanMoveTheShapesFurther()
    {
        QVERIFY(canvas->SetZoom(2));
        const int id =
            canvas->AddShape(TDrawTool::SpRectangle, 0, Corners(100, 100, 200, 200), "Exclusion");
        canvas->Snapping().SetSnap(false);
        canvas->OnShapeMouseDragged = [](TMyShape&, QPoint, QPoint& to) {
            to += QPoint(10, -4);
        };
        Drag(*canvas, {150, 100}, {157, 103});
        // (7, 3) by the mouse and (10, -4) by the handler, at two canvas pixels a pixel.
        QCOMPARE(canvas->FindShapeById(id)->GetTopLeft(), TMyPoint(58.5, 49.5));
    }

    void AClickSelectsWithoutMovingAnything()
    {
        const int id =
            canvas->AddShape(TDrawTool::SpRectangle, 0, Corners(103, 103, 203, 203), "Exclusion");
        int events = 0;
        canvas->OnShapeMouseDragged = [&events](TMyShape&, QPoint, QPoint&) {
            ++events;
        };
        canvas->OnShapeMouseResized = [&events](TMyShape&, QPoint, QPoint&) {
            ++events;
        };
        QSignalSpy changed(canvas.get(), &TMyCAD::ShapeChanged);
        QTest::mouseClick(canvas.get(), Qt::LeftButton, {}, {150, 103});
        QCOMPARE(canvas->SelectedShapes().size(), std::size_t{1});
        // A click off its corner on a handle does not pull the corner to the pointer.
        QTest::mouseClick(canvas.get(), Qt::LeftButton, {}, {106, 106});
        QCOMPARE(canvas->FindShapeById(id)->GetTopLeft(), TMyPoint(103, 103));
        QCOMPARE(events, 0);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(canvas->FindShapeById(id)->HotIndex(), -1);

        QSignalSpy selection(canvas.get(), &TMyCAD::SelectionChanged);
        QTest::mouseClick(canvas.get(), Qt::LeftButton, {}, {400, 400});
        QVERIFY(canvas->SelectedShapes().empty());
        QVERIFY(!canvas->CurrentShape());
        QCOMPARE(selection.count(), 1);
    }

    void AShapeInsideAnotherIsPickedByAClickInsideIt()
    {
        const int outer =
            canvas->AddShape(TDrawTool::SpRectangle, 0, Corners(5, 5, 635, 475), "Exclusion");
        const int inner =
            canvas->AddShape(TDrawTool::SpEllipse, 0, Corners(150, 150, 250, 250), "Inclusion");
        QTest::mouseClick(canvas.get(), Qt::LeftButton, {}, {200, 200});
        QCOMPARE(canvas->CurrentShape()->ID(), inner);
        // In the ellipse's bounding box but outside the ellipse.
        QTest::mouseClick(canvas.get(), Qt::LeftButton, {}, {158, 158});
        QCOMPARE(canvas->CurrentShape()->ID(), outer);
        QTest::mouseClick(canvas.get(), Qt::LeftButton, {}, {2, 300});
        QCOMPARE(canvas->CurrentShape()->ID(), outer);
    }

    void ResizingReportsEveryMoveAndTheHandlerShapesTheResult()
    {
        const int id =
            canvas->AddShape(TDrawTool::SpEllipse, 0, Corners(150, 150, 250, 250), "Inclusion");
        std::vector<ShapeEvent> resizing;
        std::vector<ShapeEvent> resized;
        canvas->OnShapeMouseResizing = [&resizing](TMyShape& shape, QPoint from, QPoint& to) {
            resizing.push_back({shape.ID(), from, to, shape.HotIndex()});
        };
        canvas->OnShapeMouseResized = [&resized](TMyShape& shape, QPoint from, QPoint& to) {
            resized.push_back({shape.ID(), from, to, shape.HotIndex()});
            // The shape is still as it was when the button went down.
            QCOMPARE(shape.GetTopLeft(), TMyPoint(150, 150));
            to = QPoint(130, 130);
        };
        QSignalSpy changed(canvas.get(), &TMyCAD::ShapeChanged);
        QTest::mouseClick(canvas.get(), Qt::LeftButton, {}, {200, 200});
        // The top-left handle: the pointer snaps from 163 to 160.
        Drag(*canvas, {150, 150}, {163, 171});
        QCOMPARE(resizing.size(), std::size_t{2});
        QCOMPARE(resizing.back().From, QPoint(150, 150));
        QCOMPARE(resizing.back().To, QPoint(160, 171));
        QCOMPARE(resizing.back().HotIndex, 0);
        QCOMPARE(resized.size(), std::size_t{1});
        QCOMPARE(resized[0].To, QPoint(160, 171));
        const TMyShape* shape = canvas->FindShapeById(id);
        QVERIFY(shape->Points() == ImageCorners(130, 130, 250, 250));
        QCOMPARE(shape->HotIndex(), -1);
        QCOMPARE(changed.count(), 1);
    }

    void ACornerDraggedPastTheOppositeOneIsIgnored()
    {
        // (QTest takes the point (0, 0) for the widget's centre.)
        const int id =
            canvas->AddShape(TDrawTool::SpRectangle, 0, Corners(20, 20, 120, 120), "Exclusion");
        QTest::mouseClick(canvas.get(), Qt::LeftButton, {}, {50, 20});
        QTest::mousePress(canvas.get(), Qt::LeftButton, {}, {20, 20});
        QTest::mouseMove(canvas.get(), {170, 170});
        QTest::mouseRelease(canvas.get(), Qt::LeftButton, {}, {170, 170});
        QVERIFY(canvas->FindShapeById(id)->Points() == ImageCorners(20, 20, 120, 120));
        // On the way it may stop short of the opposite corner: the last move that
        // kept the shape the right way round is what the release keeps.
        QTest::mousePress(canvas.get(), Qt::LeftButton, {}, {20, 20});
        QTest::mouseMove(canvas.get(), {70, 50});
        QTest::mouseMove(canvas.get(), {170, 170});
        QTest::mouseRelease(canvas.get(), Qt::LeftButton, {}, {170, 170});
        QVERIFY(canvas->FindShapeById(id)->Points() == ImageCorners(70, 50, 120, 120));
    }

    void SideHandlesMoveOneSideAndIgnoreTheHandler()
    {
        const int id =
            canvas->AddShape(TDrawTool::SpRectangle, 0, Corners(100, 100, 200, 200), "Exclusion");
        canvas->OnShapeMouseResizing = [](TMyShape&, QPoint, QPoint& to) {
            to = {0, 0};
        };
        canvas->OnShapeMouseResized = [](TMyShape&, QPoint, QPoint& to) {
            to = {0, 0};
        };
        QTest::mouseClick(canvas.get(), Qt::LeftButton, {}, {100, 130});
        Drag(*canvas, {200, 150}, {251, 190});
        QVERIFY(canvas->FindShapeById(id)->Points() == ImageCorners(100, 100, 251, 200));
    }

    void AnEllipseWithoutSideHandlesResizesOnlyByItsCorners()
    {
        const int id =
            canvas->AddShape(TDrawTool::SpEllipse, 0, Corners(100, 100, 200, 200), "Inclusion");
        TMyShape* shape = canvas->FindShapeById(id);
        static_cast<TMyRectangle*>(shape)->SetShowSideHot(false);
        int resizes = 0;
        canvas->OnShapeMouseResizing = [&resizes](TMyShape&, QPoint, QPoint&) {
            ++resizes;
        };
        QTest::mouseClick(canvas.get(), Qt::LeftButton, {}, {150, 150});
        // The top of the ellipse, where a side handle would be: the press moves it.
        Drag(*canvas, {150, 100}, {150, 63});
        QCOMPARE(resizes, 0);
        QCOMPARE(shape->GetWidth(), 100);
        QCOMPARE(shape->GetHeight(), 100);
        QCOMPARE(shape->GetTopLeft(), TMyPoint(100, 60));
        // Its corner handle resizes it.
        Drag(*canvas, {200, 160}, {217, 177});
        QVERIFY(resizes > 0);
        QVERIFY(shape->Points() == ImageCorners(100, 60, 220, 180));
    }

    void ShiftMakesACornerDragSquare()
    {
        const int id =
            canvas->AddShape(TDrawTool::SpRectangle, 0, Corners(100, 100, 200, 160), "Exclusion");
        QTest::mouseClick(canvas.get(), Qt::LeftButton, {}, {150, 100});
        // Pressed 3 pixels off the corner, within its handle.
        Drag(*canvas, {197, 163}, {230, 175}, Qt::ShiftModifier);
        QVERIFY(canvas->FindShapeById(id)->Points() == ImageCorners(100, 100, 230, 230));
    }

    void AHandlerKeepsACircleSquareMeasuredFromTheCorner()
    {
        // As the analysis-area editor keeps its inclusion circle round.
        const int id =
            canvas->AddShape(TDrawTool::SpEllipse, 0, Corners(150, 150, 250, 250), "Inclusion");
        const auto constrain = [this](TMyShape& shape, QPoint, QPoint& to) {
            const TMyPoint corner = shape.Points()[static_cast<std::size_t>(shape.HotIndex())];
            TMyRectangle::ConstrainSquare(canvas->ToCanvas(corner), to, shape.HotIndex());
        };
        canvas->OnShapeMouseResizing = constrain;
        canvas->OnShapeMouseResized = constrain;
        QTest::mouseClick(canvas.get(), Qt::LeftButton, {}, {200, 200});
        // Pressed off the corner: measured from the press, (+7, +9) would make the
        // circle 112 × 106; from the corner the pointer is (+10, +6) away.
        Drag(*canvas, {253, 247}, {263, 256});
        const TMyShape* shape = canvas->FindShapeById(id);
        QCOMPARE(shape->GetWidth(), 110);
        QCOMPARE(shape->GetHeight(), 110);
    }

    void DeletingASelectedShapeWhileDraggingEndsItsPart()
    {
        const int first =
            canvas->AddShape(TDrawTool::SpRectangle, 0, Corners(100, 100, 200, 200), "a");
        const int second =
            canvas->AddShape(TDrawTool::SpRectangle, 0, Corners(300, 100, 400, 200), "b");
        QTest::mouseClick(canvas.get(), Qt::LeftButton, {}, {150, 100});
        QTest::mousePress(canvas.get(), Qt::LeftButton, Qt::ControlModifier, {350, 100});
        QCOMPARE(canvas->SelectedShapes().size(), std::size_t{2});
        QTest::mouseMove(canvas.get(), {355, 130});

        // The other selected shape goes: the drag goes on with the current one.
        QSignalSpy selection(canvas.get(), &TMyCAD::SelectionChanged);
        QSignalSpy changed(canvas.get(), &TMyCAD::ShapeChanged);
        canvas->DeleteShape(first);
        QCOMPARE(selection.count(), 1);
        QCOMPARE(canvas->SelectedShapes().size(), std::size_t{1});
        QTest::mouseMove(canvas.get(), {350, 140});
        QTest::mouseRelease(canvas.get(), Qt::LeftButton, {}, {350, 140});
        QCOMPARE(canvas->FindShapeById(second)->GetTopLeft(), TMyPoint(300, 140));
        QCOMPARE(changed.count(), 1);

        // The dragged shape goes: the drag ends, nothing is reported.
        int dragged = 0;
        canvas->OnShapeMouseDragged = [&dragged](TMyShape&, QPoint, QPoint&) {
            ++dragged;
        };
        QTest::mousePress(canvas.get(), Qt::LeftButton, {}, {350, 190});
        QTest::mouseMove(canvas.get(), {380, 200});
        canvas->DeleteShape(second);
        QVERIFY(canvas->SelectedShapes().empty());
        QVERIFY(!canvas->CurrentShape());
        QTest::mouseMove(canvas.get(), {390, 210});
        QTest::mouseRelease(canvas.get(), Qt::LeftButton, {}, {390, 210});
        QCOMPARE(dragged, 0);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(canvas->ShapeCount(), 0);
        Painted(*canvas, canvas->rect());
    }

    void AShapeDeletedByItsResizeHandlerIsLeftAlone()
    {
        const int id =
            canvas->AddShape(TDrawTool::SpEllipse, 0, Corners(100, 100, 200, 200), "Inclusion");
        int resized = 0;
        canvas->OnShapeMouseResizing = [this, id](TMyShape&, QPoint, QPoint&) {
            canvas->DeleteShape(id);
        };
        canvas->OnShapeMouseResized = [&resized](TMyShape&, QPoint, QPoint&) {
            ++resized;
        };
        QTest::mouseClick(canvas.get(), Qt::LeftButton, {}, {150, 150});
        Drag(*canvas, {200, 200}, {230, 230});
        QCOMPARE(resized, 0);
        QCOMPARE(canvas->ShapeCount(), 0);
        Painted(*canvas, canvas->rect());
    }

    void ThePointerShowsWhatAPressWouldDo()
    {
        canvas->AddShape(TDrawTool::SpRectangle, 0, Corners(100, 100, 200, 200), "Exclusion");
        Hover(*canvas, {150, 150});
        QCOMPARE(canvas->cursor().shape(), Qt::SizeAllCursor);
        Hover(*canvas, {400, 400});
        QCOMPARE(canvas->cursor().shape(), Qt::CrossCursor);
        QTest::mouseClick(canvas.get(), Qt::LeftButton, {}, {150, 100});
        Hover(*canvas, {201, 199});
        QCOMPARE(canvas->cursor().shape(), Qt::SizeFDiagCursor);
        Hover(*canvas, {150, 203});
        QCOMPARE(canvas->cursor().shape(), Qt::SizeVerCursor);
    }

    void TheBackgroundIsPaintedAlikeInAnyExposedArea_data()
    {
        QTest::addColumn<double>("zoom");
        QTest::newRow("400 %") << 4.0;
        QTest::newRow("250 %") << 2.5;
        QTest::newRow("125.9 %") << 1.2589254117941673;
        QTest::newRow("100 %") << 1.0;
        QTest::newRow("50 %") << 0.5;
        QTest::newRow("15.8 %") << 0.15848931924611134;
    }

    void TheBackgroundIsPaintedAlikeInAnyExposedArea()
    {
        QFETCH(double, zoom);
        canvas->SetBkBitmap(PatternImage(97, 61));
        canvas->SetColorOfBackGround(Qt::blue);
        QVERIFY(canvas->SetZoom(zoom));
        const QImage whole = Painted(*canvas, canvas->rect());
        // Each canvas pixel shows the picture pixel under its centre; where the
        // centre falls on a pixel border, either of the two.
        for (int y = 0; y < whole.height(); ++y)
            for (int x = 0; x < whole.width(); ++x) {
                const QPointF centre = (QPointF(x, y) + QPointF(0.5, 0.5)) / zoom;
                const auto near = [](double v) {
                    return std::array{int(v - 1e-9), int(v + 1e-9)};
                };
                bool found = false;
                for (const int ix : near(centre.x()))
                    for (const int iy : near(centre.y()))
                        found = found || whole.pixelColor(x, y) == PatternColour(ix, iy);
                QVERIFY2(found, qPrintable(QString("at %1, %2").arg(x).arg(y)));
            }
        // An area painted alone matches the whole: scrolling leaves no seams.
        for (int k = 0; k < 16; ++k) {
            const QRect area(k * 37 % 113, k * 23 % 71, 3 + k * 13 % 47, 2 + k * 7 % 29);
            const QRect exposed = area & canvas->rect();
            if (!exposed.isEmpty())
                QCOMPARE(Painted(*canvas, exposed), whole.copy(exposed));
        }
    }

    void AStronglyZoomedLargePictureIsPaintedWhereExposed()
    {
        // 24 megapixels at 400 %: the canvas is 24000 × 16000 pixels.
        QImage picture(6000, 4000, QImage::Format_BGR888);
        picture.fill(Qt::white);
        picture.setPixelColor(4500, 3000, Qt::red);
        canvas->SetBkBitmap(picture);
        QVERIFY(canvas->SetZoom(4));
        QCOMPARE(canvas->size(), QSize(24000, 16000));
        const QImage painted = Painted(*canvas, QRect(17990, 11990, 40, 40));
        QCOMPARE(painted.pixelColor(9, 9), QColor(Qt::white));
        QCOMPARE(painted.pixelColor(10, 10), QColor(Qt::red));
        QCOMPARE(painted.pixelColor(13, 13), QColor(Qt::red));
        QCOMPARE(painted.pixelColor(14, 14), QColor(Qt::white));
    }

    void ShapesAreDrawnAtTheZoomWithHandlesWhenSelected()
    {
        QVERIFY(canvas->SetZoom(2));
        const int id =
            canvas->AddShape(TDrawTool::SpRectangle, 0, Corners(100, 100, 300, 200), "Exclusion");
        canvas->FindShapeById(id)->SetPen(QPen(Qt::red));
        QImage painted = Painted(*canvas, canvas->rect());
        QCOMPARE(painted.pixelColor(200, 100), QColor(Qt::red));
        QCOMPARE(painted.pixelColor(300, 150), QColor(Qt::red));
        QCOMPARE(painted.pixelColor(200, 150), QColor(Qt::white));
        QCOMPARE(painted.pixelColor(100 - TMyCAD::HotSize, 100), QColor(Qt::white));

        QTest::mouseClick(canvas.get(), Qt::LeftButton, {}, {200, 100});
        painted = Painted(*canvas, canvas->rect());
        QCOMPARE(painted.pixelColor(100 - TMyCAD::HotSize, 100), QColor(Qt::black));
        QCOMPARE(painted.pixelColor(200, 200 + TMyCAD::HotSize), QColor(Qt::black));
    }

    void AShapeFarOffTheCanvasIsHeldAtItsLimits()
    {
        QVERIFY(canvas->SetZoom(6.3));
        const int id =
            canvas->AddShape(TDrawTool::SpEllipse, 0, Corners(0, 0, 10, 10), "Inclusion");
        TMyShape* shape = canvas->FindShapeById(id);
        // Centre and radius near the ends of the integer range, as an options file
        // may hold them.
        const std::vector<TMyPoint> corners =
            ImageCorners(-2147483648.0, -2147483648.0, 2147483647.0, 2147483647.0);
        for (int i = 0; i < 4; ++i)
            shape->SetPoint(i, corners[static_cast<std::size_t>(i)]);
        QCOMPARE(canvas->ToCanvas(corners[2]), QPoint(CanvasLimit, CanvasLimit));
        QCOMPARE(canvas->ToCanvas(corners[0]), QPoint(-CanvasLimit, -CanvasLimit));
        Painted(*canvas, QRect(0, 0, 200, 200));
        QTest::mouseClick(canvas.get(), Qt::LeftButton, {}, {100, 100});
        QCOMPARE(canvas->CurrentShape(), shape);
    }

    void OnlyTheChangedAreaIsRepainted()
    {
        QWidget window;
        window.resize(640, 480);
        canvas->setParent(&window);
        canvas->AddShape(TDrawTool::SpRectangle, 0, Corners(100, 100, 160, 160), "Exclusion");
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY(!canvas->Painted.isEmpty());
        canvas->Painted = {};
        Drag(*canvas, {130, 100}, {150, 120});
        QTRY_VERIFY(!canvas->Painted.isEmpty());
        const QRect repainted = canvas->Painted.boundingRect();
        QVERIFY(repainted.contains(QRect(100, 100, 81, 81)));
        QVERIFY2(repainted.width() < 120 && repainted.height() < 120,
                 qPrintable(QString("%1 × %2").arg(repainted.width()).arg(repainted.height())));
        canvas->setParent(nullptr);
    }

private:
    std::unique_ptr<RecordingCAD> canvas;
};

QTEST_MAIN(TMyCADTest)
#include "TMyCADTest.moc"
