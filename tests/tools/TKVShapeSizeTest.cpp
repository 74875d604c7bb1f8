#include "tools/TKVShapeSize.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QTest>

using namespace varnolux;

namespace {

/// A mouse event at a point of the parent, sent to one part of the shape.
void Send(QWidget& part, QEvent::Type type, QPoint parentPoint)
{
    QWidget& parent = *part.parentWidget();
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(Qt::LeftButton);
    QMouseEvent event(type, part.mapFrom(&parent, parentPoint), parent.mapToGlobal(parentPoint),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(&part, &event);
}

void Drag(QWidget& part, QPoint from, QPoint to)
{
    Send(part, QEvent::MouseButtonPress, from);
    Send(part, QEvent::MouseMove, to);
    Send(part, QEvent::MouseButtonRelease, to);
}

/// The part of the shape's parent at a point: a handle lies over the shape.
QWidget& PartAt(QWidget& parent, QPoint point)
{
    return *parent.childAt(point);
}

} // namespace

class TKVShapeSizeTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        parent = std::make_unique<QWidget>();
        parent->resize(400, 400);
        bound = new QWidget(parent.get());
        bound->setGeometry(50, 50, 200, 200);
        shape = new TKVShapeSize(parent.get());
        shape->SetBounds({100, 100, 10, 10});
        shape->SetBoundControl(bound);
        shape->SetKeepInside(true);
        parent->show();
    }
    void cleanup() { parent.reset(); }

    void KeepInsideLetsTheLeftEdgeRangeOverTheControl_data()
    {
        QTest::addColumn<QPoint>("target");
        QTest::addColumn<QPoint>("topLeft");
        QTest::newRow("inside") << QPoint(155, 125) << QPoint(150, 120);
        QTest::newRow("far left and up") << QPoint(-100, -100) << QPoint(50, 50);
        QTest::newRow("far right and down") << QPoint(900, 900) << QPoint(240, 240);
    }

    void KeepInsideLetsTheLeftEdgeRangeOverTheControl()
    {
        QFETCH(QPoint, target);
        QFETCH(QPoint, topLeft);
        int moves = 0;
        int releases = 0;
        shape->OnMoved = [&moves](TKVShapeSize&) {
            ++moves;
        };
        shape->OnReleased = [&releases](TKVShapeSize&) {
            ++releases;
        };
        Drag(*shape, {105, 105}, target);
        QCOMPARE(shape->pos(), topLeft);
        QCOMPARE(moves, 1);
        QCOMPARE(releases, 1);
        QVERIFY(shape->Dragged());
    }

    void WithoutKeepInsideThePointerStaysOverTheControl()
    {
        shape->SetKeepInside(false);
        Drag(*shape, {105, 105}, {900, 900});
        // The pointer stops at the control's last pixel, 5 pixels into the shape.
        QCOMPARE(shape->pos(), QPoint(249 - 5, 249 - 5));
    }

    void WithoutABoundControlTheShapeGoesAnywhere()
    {
        shape->SetBoundControl(nullptr);
        Drag(*shape, {105, 105}, {305, 5});
        QCOMPARE(shape->pos(), QPoint(300, 0));
    }

    void AClickSelectsWithoutDragging()
    {
        shape->SetSelected(false);
        shape->SetShowHandles(false);
        int selections = 0;
        int moves = 0;
        shape->OnSelected = [&selections](TKVShapeSize&, int) {
            ++selections;
        };
        shape->OnMoved = [&moves](TKVShapeSize&) {
            ++moves;
        };
        Send(*shape, QEvent::MouseButtonPress, {105, 105});
        Send(*shape, QEvent::MouseButtonRelease, {105, 105});
        QVERIFY(shape->Selected());
        QVERIFY(!shape->Dragged());
        QCOMPARE(selections, 1);
        // Without a release callback the release reports a move.
        QCOMPARE(moves, 1);
        QCOMPARE(shape->pos(), QPoint(100, 100));
    }

    void OnlyTheFrameShowsWithoutHandles()
    {
        shape->SetShowHandles(false);
        shape->SetSelected(true);
        int visibleHandles = 0;
        int visibleFrames = 0;
        for (QWidget* part : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (part == shape || part == bound || !part->isVisible())
                continue;
            (part->width() == TKVShapeSize::HandleSize ? visibleHandles : visibleFrames)++;
        }
        QCOMPARE(visibleHandles, 0);
        QCOMPARE(visibleFrames, 1);
    }

    void HandlesSitOnTheCornersAndSides()
    {
        shape->SetBounds({100, 100, 40, 20});
        QCOMPARE(shape->HandleRect(0).topLeft(), QPoint(100, 100));
        QCOMPARE(shape->HandleRect(1).topLeft(), QPoint(100, 115));
        QCOMPARE(shape->HandleRect(2).topLeft(), QPoint(100, 110));
        QCOMPARE(shape->HandleRect(4).topLeft(), QPoint(135, 115));
        QCOMPARE(shape->HandleRect(6).topLeft(), QPoint(120, 115));
        QCOMPARE(shape->HandleRect(7).topLeft(), QPoint(120, 100));
    }

    void HandlesResizeDownTo15Pixels_data()
    {
        QTest::addColumn<int>("dx");
        QTest::addColumn<QRect>("bounds");
        QTest::newRow("wider") << 10 << QRect(100, 100, 50, 40);
        QTest::newRow("smallest") << -25 << QRect(100, 100, 15, 40);
        QTest::newRow("too small") << -26 << QRect(100, 100, 40, 40);
    }

    void HandlesResizeDownTo15Pixels()
    {
        QFETCH(int, dx);
        QFETCH(QRect, bounds);
        shape->SetBoundControl(nullptr);
        shape->SetBounds({100, 100, 40, 40});
        // The right-side handle.
        const QPoint grip = shape->HandleRect(5).center();
        QWidget& handle = PartAt(*parent, grip);
        QCOMPARE(handle.geometry(), shape->HandleRect(5));
        Drag(handle, grip, grip + QPoint(dx, 30));
        QCOMPARE(shape->geometry(), bounds);
    }

    void TheTopLeftHandleMovesTheCorner()
    {
        shape->SetBoundControl(nullptr);
        shape->SetBounds({100, 100, 40, 40});
        const QPoint grip = shape->HandleRect(0).center();
        Drag(PartAt(*parent, grip), grip, grip + QPoint(-10, 5));
        QCOMPARE(shape->geometry(), QRect(90, 105, 50, 35));
        QVERIFY(shape->Dragged());
    }

private:
    std::unique_ptr<QWidget> parent;
    QWidget* bound = nullptr;
    TKVShapeSize* shape = nullptr;
};

QTEST_MAIN(TKVShapeSizeTest)
#include "TKVShapeSizeTest.moc"
