// The tool windows as the main window opens them: what goes in and what comes back.

#include "MainWindowFixture.h"
#include "drawing/TMyCAD.h"
#include "drawing/TMyShape.h"
#include "settings/TOptions.h"
#include "shell/TImageWidget.h"
#include "shell/TLabeledEdit.h"
#include "tools/Regionselectioncore.h"
#include "tools/TColorBox.h"
#include "tools/TFormFullImage.h"
#include "tools/TFormMeasure.h"
#include "tools/TFormSelectionByMouse.h"
#include "tools/TPictureView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSlider>

using namespace varnolux;
using varnolux::test::ChangeOptions;
using varnolux::test::ExpectedResultFields;
using varnolux::test::MainWindowFixture;
using varnolux::test::OptionsOf;
using varnolux::test::PanelText;
using varnolux::test::Part;
using varnolux::test::ResultFields;
using varnolux::test::WhenModal;

class ToolsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        fixture = std::make_unique<MainWindowFixture>();
        QVERIFY(fixture->Start());
        QVERIFY(fixture->OpenObjects());
    }

    void cleanup() { fixture.reset(); }

    void TheCalibrationConvertsTheMinimumSize()
    {
        QLineEdit& minRegion = Part<QLineEdit>(fixture->Options(), "EditMinRegion");
        minRegion.setText("10");
        Part<QLineEdit>(Measure(), "EditMeasure").setText("5.00");
        CalibrateWith([](TFormMeasure& window) {
            Part<QCheckBox>(window, "CheckBoxUnits").setChecked(true);
        });
        QCOMPARE(minRegion.text(), QString("0.4"));
        QVERIFY(Main().OptionsFiles().Changed());
        QCOMPARE(Part<TLabeledEdit>(Main(), "LabeledEditMeasure").text(), QString("5.00"));
        QCOMPARE(Main().ShownResult().Items.GetValueText("Unit"), std::string("cm"));
        CalibrateWith([](TFormMeasure& window) {
            Part<QCheckBox>(window, "CheckBoxUnits").setChecked(false);
        });
        QCOMPARE(minRegion.text(), QString("10"));
    }

    void AMinimumSizeThatCannotBeConvertedStays_data()
    {
        QTest::addColumn<QString>("minRegion");
        QTest::addColumn<QString>("scale");
        QTest::newRow("no scale") << "10"
                                  << "";
        QTest::newRow("scale 0.00") << "10"
                                    << "0.00";
        QTest::newRow("scale no number") << "10"
                                         << "five";
        QTest::newRow("size no number") << "ten"
                                        << "5.00";
    }
    void AMinimumSizeThatCannotBeConvertedStays()
    {
        QFETCH(QString, minRegion);
        QFETCH(QString, scale);
        Part<QLineEdit>(fixture->Options(), "EditMinRegion").setText(minRegion);
        Part<QLineEdit>(Measure(), "EditMeasure").setText(scale);
        CalibrateWith([](TFormMeasure& window) {
            Part<QCheckBox>(window, "CheckBoxUnits").setChecked(true);
        });
        // The analysis may have replaced an invalid size by 0, with a message; never by a
        // size made of the invalid numbers.
        const QString after = Part<QLineEdit>(fixture->Options(), "EditMinRegion").text();
        QVERIFY2(after == minRegion || after == "0", qPrintable(after));
    }

    void CancelPutsTheCalibrationBack()
    {
        TFormMeasure& window = Measure();
        Part<QComboBox>(window, "ComboBoxZoom").setEditText("250");
        Part<QLineEdit>(window, "EditMeasure").setText("3.00");
        WhenModal<TFormMeasure>([](TFormMeasure& shown) {
            Part<QCheckBox>(shown, "CheckBoxUnits").setChecked(true);
            Part<QLineEdit>(shown, "EditMeasure").setText("9.00");
            Part<QComboBox>(shown, "ComboBoxUnits").setCurrentIndex(0);
            Part<QComboBox>(shown, "ComboBoxZoom").setCurrentIndex(0);
            shown.reject();
        });
        Part<QAction>(Main(), "ActionMeasure").trigger();
        QVERIFY(!Part<QCheckBox>(window, "CheckBoxUnits").isChecked());
        QCOMPARE(Part<QLineEdit>(window, "EditMeasure").text(), QString("3.00"));
        QCOMPARE(Part<QComboBox>(window, "ComboBoxUnits").currentText(), QString("cm"));
        QCOMPARE(Part<QComboBox>(window, "ComboBoxZoom").currentIndex(), -1);
        QCOMPARE(Part<QComboBox>(window, "ComboBoxZoom").currentText(), QString("250"));
        QVERIFY(!Main().OptionsFiles().Changed());
    }

    void TheCalibrationShowsTheImage()
    {
        QSize shown;
        QString status;
        CalibrateWith([&](TFormMeasure& window) {
            QVERIFY(QTest::qWaitFor([&] { return window.Armed(); }));
            shown = Part<TPictureView>(window, "ScrollBoxImage").Picture().size();
            status = PanelText(window, "StatusBar1", 1);
        });
        QCOMPARE(shown, QSize(200, 80));
        QVERIFY(status.endsWith("objects.bmp"));
    }

    void TheColourRangeComesFromTheOutlinedPixels()
    {
        // The red block of the objects picture covers 20..49 × 20..49.
        SelectColourBy({{25, 25}, {45, 25}, {45, 45}, {25, 45}, {25, 26}});
        std::array<int, 6> range{};
        for (size_t i = 0; i < range.size(); ++i)
            range[i] = fixture->Bar(int(i)).value();
        QCOMPARE(range, (std::array<int, 6>{0, 1, 254, 255, 254, 255}));
        QVERIFY(fixture->reporter.messages.empty());
        QVERIFY(Main().OptionsFiles().Changed());
        // Analysed with the new range: the three red objects.
        QCOMPARE(Main().ShownResult().Items.GetValueText("Count"), std::string("3"));
    }

    void NothingOutlinedSetsNoRange()
    {
        const int hMax = fixture->Bar(1).value();
        SelectColourBy({});
        QCOMPARE(fixture->reporter.messages,
                 std::vector<std::string>{"The colour range could not be set from the selected "
                                          "regions."});
        QCOMPARE(fixture->Bar(1).value(), hMax);
    }

    void TheAreaEditorShowsTheOptionsAndAnalysesTheDrawnArea()
    {
        SetArea(100, 40, 60, true);
        QString shownEdits;
        QSize background;
        const std::string image = fixture->folder.File("objects.bmp");
        WhenModal<TFormRegionSelection>([&](TFormRegionSelection& editor) {
            shownEdits = Part<QLineEdit>(editor, "EditInclCenterX").text() + " " +
                         Part<QLineEdit>(editor, "EditInclCenterY").text() + " " +
                         Part<QLineEdit>(editor, "EditInclDiameter").text();
            background = Part<TMyCAD>(editor, "MyCADSelection").BkBitmap().size();
            Part<QSlider>(editor, "TrackBarZoom").setValue(30);
            // The circle (70, 10)-(130, 70) dragged 20 pixels to the left; OK at once.
            TMyCAD& canvas = Part<TMyCAD>(editor, "MyCADSelection");
            const auto at = [&canvas](int x, int y) {
                return canvas.ToCanvas(TMyPoint(x, y));
            };
            QTest::mouseClick(&canvas, Qt::LeftButton, {}, at(100, 40));
            QTest::mousePress(&canvas, Qt::LeftButton, {}, at(100, 40));
            QTest::mouseMove(&canvas, at(90, 40));
            QTest::mouseMove(&canvas, at(80, 40));
            QTest::mouseRelease(&canvas, Qt::LeftButton, {}, at(80, 40));
            editor.accept();
        });
        Part<QAction>(Main(), "ActionRegionSelect").trigger();
        QVERIFY(fixture->WaitIdle());
        QCOMPARE(shownEdits, QString("100 40 60"));
        QCOMPARE(background, QSize(200, 80));
        const TOptions options = OptionsOf(fixture->Options());
        QCOMPARE(options.iInclCircleX, 80);
        QCOMPARE(options.iInclCircleY, 40);
        QCOMPARE(options.iInclCircleDiam, 60);
        // A colour of its own stays as it was.
        QCOMPARE(options.colColorInclCircle, 0x123456);
        QVERIFY(Main().OptionsFiles().Changed());
        QCOMPARE(Main().AnalysisActions().RegionZoom(), 30);

        // The analysis shown is the batch command's with the options saved now.
        const std::string optionsFile = fixture->folder.File("drawn.ini");
        QVERIFY(Main().OptionsFiles().Save(optionsFile));
        const std::vector<std::string> expected = ExpectedResultFields(image, optionsFile);
        QCOMPARE(expected.size(), size_t(23));
        QCOMPARE(ResultFields(Main().ShownResult().Items.ValueLine()), expected);
        QCOMPARE(TOptions::Load(optionsFile).iInclCircleX, 80);

        // The next showing starts at the zoom of the last OK.
        int zoom = 0;
        WhenModal<TFormRegionSelection>([&zoom](TFormRegionSelection& editor) {
            zoom = Part<QSlider>(editor, "TrackBarZoom").value();
            editor.reject();
        });
        Part<QAction>(Main(), "ActionRegionSelect").trigger();
        QCOMPARE(zoom, 30);
    }

    void AnAnalysisRunningAtOkGivesWayToTheDrawnArea()
    {
        SetArea(100, 40, 60, true);
        const std::string image = fixture->folder.File("objects.bmp");
        WhenModal<TFormRegionSelection>([this](TFormRegionSelection& editor) {
            // As the quiet colour range would start one behind the editor.
            QVERIFY(Main().RunAnalysis());
            Part<QLineEdit>(editor, "EditInclDiameter").setText("40");
            editor.accept();
        });
        Part<QAction>(Main(), "ActionRegionSelect").trigger();
        QVERIFY(fixture->WaitIdle());
        QCOMPARE(OptionsOf(fixture->Options()).iInclCircleDiam, 40);
        const std::string optionsFile = fixture->folder.File("drawn.ini");
        QVERIFY(Main().OptionsFiles().Save(optionsFile));
        QCOMPARE(ResultFields(Main().ShownResult().Items.ValueLine()),
                 ExpectedResultFields(image, optionsFile));
    }

    void CancelLeavesTheAreaAsItWas()
    {
        SetArea(100, 40, 60, false);
        TOptions before;
        fixture->Options().WriteTo(before);
        const std::string analysed = Main().ShownResult().Items.ValueLine();
        WhenModal<TFormRegionSelection>([](TFormRegionSelection& editor) {
            Part<QCheckBox>(editor, "CheckBoxExclusion").setChecked(true);
            Part<QLineEdit>(editor, "EditInclDiameter").setText("30");
            Part<TColorBox>(editor, "ColorBoxExclusion").SetColour(0x00ABCDEF);
            Part<QSlider>(editor, "TrackBarZoom").setValue(-20);
            editor.reject();
        });
        Part<QAction>(Main(), "ActionRegionSelect").trigger();
        TOptions after;
        fixture->Options().WriteTo(after);
        QVERIFY(after == before);
        QVERIFY(!Main().OptionsFiles().Changed());
        QCOMPARE(Main().AnalysisActions().RegionZoom(), -1);
        QVERIFY(!Main().Busy());
        QCOMPARE(Main().ShownResult().Items.ValueLine(), analysed);
    }

    void EveryClickOnAnImageOpensAViewer()
    {
        QTest::mouseClick(&Part<TImageWidget>(Main(), "ImageOriginal"), Qt::LeftButton);
        QTest::mouseClick(&Part<TImageWidget>(Main(), "ImageAnalyse"), Qt::LeftButton);
        const auto viewers = Main().findChildren<TFormFullImage*>();
        QCOMPARE(viewers.size(), 2);
        for (TFormFullImage* viewer : viewers) {
            QVERIFY(viewer->isVisible());
            QCOMPARE(viewer->windowTitle(), QString("Full image"));
            QCOMPARE(Part<TPictureView>(*viewer, "ScrollBoxImage").Picture().size(),
                     QSize(200, 80));
        }
    }

    void ClicksDuringAnAnalysisOpenNoViewer()
    {
        test::DuringNextAnalysis(Main(), [this] {
            QTest::mouseClick(&Part<TImageWidget>(Main(), "ImageOriginal"), Qt::LeftButton);
        });
        Part<QAction>(Main(), "ActionProcess").trigger();
        QVERIFY(fixture->WaitIdle());
        QVERIFY(Main().findChildren<TFormFullImage*>().isEmpty());
    }

private:
    TFormMain& Main() { return fixture->Main(); }
    TFormMeasure& Measure() { return *fixture->windows->FormMeasure; }

    /// Opens the calibration, lets the action change it and closes it with OK.
    void CalibrateWith(std::function<void(TFormMeasure&)> change)
    {
        WhenModal<TFormMeasure>([change](TFormMeasure& window) {
            change(window);
            window.accept();
        });
        Part<QAction>(Main(), "ActionMeasure").trigger();
        QVERIFY(fixture->WaitIdle());
    }

    /// Opens the colour selection, draws the outline (none when empty) and closes it
    /// with OK.
    void SelectColourBy(const std::vector<QPoint>& outline)
    {
        WhenModal<TFormSelectionByMouse>([outline](TFormSelectionByMouse& window) {
            QVERIFY(QTest::qWaitFor([&] { return window.Loaded(); }));
            if (!outline.empty()) {
                QWidget& view = Part<QWidget>(window, "ImageMess");
                QTest::mousePress(&view, Qt::LeftButton, {}, outline.front());
                for (const QPoint& point : outline)
                    QTest::mouseMove(&view, point);
                QTest::mouseRelease(&view, Qt::LeftButton, {}, outline.back());
            }
            window.accept();
        });
        Part<QAction>(Main(), "ActionColorSelection").trigger();
        // The worker finds the range: the window goes on meanwhile.
        QVERIFY(Main().Busy());
        QVERIFY(fixture->WaitIdle());
    }

    /// The inclusion circle in the options, in a colour that is no standard one.
    void SetArea(int x, int y, int diameter, bool used)
    {
        ChangeOptions(fixture->Options(), [=](TOptions& options) {
            options.iInclCircleX = x;
            options.iInclCircleY = y;
            options.iInclCircleDiam = diameter;
            options.lUseInclCircle = used;
            options.colColorInclCircle = 0x123456;
        });
    }

    std::unique_ptr<MainWindowFixture> fixture;
};

QTEST_MAIN(ToolsTest)
#include "ToolsTest.moc"
