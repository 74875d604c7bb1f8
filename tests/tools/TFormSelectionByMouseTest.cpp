#include "tools/TFormSelectionByMouse.h"

#include "ToolTestSupport.h"
#include "tools/TPictureView.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>

using namespace varnolux;
using varnolux::test::Drag;
using varnolux::test::PanelText;
using varnolux::test::Part;
using varnolux::test::Plain;

namespace {

using TMask = TFormSelectionByMouse::TMask;

/// The selected pixels of a mask.
std::vector<QPoint> Selected(const TMask& mask)
{
    std::vector<QPoint> pixels;
    for (int y = 0; y < mask.Height(); ++y)
        for (int x = 0; x < mask.Width(); ++x)
            if (mask[x][y] != 0)
                pixels.emplace_back(x, y);
    return pixels;
}

/// A rectangle outlined by dragging around it: the start is no corner, the pixels the
/// pointer moves on from and the end are.
std::vector<QPoint> Around(QRect rect)
{
    return {rect.topLeft() + QPoint(1, 0), rect.topLeft(), rect.topRight(), rect.bottomRight(),
            rect.bottomLeft()};
}

QRgb Shown(const TFormSelectionByMouse& form, QPoint pixel)
{
    return Part<TPictureView>(form, "ScrollBoxImage").Picture().pixel(pixel) & 0xFFFFFF;
}

} // namespace

class TFormSelectionByMouseTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        form = std::make_unique<TFormSelectionByMouse>();
        form->SetPicture(Plain(60, 40));
    }

    void cleanup() { form.reset(); }

    void ATwoCornerOutlineSelectsTheLineBetweenThem()
    {
        form->show();
        QTRY_VERIFY(form->Loaded());
        // The start is no corner; (20, 10) and the end (20, 20) are.
        Drag(Part<QWidget>(*form, "ImageMess"), {{10, 10}, {20, 10}, {20, 20}});
        std::vector<QPoint> line;
        for (int y = 10; y <= 20; ++y)
            line.emplace_back(20, y);
        QCOMPARE(Selected(form->CurrentMask()), line);
        QCOMPARE(Shown(*form, {20, 15}), 0u);
        QCOMPARE(Shown(*form, {19, 15}), 0xFFFFFFu);
        QVERIFY(Part<TPictureView>(*form, "ScrollBoxImage").Overlay().empty());
    }

    void OneCornerSelectsNothing()
    {
        form->show();
        QTRY_VERIFY(form->Loaded());
        Drag(Part<QWidget>(*form, "ImageMess"), {{10, 10}, {20, 10}});
        QVERIFY(Selected(form->CurrentMask()).empty());
    }

    void OverlappingOutlinesAddUpButShowTheOverlapAgain()
    {
        form->show();
        QTRY_VERIFY(form->Loaded());
        Drag(Part<QWidget>(*form, "ImageMess"), Around({5, 5, 20, 20}));
        Drag(Part<QWidget>(*form, "ImageMess"), Around({15, 5, 20, 20}));
        QCOMPARE(Shown(*form, {10, 10}), 0u);
        QCOMPARE(Shown(*form, {20, 10}), 0xFFFFFFu); // inverted twice
        QCOMPARE(Shown(*form, {30, 10}), 0u);
        QCOMPARE(form->CurrentMask()[20][10], 1);
        QCOMPARE(Selected(form->CurrentMask()).size(), size_t(30 * 20));
    }

    void AnOutlineEndsWhereTheButtonIsReleasedOutsideTheView()
    {
        form->show();
        QTRY_VERIFY(form->Loaded());
        // The release beyond the picture ends the outline with its corners inside.
        Drag(Part<QWidget>(*form, "ImageMess"), {{5, 5}, {30, 5}, {30, 30}, {70, 50}});
        QVERIFY(!Selected(form->CurrentMask()).empty());
        QVERIFY(form->Vertices().empty());
        const size_t first = Selected(form->CurrentMask()).size();
        // The next outline is one of its own, not a continuation.
        Drag(Part<QWidget>(*form, "ImageMess"), {{40, 30}, {50, 30}, {50, 35}});
        QCOMPARE(Selected(form->CurrentMask()).size(), first + 6);
        QCOMPARE(form->CurrentMask()[50][33], 1);
    }

    void AMoveWithTheButtonUpAlsoEndsTheOutline()
    {
        form->show();
        QTRY_VERIFY(form->Loaded());
        QTest::mousePress(&Part<QWidget>(*form, "ImageMess"), Qt::LeftButton, {}, {10, 10});
        QTest::mouseMove(&Part<QWidget>(*form, "ImageMess"), {20, 10});
        QTest::mouseMove(&Part<QWidget>(*form, "ImageMess"), {20, 20});
        // The release went elsewhere: the next move comes without the button.
        QMouseEvent move(QEvent::MouseMove, QPointF(20, 20),
                         Part<QWidget>(*form, "ImageMess").mapToGlobal(QPointF(20, 20)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&Part<QWidget>(*form, "ImageMess"), &move);
        QCOMPARE(Selected(form->CurrentMask()).size(), size_t(11));
        QTest::mouseRelease(&Part<QWidget>(*form, "ImageMess"), Qt::LeftButton, {}, {20, 20});
        QCOMPARE(Selected(form->CurrentMask()).size(), size_t(11));
    }

    void OkCommitsAndCancelBringsBackTheCommittedMask()
    {
        form->show();
        QTRY_VERIFY(form->Loaded());
        Drag(Part<QWidget>(*form, "ImageMess"), Around({5, 5, 10, 10}));
        form->accept();
        const std::vector<QPoint> committed = Selected(form->CommittedMask());
        QCOMPARE(committed.size(), size_t(100));

        form->SetPicture(Plain(60, 40));
        form->show();
        QTRY_VERIFY(form->Loaded());
        QVERIFY(Selected(form->CurrentMask()).empty());
        Drag(Part<QWidget>(*form, "ImageMess"), Around({30, 5, 10, 10}));
        form->reject();
        QCOMPARE(Selected(form->CurrentMask()), committed);
        QCOMPARE(Selected(form->CommittedMask()), committed);

        // The next showing starts empty: OK without drawing commits an empty mask.
        form->SetPicture(Plain(60, 40));
        form->show();
        QTRY_VERIFY(form->Loaded());
        form->accept();
        QVERIFY(Selected(form->CommittedMask()).empty());
        QCOMPARE(form->CommittedMask().Width(), 60);
    }

    void OkWaitsForThePicture()
    {
        // Before the first load there is no mask at all.
        QCOMPARE(form->CommittedMask().Width(), 0);
        form->show();
        form->accept();
        QVERIFY(form->isVisible());
        QTRY_VERIFY(form->Loaded());
        form->accept();
        QVERIFY(!form->isVisible());
        QCOMPARE(form->CommittedMask().Width(), 60);
    }

    void ClosingBeforeTheLoadStopsIt()
    {
        form->show();
        form->reject();
        QVERIFY(!Part<QTimer>(*form, "Timer1").isActive());
        QVERIFY(!form->Loaded());
        QCOMPARE(form->CommittedMask().Width(), 0);
    }

    void ResetClearsTheOutlinesAndKeepsAListedZoom()
    {
        form->show();
        QTRY_VERIFY(form->Loaded());
        Part<QComboBox>(*form, "ComboBoxZoom").setCurrentIndex(1); // 200%
        QCOMPARE(Part<TPictureView>(*form, "ScrollBoxImage").Zoom(), 200);
        Drag(Part<QWidget>(*form, "ImageMess"), Around({10, 10, 20, 20}));
        QVERIFY(!Selected(form->CurrentMask()).empty());
        Part<QPushButton>(*form, "ButtonClear").click();
        QVERIFY(Selected(form->CurrentMask()).empty());
        QCOMPARE(Shown(*form, {7, 7}), 0xFFFFFFu);
        QCOMPARE(Part<TPictureView>(*form, "ScrollBoxImage").Zoom(), 200);
        QCOMPARE(PanelText(*form, "StatusBar1", 0), QString("Zoom: 200%"));
        // A typed zoom is no item: it goes back to 100 %.
        Part<QComboBox>(*form, "ComboBoxZoom").setEditText("300%");
        QCOMPARE(Part<TPictureView>(*form, "ScrollBoxImage").Zoom(), 300);
        Part<QPushButton>(*form, "ButtonClear").click();
        QCOMPARE(Part<TPictureView>(*form, "ScrollBoxImage").Zoom(), 100);
    }

    void DrawingAtTheEdgeScrolls()
    {
        form->SetPicture(Plain(2000, 1500));
        form->resize(600, 400);
        form->show();
        QTRY_VERIFY(form->Loaded());
        const int right = Part<QWidget>(*form, "ImageMess").width() - 1;
        QTest::mousePress(&Part<QWidget>(*form, "ImageMess"), Qt::LeftButton, {}, {right - 50, 50});
        QTest::mouseMove(&Part<QWidget>(*form, "ImageMess"), {right, 50});
        QTest::mouseMove(&Part<QWidget>(*form, "ImageMess"), {right, 60});
        QVERIFY(Part<TPictureView>(*form, "ScrollBoxImage").horizontalScrollBar()->value() > 0);
        QTest::mouseRelease(&Part<QWidget>(*form, "ImageMess"), Qt::LeftButton, {}, {right, 60});
    }

private:
    std::unique_ptr<TFormSelectionByMouse> form;
};

QTEST_MAIN(TFormSelectionByMouseTest)
#include "TFormSelectionByMouseTest.moc"
