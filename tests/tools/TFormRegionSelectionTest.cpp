#include "ToolTestSupport.h"
#include "drawing/TMyCAD.h"
#include "drawing/TMyShape.h"
#include "imaging/TBitmap24.h"
#include "settings/TOptions.h"
#include "tools/Regionselectioncore.h"
#include "tools/TColorBox.h"

#include <algorithm>
#include <memory>
#include <vector>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTest>
#include <QTimer>

using namespace varnolux;
using varnolux::test::Drag;
using varnolux::test::PanelText;
using varnolux::test::Part;

namespace {

std::vector<TMyPoint> Corners(double left, double top, double right, double bottom)
{
    return {TMyPoint(left, top), TMyPoint(right, top), TMyPoint(right, bottom),
            TMyPoint(left, bottom)};
}

/// The editor on a grey 640 × 480 picture, on screen.
struct TEditor {
    TFormRegionSelection form;

    explicit TEditor(int width = 640, int height = 480)
    {
        auto picture = std::make_shared<TBitmap24>(width, height);
        picture->Fill(MakeColour(128, 128, 128));
        form.LoadBackground(std::move(picture));
        form.show();
    }

    TMyCAD& Canvas() { return *&Part<TMyCAD>(form, "MyCADSelection"); }
    const TMyShape* Inclusion() { return Canvas().FindShapeByName("Inclusion"); }
    const TMyShape* Exclusion() { return Canvas().FindShapeByName("Exclusion"); }

    void SetInclusion(const char* diameter, const char* x, const char* y)
    {
        Part<QLineEdit>(form, "EditInclDiameter").setText(diameter);
        Part<QLineEdit>(form, "EditInclCenterX").setText(x);
        Part<QLineEdit>(form, "EditInclCenterY").setText(y);
    }

    /// The three inclusion edits: diameter, centre x, centre y.
    QStringList InclusionEdits() const
    {
        return {Part<QLineEdit>(form, "EditInclDiameter").text(),
                Part<QLineEdit>(form, "EditInclCenterX").text(),
                Part<QLineEdit>(form, "EditInclCenterY").text()};
    }
    /// The four exclusion edits: left, top, right, bottom.
    QStringList ExclusionEdits() const
    {
        return {Part<QLineEdit>(form, "EditExclLeft").text(),
                Part<QLineEdit>(form, "EditExclTop").text(),
                Part<QLineEdit>(form, "EditExclRight").text(),
                Part<QLineEdit>(form, "EditExclBottom").text()};
    }
};

} // namespace

class TFormRegionSelectionTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void TheDefaultsDrawTheCircleAndTheInnerRectangle()
    {
        TEditor editor;
        QVERIFY(!editor.Inclusion() && !editor.Exclusion());
        Part<QCheckBox>(editor.form, "CheckBoxInclusion").setChecked(true);
        QVERIFY(editor.Inclusion()->Points() == Corners(150, 150, 250, 250));
        QCOMPARE(editor.Inclusion()->Pen().color(), QColor(0, 255, 0));
        // Only the corners resize the circle.
        QVERIFY(editor.Inclusion()->HandleOffered(3));
        QVERIFY(!editor.Inclusion()->HandleOffered(4));

        Part<QCheckBox>(editor.form, "CheckBoxExclusion").setChecked(true);
        QVERIFY(editor.Exclusion()->Points() == Corners(5, 5, 635, 475));
        QCOMPARE(editor.Exclusion()->Pen().color(), QColor(255, 0, 0));

        Part<QCheckBox>(editor.form, "CheckBoxInclusion").setChecked(false);
        QVERIFY(!editor.Inclusion());
        QCOMPARE(editor.Canvas().ShapeCount(), 1);
        Part<TColorBox>(editor.form, "ColorBoxExclusion").SetColour(MakeColour(0, 0, 255));
        QCOMPARE(editor.Exclusion()->Pen().color(), QColor(0, 0, 255));
    }

    void AnOddDiameterDrawsTheEvenCircleBelowIt()
    {
        TEditor editor;
        editor.SetInclusion("101", "200", "200");
        Part<QCheckBox>(editor.form, "CheckBoxInclusion").setChecked(true);
        QCOMPARE(editor.Inclusion()->GetWidth(), 100);
        QCOMPARE(Part<QLineEdit>(editor.form, "EditInclDiameter").text(), QString("101"));
        // Moved by the mouse, the numbers follow the shape.
        QTest::mouseClick(&Part<TMyCAD>(editor.form, "MyCADSelection"), Qt::LeftButton, {},
                          {200, 200});
        Drag(editor.Canvas(), {{200, 200}, {215, 215}, {230, 230}});
        QTRY_COMPARE(editor.InclusionEdits(), (QStringList{"100", "230", "230"}));
    }

    void ACircleIsCreatedOnItsNumbersAtAnyZoom()
    {
        TEditor editor;
        Part<QSlider>(editor.form, "TrackBarZoom").setValue(10);
        QCOMPARE(PanelText(editor.form, "StatusBar1", 0), QString("Zoom 125.9%"));
        QCOMPARE(editor.Canvas().size(), QSize(805, 604));
        editor.SetInclusion("101", "207", "203");
        Part<QCheckBox>(editor.form, "CheckBoxInclusion").setChecked(true);
        QVERIFY(editor.Inclusion()->Points() == Corners(157, 153, 257, 253));
        Part<QSlider>(editor.form, "TrackBarZoom").setValue(-80);
        QCOMPARE(PanelText(editor.form, "StatusBar1", 0), QString("Zoom 15.8%"));
        QCOMPARE(editor.Canvas().size(), QSize(101, 76));
        QVERIFY(editor.Inclusion()->Points() == Corners(157, 153, 257, 253));
    }

    void CornerDragsKeepTheCircleRound_data()
    {
        QTest::addColumn<QPoint>("corner");
        QTest::addColumn<QPoint>("move");
        QTest::addColumn<QPoint>("moved");
        QTest::addColumn<QStringList>("edits");
        // The circle (156, 156)-(256, 256), its corners clear of the snapping grid.
        QTest::newRow("top-left") << QPoint(156, 156) << QPoint(10, 3) << QPoint(10, 10)
                                  << QStringList{"90", "211", "211"};
        QTest::newRow("top-right") << QPoint(256, 156) << QPoint(4, -9) << QPoint(9, -9)
                                   << QStringList{"109", "211", "202"};
        QTest::newRow("bottom-left") << QPoint(156, 256) << QPoint(-3, 12) << QPoint(-12, 12)
                                     << QStringList{"112", "200", "212"};
    }
    void CornerDragsKeepTheCircleRound()
    {
        QFETCH(QPoint, corner);
        QFETCH(QPoint, move);
        QFETCH(QPoint, moved);
        QFETCH(QStringList, edits);
        TEditor editor;
        editor.SetInclusion("100", "206", "206");
        Part<QCheckBox>(editor.form, "CheckBoxInclusion").setChecked(true);
        QTest::mouseClick(&Part<TMyCAD>(editor.form, "MyCADSelection"), Qt::LeftButton, {},
                          {206, 206});
        Drag(editor.Canvas(), {corner, corner + move / 2, corner + move});
        const TMyShape& circle = *editor.Inclusion();
        QCOMPARE(circle.GetWidth(), circle.GetHeight());
        const QPoint opposite = QPoint(412, 412) - corner;
        QVERIFY(std::ranges::count(circle.Points(), TMyPoint(QPointF(corner + moved))) == 1);
        QVERIFY(std::ranges::count(circle.Points(), TMyPoint(QPointF(opposite))) == 1);
        QTRY_COMPARE(editor.InclusionEdits(), edits);
    }

    void TypedNumbersMoveTheShapes()
    {
        TEditor editor;
        Part<QCheckBox>(editor.form, "CheckBoxInclusion").setChecked(true);
        Part<QCheckBox>(editor.form, "CheckBoxExclusion").setChecked(true);
        // Enter moves the shape and leaves the window open.
        Part<QLineEdit>(editor.form, "EditInclCenterX").setFocus();
        Part<QLineEdit>(editor.form, "EditInclCenterX").setText("300");
        QTest::keyClick(&Part<QLineEdit>(editor.form, "EditInclCenterX"), Qt::Key_Return);
        QVERIFY(editor.form.isVisible());
        QCOMPARE(editor.Inclusion()->GetCenter(), TMyPoint(300, 200));
        // Text that is no whole number moves the shape by the group's fallback.
        Part<QLineEdit>(editor.form, "EditInclDiameter").setText("wide");
        Part<QLineEdit>(editor.form, "EditExclRight").setText("-12");
        Part<QLineEdit>(editor.form, "EditExclBottom").setText("");
        editor.form.ApplyEdits("Inclusion");
        editor.form.ApplyEdits("Exclusion");
        QVERIFY(editor.Inclusion()->Points() == Corners(290, 190, 310, 210));
        QVERIFY(editor.Exclusion()->Points() == Corners(5, 5, 652, 478));
        editor.form.ApplyEdits("TestArea");
        QCOMPARE(editor.ExclusionEdits(), (QStringList{"5", "5", "-12", ""}));
        // Elsewhere Enter is OK.
        Part<TColorBox>(editor.form, "ColorBoxInclusion").setFocus();
        QTest::keyClick(&Part<TColorBox>(editor.form, "ColorBoxInclusion"), Qt::Key_Return);
        QCOMPARE(editor.form.result(), int(QDialog::Accepted));
    }

    void NumbersNearTheIntegerLimitsDoNotOverflow()
    {
        TEditor editor;
        editor.SetInclusion("2147483647", "2147483647", "-2147483648");
        Part<QLineEdit>(editor.form, "EditExclRight").setText("-2147483648");
        Part<QLineEdit>(editor.form, "EditExclBottom").setText("-2147483648");
        Part<QCheckBox>(editor.form, "CheckBoxInclusion").setChecked(true);
        Part<QCheckBox>(editor.form, "CheckBoxExclusion").setChecked(true);
        // Sums of two options, reckoned in 64 bits.
        QVERIFY(editor.Inclusion()->Points() ==
                Corners(1073741824.0, -3221225471.0, 3221225470.0, -1073741825.0));
        QVERIFY(editor.Exclusion()->Points() == Corners(5, 5, 2147484288.0, 2147484128.0));
        editor.Canvas().grab();
        // Dragged by its top side: what no option holds is held at its limit, never
        // wrapped around.
        QTest::mouseClick(&Part<TMyCAD>(editor.form, "MyCADSelection"), Qt::LeftButton, {},
                          {100, 5});
        Drag(editor.Canvas(), {{100, 5}, {110, 5}, {120, 5}});
        QTRY_COMPARE(Part<QLineEdit>(editor.form, "EditExclLeft").text(), QString("25"));
        QCOMPARE(Part<QLineEdit>(editor.form, "EditExclTop").text(), QString("5"));
        QCOMPARE(Part<QLineEdit>(editor.form, "EditExclBottom").text(), QString("-2147483648"));
        // Within the precision of the shape's single-precision corner.
        QVERIFY(qAbs(Part<QLineEdit>(editor.form, "EditExclRight").text().toLongLong() +
                     2147483648LL) <= 256);
        QCOMPARE(editor.InclusionEdits(), (QStringList{"2147483647", "2147483647", "-2147483648"}));
    }

    void OkRightAfterADragKeepsTheDrag()
    {
        TEditor editor;
        Part<QCheckBox>(editor.form, "CheckBoxInclusion").setChecked(true);
        QTest::mouseClick(&Part<TMyCAD>(editor.form, "MyCADSelection"), Qt::LeftButton, {},
                          {200, 200});
        // OK comes before the refresh would.
        Part<QTimer>(editor.form, "TimerRefresh").setInterval(3600 * 1000);
        Drag(editor.Canvas(), {{200, 200}, {240, 220}});
        QCOMPARE(editor.InclusionEdits(), (QStringList{"100", "200", "200"}));
        editor.form.accept();
        QCOMPARE(editor.InclusionEdits(), (QStringList{"100", "240", "220"}));
        TOptions options;
        editor.form.WriteTo(options);
        QCOMPARE(options.iInclCircleX, 240);
        QCOMPARE(options.iInclCircleY, 220);
    }

    void EveryDraggedShapeGivesItsNumbers()
    {
        TEditor editor;
        Part<QCheckBox>(editor.form, "CheckBoxInclusion").setChecked(true);
        Part<QCheckBox>(editor.form, "CheckBoxExclusion").setChecked(true);
        QTest::mouseClick(&Part<TMyCAD>(editor.form, "MyCADSelection"), Qt::LeftButton, {},
                          {200, 200});
        // The left side of the inner rectangle joins the selection and is dragged.
        QTest::mousePress(&Part<TMyCAD>(editor.form, "MyCADSelection"), Qt::LeftButton,
                          Qt::ControlModifier, {5, 300});
        QCOMPARE(editor.Canvas().SelectedShapes().size(), size_t(2));
        QTest::mouseMove(&Part<TMyCAD>(editor.form, "MyCADSelection"), {15, 310});
        QTest::mouseMove(&Part<TMyCAD>(editor.form, "MyCADSelection"), {25, 320});
        QTest::mouseRelease(&Part<TMyCAD>(editor.form, "MyCADSelection"), Qt::LeftButton, {},
                            {25, 320});
        QTRY_COMPARE(editor.ExclusionEdits(), (QStringList{"25", "25", "-15", "-15"}));
        QCOMPARE(editor.InclusionEdits(), (QStringList{"100", "220", "220"}));
    }

    void TheOptionsGoInAndComeBackUnchanged()
    {
        TEditor editor;
        TOptions options;
        options.iInclCircleX = 320;
        options.iInclCircleY = -7;
        options.iInclCircleDiam = 99;
        options.iExclRectLeft = 1;
        options.iExclRectUp = 2;
        options.iExclRectRight = 3;
        options.iExclRectDown = 4;
        // A colour that is no standard one, and one that is no colour at all.
        options.colColorInclCircle = 0x123456;
        options.colColorExclRect = -16777201;
        options.lUseInclCircle = true;
        options.lUseExclRect = true;
        editor.form.ReadFrom(options);
        QVERIFY(editor.Inclusion()->Points() == Corners(271, -56, 369, 42));
        QVERIFY(editor.Exclusion()->Points() == Corners(1, 2, 637, 476));
        QCOMPARE(editor.Inclusion()->Pen().color(), QColor(0x56, 0x34, 0x12));
        QCOMPARE(Part<TColorBox>(editor.form, "ColorBoxInclusion").currentText(),
                 QString("#563412"));

        TOptions back;
        editor.form.WriteTo(back);
        QVERIFY(back == options);
        // Edits that hold no whole number are stored as 0.
        Part<QLineEdit>(editor.form, "EditExclTop").setText("2.5");
        Part<QLineEdit>(editor.form, "EditInclDiameter").setText("99999999999");
        editor.form.WriteTo(back);
        QCOMPARE(back.iExclRectUp, 0);
        QCOMPARE(back.iInclCircleDiam, 0);
    }

    void TheColourBoxKeepsOneExtraEntryForAColourOfItsOwn()
    {
        TColorBox box;
        QCOMPARE(box.count(), TColorBox::StandardColourCount);
        box.SetColour(MakeColour(255, 255, 0));
        QCOMPARE(box.currentText(), QString("Yellow"));
        box.SetColour(0x00010203);
        box.SetColour(0x00A0B0C0);
        QCOMPARE(box.count(), TColorBox::StandardColourCount + 1);
        QCOMPARE(box.Colour(), TColour(0x00A0B0C0));
        QCOMPARE(box.currentText(), QString("#C0B0A0"));
        box.SetColour(MakeColour(0, 0, 128));
        QCOMPARE(box.currentText(), QString("Navy"));
        QCOMPARE(box.count(), TColorBox::StandardColourCount + 1);
    }
};

QTEST_MAIN(TFormRegionSelectionTest)
#include "TFormRegionSelectionTest.moc"
