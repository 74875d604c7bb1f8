#include "tools/TFormMeasure.h"

#include "ToolTestSupport.h"
#include "settings/ProgramInfo.h"
#include "tools/Calibration.h"
#include "tools/PictureToolParts.h"
#include "tools/TAboutBox.h"
#include "tools/TMeasureDlgForm.h"
#include "tools/TPictureView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace varnolux;
using varnolux::test::Drag;
using varnolux::test::PanelText;
using varnolux::test::Part;
using varnolux::test::Plain;
using varnolux::test::RecordingReporter;
using varnolux::test::WhenShown;

namespace {

/// The calibration window on a plain picture, loaded and ready for measuring.
struct TMeasuring {
    TFormMeasure form;
    RecordingReporter reporter;
    QString shownLength;

    explicit TMeasuring(const QString& zoom = "100%")
    {
        form.SetPicture(Plain(400, 300));
        form.SetStatusText("/images/plate.png");
        Part<QComboBox>(form, "ComboBoxZoom").setEditText(zoom);
        form.show();
    }

    bool Loaded()
    {
        return QTest::qWaitFor([this] { return form.Armed(); });
    }

    /// Draws a line (view positions) and answers the length dialog with the text by
    /// pressing Enter in the length edit; the dialog is left with Cancel when it
    /// refuses the text.
    void Measure(const std::vector<QPoint>& line, const QString& length, int unit = -1)
    {
        TMeasureDlgForm& dialog = form.LengthDialog();
        WhenShown(dialog, [this, &dialog, length, unit] {
            shownLength = Part<QLabel>(dialog, "LabelPixel").text();
            if (unit >= 0)
                Part<QComboBox>(dialog, "ComboBoxUnits").setCurrentIndex(unit);
            Part<QLineEdit>(dialog, "EditLaenge").setText(length);
            QTest::keyClick(&Part<QLineEdit>(dialog, "EditLaenge"), Qt::Key_Return);
            if (dialog.isVisible())
                dialog.reject();
        });
        Drag(Part<QWidget>(form, "ImageMess"), line);
    }
};

} // namespace

class TFormMeasureTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void StartsWithoutUnits()
    {
        TFormMeasure form;
        QVERIFY(!Part<QCheckBox>(form, "CheckBoxUnits").isChecked());
        QCOMPARE(Part<QComboBox>(form, "ComboBoxUnits").currentText(), QString("cm"));
        QCOMPARE(Part<QComboBox>(form, "ComboBoxZoom").currentIndex(), -1);
        QCOMPARE(Part<QComboBox>(form, "ComboBoxZoom").currentText(), QString("100%"));
        QVERIFY(!Part<QLineEdit>(form, "EditMeasure").isEnabled());
        Part<QCheckBox>(form, "CheckBoxUnits").setChecked(true);
        QVERIFY(Part<QLineEdit>(form, "EditMeasure").isEnabled());
        QVERIFY(Part<QComboBox>(form, "ComboBoxUnits").isEnabled());
    }

    void UnitCaptionsCarryTheUnit()
    {
        TFormMeasure form;
        Part<QComboBox>(form, "ComboBoxUnits").setCurrentIndex(1);
        Part<QLineEdit>(form, "EditMeasure").setText("25.00");
        const TUnitCaptions on = form.UnitCaptions(true);
        QCOMPARE(on.AreaLabel, std::string("Object area [µm²]"));
        QCOMPARE(on.AnaAreaLabel, std::string("Analysis area [µm²]"));
        QCOMPARE(on.MeanSizeLabel, std::string("Mean size [µm²]"));
        QCOMPARE(on.MeasureLabel, std::string("Measure [pixel/µm]"));
        QCOMPARE(on.MeasureValue, std::string("25.00"));
        QCOMPARE(on.MinSizeLabel, std::string("Minimum object size [µm²]"));
    }

    void WithoutUnitsTheBracketsStayEmpty()
    {
        TFormMeasure form;
        Part<QLineEdit>(form, "EditMeasure").setText("25.00");
        const TUnitCaptions off = form.UnitCaptions(false);
        QCOMPARE(off.AreaLabel, std::string("Object area []"));
        QCOMPARE(off.MeasureLabel, std::string("Measure []"));
        QCOMPARE(off.MeasureValue, std::string());
        QCOMPARE(off.MinSizeLabel, std::string("Minimum object size[pixel]"));
    }

    void SetUnitCaptionsSendsThem()
    {
        TFormMeasure form;
        TUnitCaptions received;
        connect(&form, &TFormMeasure::UnitCaptionsChanged,
                [&received](const TUnitCaptions& captions) { received = captions; });
        form.SetUnitCaptions(true);
        QCOMPARE(received, form.UnitCaptions(true));
    }

    void ALineAndItsTrueLengthGiveTheScale()
    {
        // 100 picture pixels at 200 % are 200 view pixels.
        TMeasuring measuring("200%");
        QVERIFY(measuring.Loaded());
        QCOMPARE(PanelText(measuring.form, "StatusBar1", 0), QString("Zoom: 200%"));
        QCOMPARE(PanelText(measuring.form, "StatusBar1", 1), QString("/images/plate.png"));
        measuring.Measure({{10, 10}, {110, 10}, {210, 10}}, "4");
        QCOMPARE(measuring.shownLength, QString("100.00"));
        QCOMPARE(Part<QLineEdit>(measuring.form, "EditMeasure").text(), QString("25.00"));
        QVERIFY(Part<QCheckBox>(measuring.form, "CheckBoxUnits").isChecked());
        QCOMPARE(measuring.form.UnitsPerPixel(), 0.04);
        // The line goes once the length is given.
        QVERIFY(Part<TPictureView>(measuring.form, "ScrollBoxImage").Overlay().empty());
    }

    void TheLineFollowsThePointer()
    {
        TMeasuring measuring;
        QVERIFY(measuring.Loaded());
        QTest::mousePress(&Part<QWidget>(measuring.form, "ImageMess"), Qt::LeftButton, {},
                          {10, 10});
        QTest::mouseMove(&Part<QWidget>(measuring.form, "ImageMess"), {50, 30});
        const auto line = [&] {
            return Part<TPictureView>(measuring.form, "ScrollBoxImage").Overlay();
        };
        QCOMPARE(line(), std::vector<QPolygon>{QPolygon({QPoint(10, 10), QPoint(50, 30)})});
        // Back at the start the last line stays.
        QTest::mouseMove(&Part<QWidget>(measuring.form, "ImageMess"), {10, 10});
        QCOMPARE(line(), std::vector<QPolygon>{QPolygon({QPoint(10, 10), QPoint(50, 30)})});
        WhenShown(measuring.form.LengthDialog(), [&] { measuring.form.LengthDialog().reject(); });
        QTest::mouseRelease(&Part<QWidget>(measuring.form, "ImageMess"), Qt::LeftButton, {},
                            {10, 10});
        QVERIFY(line().empty());
        QCOMPARE(Part<QLineEdit>(measuring.form, "EditMeasure").text(), QString());
    }

    void AClickWithoutDraggingTakesTheUnitButKeepsTheScale()
    {
        TMeasuring measuring;
        QVERIFY(measuring.Loaded());
        Part<QLineEdit>(measuring.form, "EditMeasure").setText("7.00");
        measuring.Measure({{30, 30}}, "4", 1);
        QCOMPARE(measuring.shownLength, QString("0.00"));
        QVERIFY(Part<QCheckBox>(measuring.form, "CheckBoxUnits").isChecked());
        QCOMPARE(Part<QComboBox>(measuring.form, "ComboBoxUnits").currentText(), QString("µm"));
        QCOMPARE(Part<QLineEdit>(measuring.form, "EditMeasure").text(), QString("7.00"));
        QVERIFY(measuring.reporter.messages.empty());
    }

    void ALengthOfZeroByEnterEmptiesTheScale()
    {
        TMeasuring measuring;
        QVERIFY(measuring.Loaded());
        Part<QLineEdit>(measuring.form, "EditMeasure").setText("7.00");
        measuring.Measure({{10, 10}, {110, 10}}, "0");
        QCOMPARE(Part<QLineEdit>(measuring.form, "EditMeasure").text(), QString());
        QVERIFY(measuring.reporter.messages.empty());
    }

    void RefusedLengthsChangeNothing_data()
    {
        QTest::addColumn<QString>("length");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("negative") << "-4" << QStringList{"Invalid number"};
        QTest::newRow("no number")
            << "four" << QStringList{"Keine gültige Gleitkommazahl", "Invalid number"};
        // 100 pixels for 100000 units would be written 0.00 pixels per unit.
        QTest::newRow("scale too small") << "100000" << QStringList{"Invalid number"};
    }
    void RefusedLengthsChangeNothing()
    {
        QFETCH(QString, length);
        QFETCH(QStringList, messages);
        TMeasuring measuring;
        QVERIFY(measuring.Loaded());
        Part<QLineEdit>(measuring.form, "EditMeasure").setText("7.00");
        measuring.Measure({{10, 10}, {110, 10}}, length);
        QStringList shown;
        for (const std::string& message : measuring.reporter.messages)
            shown << QString::fromStdString(message);
        QCOMPARE(shown, messages);
        QCOMPARE(Part<QLineEdit>(measuring.form, "EditMeasure").text(), QString("7.00"));
        QVERIFY(!Part<QCheckBox>(measuring.form, "CheckBoxUnits").isChecked());
    }

    void LeavingTheLengthWithZeroSaysSo()
    {
        RecordingReporter reporter;
        TMeasureDlgForm dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        Part<QLineEdit>(dialog, "EditLaenge").setText("0");
        Part<QLineEdit>(dialog, "EditLaenge").setFocus();
        Part<QComboBox>(dialog, "ComboBoxUnits").setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(reporter.messages, std::vector<std::string>{"Invalid number"});
        QTRY_VERIFY(Part<QLineEdit>(dialog, "EditLaenge").hasFocus());
        // Towards Cancel nothing is checked: the user is leaving.
        reporter.messages.clear();
        Part<QPushButton>(dialog, "CancelBtn").setFocus(Qt::MouseFocusReason);
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        QVERIFY(reporter.messages.empty());
        QVERIFY(Part<QPushButton>(dialog, "CancelBtn").hasFocus());
    }

    void TheSmallestScaleIsKept()
    {
        TMeasuring measuring;
        QVERIFY(measuring.Loaded());
        measuring.Measure({{10, 10}, {110, 10}}, "20000");
        QCOMPARE(Part<QLineEdit>(measuring.form, "EditMeasure").text(), QString("0.01"));
        QVERIFY(measuring.reporter.messages.empty());
    }

    void LongLinesAreMeasuredWithoutOverflow()
    {
        // At 1 % a view pixel is 100 picture pixels: the sum of the squares passes 32 bits.
        TMeasuring measuring("1%");
        QVERIFY(measuring.Loaded());
        measuring.Measure({{10, 10}, {470, 190}}, "1");
        QCOMPARE(measuring.shownLength, QString("49396.36"));
        QCOMPARE(Part<QLineEdit>(measuring.form, "EditMeasure").text(), QString("49396.36"));
    }

    void TheZoomBoxSetsTheZoom_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("zoom");
        QTest::newRow("no number") << "abc" << 100;
        QTest::newRow("zero") << "0%" << 100;
        QTest::newRow("without percent") << "250" << 250;
        QTest::newRow("item") << "50%" << 50;
    }
    void TheZoomBoxSetsTheZoom()
    {
        QFETCH(QString, text);
        QFETCH(int, zoom);
        TMeasuring measuring;
        QVERIFY(measuring.Loaded());
        Part<QComboBox>(measuring.form, "ComboBoxZoom").setEditText(text);
        QCOMPARE(Part<TPictureView>(measuring.form, "ScrollBoxImage").Zoom(), zoom);
        QCOMPARE(PanelText(measuring.form, "StatusBar1", 0), ZoomStatusText(zoom));
        QCOMPARE(Part<TPictureView>(measuring.form, "ScrollBoxImage").ZoomedWidth(),
                 qint64(400 * zoom / 100));
    }

    void OkSendsTheUnitCaptions()
    {
        TMeasuring measuring;
        QVERIFY(measuring.Loaded());
        std::vector<TUnitCaptions> sent;
        connect(&measuring.form, &TFormMeasure::UnitCaptionsChanged,
                [&sent](const TUnitCaptions& captions) { sent.push_back(captions); });
        Part<QCheckBox>(measuring.form, "CheckBoxUnits").setChecked(true);
        measuring.form.reject();
        QVERIFY(sent.empty());
        measuring.form.show();
        measuring.form.accept();
        QCOMPARE(sent.size(), size_t(1));
        QCOMPARE(sent[0].AreaLabel, std::string("Object area [cm²]"));
    }

    void TheMinimumSizeFollowsTheUnits_data()
    {
        QTest::addColumn<QString>("minRegion");
        QTest::addColumn<QString>("scale");
        QTest::addColumn<bool>("toUnits");
        QTest::addColumn<double>("converted"); // 0: left as it is
        QTest::newRow("to square units") << "10"
                                         << "5" << true << 0.4;
        QTest::newRow("to pixels") << "0.4"
                                   << "5,00" << false << 10.0;
        QTest::newRow("no scale") << "10"
                                  << "" << true << 0.0;
        QTest::newRow("scale 0.00") << "10"
                                    << "0.00" << true << 0.0;
        QTest::newRow("negative scale") << "10"
                                        << "-5" << true << 0.0;
        QTest::newRow("size no number") << "ten"
                                        << "5" << true << 0.0;
        QTest::newRow("size 0") << "0"
                                << "5" << true << 0.0;
    }
    void TheMinimumSizeFollowsTheUnits()
    {
        QFETCH(QString, minRegion);
        QFETCH(QString, scale);
        QFETCH(bool, toUnits);
        QFETCH(double, converted);
        const std::optional<double> result =
            ConvertedMinRegion(minRegion.toStdString(), scale.toStdString(), toUnits);
        QCOMPARE(result.value_or(0.0), converted);
    }

    void TheAboutBoxShowsTheVersion()
    {
        TAboutBox about;
        Part<QPushButton>(about, "ButtonUpdate").show();
        about.show();
        QCOMPARE(Part<QLabel>(about, "LabelBuild").text().toStdString(), ProgramVersionText());
        QVERIFY(!Part<QPushButton>(about, "ButtonUpdate").isVisible());
        // No web page set: no Internet line, and no made-up address.
        QVERIFY(!Part<QLabel>(about, "LabelURL").isVisible());
        QVERIFY(!Part<QLabel>(about, "Label2").isVisible());
        about.hide();
        about.SetWebPage(QUrl("https://lab.example/a?b=1&c=<2>"));
        about.show();
        QVERIFY(Part<QLabel>(about, "LabelURL").isVisible());
        // The address is a setting: its text is escaped, never taken as markup.
        QVERIFY(Part<QLabel>(about, "LabelURL")
                    .text()
                    .contains("href=\"https://lab.example/a?b=1&amp;c="));
        QVERIFY(!Part<QLabel>(about, "LabelURL").text().contains("<2>"));
    }
};

QTEST_MAIN(TFormMeasureTest)
#include "TFormMeasureTest.moc"
