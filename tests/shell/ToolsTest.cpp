// The tool windows as the main window opens them: what goes in and what comes back.

#include "MainWindowFixture.h"
#include "shell/TImageWidget.h"
#include "shell/TLabeledEdit.h"
#include "tools/TFormFullImage.h"
#include "tools/TFormMeasure.h"
#include "tools/TFormSelectionByMouse.h"
#include "tools/TPictureView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>

using namespace varnolux;
using varnolux::test::MainWindowFixture;
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
        QLineEdit& minRegion = *fixture->Options().EditMinRegion;
        minRegion.setText("10");
        Measure().EditMeasure->setText("5.00");
        CalibrateWith([](TFormMeasure& window) { window.CheckBoxUnits->setChecked(true); });
        QCOMPARE(minRegion.text(), QString("0.4"));
        QVERIFY(Main().OptionsChanged);
        QCOMPARE(Main().LabeledEditMeasure->text(), QString("5.00"));
        QCOMPARE(Main().ShownResult().Items.GetValueText("Unit"), std::string("cm"));
        CalibrateWith([](TFormMeasure& window) { window.CheckBoxUnits->setChecked(false); });
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
        fixture->Options().EditMinRegion->setText(minRegion);
        Measure().EditMeasure->setText(scale);
        CalibrateWith([](TFormMeasure& window) { window.CheckBoxUnits->setChecked(true); });
        // The analysis may have replaced an invalid size by 0, with a message; never by a
        // size made of the invalid numbers.
        const QString after = fixture->Options().EditMinRegion->text();
        QVERIFY2(after == minRegion || after == "0", qPrintable(after));
    }

    void CancelPutsTheCalibrationBack()
    {
        TFormMeasure& window = Measure();
        window.ComboBoxZoom->setEditText("250");
        window.EditMeasure->setText("3.00");
        WhenModal<TFormMeasure>([](TFormMeasure& shown) {
            shown.CheckBoxUnits->setChecked(true);
            shown.EditMeasure->setText("9.00");
            shown.ComboBoxUnits->setCurrentIndex(0);
            shown.ComboBoxZoom->setCurrentIndex(0);
            shown.reject();
        });
        Main().ActionMeasure->trigger();
        QVERIFY(!window.CheckBoxUnits->isChecked());
        QCOMPARE(window.EditMeasure->text(), QString("3.00"));
        QCOMPARE(window.ComboBoxUnits->currentText(), QString("cm"));
        QCOMPARE(window.ComboBoxZoom->currentIndex(), -1);
        QCOMPARE(window.ComboBoxZoom->currentText(), QString("250"));
        QVERIFY(!Main().OptionsChanged);
    }

    void TheCalibrationShowsTheImage()
    {
        QSize shown;
        QString status;
        CalibrateWith([&](TFormMeasure& window) {
            QVERIFY(QTest::qWaitFor([&] { return window.Armed(); }));
            shown = window.ScrollBoxImage->Picture().size();
            status = window.StatusPanel->text();
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
        QVERIFY(Main().OptionsChanged);
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

    void EveryClickOnAnImageOpensAViewer()
    {
        QTest::mouseClick(Main().ImageOriginal, Qt::LeftButton);
        QTest::mouseClick(Main().ImageAnalyse, Qt::LeftButton);
        const auto viewers = Main().findChildren<TFormFullImage*>();
        QCOMPARE(viewers.size(), 2);
        for (TFormFullImage* viewer : viewers) {
            QVERIFY(viewer->isVisible());
            QCOMPARE(viewer->windowTitle(), QString("Full image"));
            QCOMPARE(viewer->ScrollBoxImage->Picture().size(), QSize(200, 80));
        }
    }

    void ClicksDuringAnAnalysisOpenNoViewer()
    {
        test::DuringNextAnalysis(
            Main(), [this] { QTest::mouseClick(Main().ImageOriginal, Qt::LeftButton); });
        Main().ActionProcess->trigger();
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
        Main().ActionMeasure->trigger();
        QVERIFY(fixture->WaitIdle());
    }

    /// Opens the colour selection, draws the outline (none when empty) and closes it
    /// with OK.
    void SelectColourBy(const std::vector<QPoint>& outline)
    {
        WhenModal<TFormSelectionByMouse>([outline](TFormSelectionByMouse& window) {
            QVERIFY(QTest::qWaitFor([&] { return window.Loaded(); }));
            if (!outline.empty()) {
                QTest::mousePress(window.ImageMess, Qt::LeftButton, {}, outline.front());
                for (const QPoint& point : outline)
                    QTest::mouseMove(window.ImageMess, point);
                QTest::mouseRelease(window.ImageMess, Qt::LeftButton, {}, outline.back());
            }
            window.accept();
        });
        Main().ActionColorSelection->trigger();
        QVERIFY(fixture->WaitIdle());
    }

    std::unique_ptr<MainWindowFixture> fixture;
};

QTEST_MAIN(ToolsTest)
#include "ToolsTest.moc"
