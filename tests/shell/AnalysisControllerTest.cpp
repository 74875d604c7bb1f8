// The analysis controller on its own: opens and analyses on the worker, the newest
// request wins, and only the newest result is ever shown.

#include "analysis/ColourRangeFromMask.h"
#include "chart/Tsp_XYLine.h"
#include "chart/Tsp_XYPlot.h"
#include "imaging/BmpFile.h"
#include "shell/TAnalysisController.h"
#include "shell/TAnalysisWorker.h"
#include "shell/TImageWidget.h"
#include "shell/TLabeledEdit.h"
#include "shell/TProgramControl.h"
#include "shell/TStatusProgressBar.h"
#include "support/Pictures.h"
#include "support/RecordingReporter.h"
#include "support/TempFolder.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <random>
#include <thread>

#include <QAction>
#include <QApplication>
#include <QSignalSpy>
#include <QTest>

using namespace varnolux;

namespace {

/// The settings an analysis reads, as a test sets them, and the corrections it took.
class TTestSettings : public TSettingsHolder {
public:
    TAnalysisSettings AnalysisSettings() const override { return settings; }
    void TakeCorrections(const TAnalysisSettings& corrected) override
    {
        corrections.push_back(corrected);
    }

    TAnalysisSettings settings;
    std::vector<TAnalysisSettings> corrections;
};

/// What the worker handed back, seen on its own thread as it happened.
struct TPostedOutcomes {
    std::mutex mutex;
    std::vector<std::uint64_t> ids;
    std::vector<bool> cancelled;
    std::atomic<int> count{0};
};

/// A window with the actions the state controller switches and the views of a result.
struct TControllerWindow {
    TControllerWindow()
    {
        for (const TProgramControl::TActionRow& row : TProgramControl::ActionTable())
            (new QAction(&window))->setObjectName(row.Action);
        views.Source =
            new TImageWidget(&window, "ImageOriginal", TImageWidget::TPictureFit::Stretch);
        views.Source->resize(200, 80);
        views.Analysed =
            new TImageWidget(&window, "ImageAnalyse", TImageWidget::TPictureFit::Stretch);
        for (auto*& channel : views.Channels)
            channel = new TImageWidget(&window, "ImageChannel",
                                       TImageWidget::TPictureFit::ProportionalCentre);
        for (auto*& field : views.Fields)
            field = new TLabeledEdit(&window, "LabeledEditResult", "Result");
        views.Chart = new Tsp_XYPlot(&window);
        for (auto*& line : views.Curves) {
            line = new Tsp_XYLine(views.Chart);
            line->SetPlot(views.Chart);
        }
        views.Progress = new TStatusProgressBar(&window, "StatusProgressBar");
    }

    QWidget window;
    TAnalysisController::TViews views;
};

/// Settings that select the red objects, with a hue maximum to tell runs apart.
TAnalysisSettings RedSettings(int hueMax)
{
    TAnalysisSettings settings;
    settings.Range = {0, hueMax, 100, 255, 0, 255};
    settings.Options.EditMinRegion = "0";
    return settings;
}

} // namespace

class AnalysisControllerTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void init()
    {
        window = std::make_unique<TControllerWindow>();
        states = std::make_unique<TProgramControl>(window->window);
        auto worker = std::make_unique<TAnalysisWorker>();
        posted = std::make_unique<TPostedOutcomes>();
        // Seen on the worker's thread, before the outcome reaches the controller.
        connect(
            worker.get(), &TAnalysisWorker::Finished, worker.get(),
            [outcomes = posted.get()](const std::shared_ptr<TWorkOutcome>& outcome) {
                const std::lock_guard lock(outcomes->mutex);
                outcomes->ids.push_back(outcome->Id);
                outcomes->cancelled.push_back(outcome->Run && outcome->Run->Cancelled);
                ++outcomes->count;
            },
            Qt::DirectConnection);
        settings.settings = RedSettings(10);
        controller = std::make_unique<TAnalysisController>(*states, window->views, settings,
                                                           std::move(worker));
    }

    void cleanup()
    {
        controller.reset();
        states.reset();
        window.reset();
        settings = {};
    }

    void OpensAndShowsTheFirstAnalysis()
    {
        QSignalSpy analyses(controller.get(), &TAnalysisController::AnalysisFinished);
        QVERIFY(controller->Open(WriteObjects()));
        QCOMPARE(states->State(), StateLoading);
        QVERIFY(controller->Busy());
        QVERIFY(WaitIdle());
        QCOMPARE(states->State(), StateAnalysed);
        QCOMPARE(analyses.count(), 1);
        const TAnalysisResult& shown = controller->ShownResult();
        QVERIFY(shown.Complete);
        QCOMPARE(shown.Items.GetValueText("HMax"), std::string("10"));
        QCOMPARE(window->views.Fields[2]->text().toStdString(), shown.Fields.Count);
        QCOMPARE(std::as_const(*window->views.Analysed).Picture().Width(), 200);
        // Nothing in view (the window is hidden): no channel image is painted.
        QVERIFY(window->views.Channels[1]->GreyPicture().IsEmpty());
        QCOMPARE(window->views.Curves[0]->Count(), 256);
        QCOMPARE(settings.corrections.size(), size_t(1));
        QVERIFY(reporter.messages.empty());
    }

    void TheSourceWithItsOutlineIsPaintedAgainOnlyWhenTheAreaOrTheViewChanges()
    {
        const std::string image = WriteObjects();
        QVERIFY(controller->Open(image));
        QVERIFY(WaitIdle());
        const auto& source = std::as_const(*window->views.Source);
        const std::uint8_t* const painted = source.Picture().Bits();
        const TBitmap24 outlined = source.Picture();

        // Another range: the same picture stays in view.
        settings.settings = RedSettings(200);
        QVERIFY(controller->Analyse());
        QVERIFY(WaitIdle());
        QCOMPARE(source.Picture().Bits(), painted);

        // Another analysis area: a new outline, as a run of its own paints it.
        settings.settings.Options.lUseExclRect = true;
        settings.settings.Options.iExclRectLeft = 20;
        QVERIFY(controller->Analyse());
        QVERIFY(WaitIdle());
        TAnalysis engine;
        QVERIFY(engine.LoadImage(image).Loaded);
        TPictureRequest request = TPictureRequest::All();
        request.SourceShownWidth = source.width();
        request.SourceShownHeight = source.height();
        const TAnalysisResult expected = engine.Run(settings.settings, request);
        QVERIFY(source.Picture() == expected.Pictures.Source);
        QVERIFY(!(source.Picture() == outlined));

        // Another size of the view: painted again for it.
        const TBitmap24 before = source.Picture();
        window->views.Source->resize(100, 40);
        QVERIFY(controller->Analyse());
        QVERIFY(WaitIdle());
        request.SourceShownWidth = 100;
        request.SourceShownHeight = 40;
        QVERIFY(source.Picture() == engine.Run(settings.settings, request).Pictures.Source);
    }

    void OnlyChannelImagesInViewArePaintedTheOthersWhenTheyComeIntoView()
    {
        const auto& channels = window->views.Channels;
        channels[1]->hide();
        channels[2]->hide();
        window->window.show();
        const std::string image = WriteObjects();
        QVERIFY(controller->Open(image));
        QVERIFY(WaitIdle());
        QCOMPARE(channels[0]->GreyPicture().Width(), 200);
        QVERIFY(channels[1]->GreyPicture().IsEmpty());
        QVERIFY(channels[2]->GreyPicture().IsEmpty());

        // As the run would have painted it, with the analysis area of the result shown.
        TAnalysis engine;
        QVERIFY(engine.LoadImage(image).Loaded);
        const TAnalysisResult expected =
            engine.Run(controller->ShownResult().Settings, TPictureRequest::All());
        channels[1]->show();
        QTRY_VERIFY(!channels[1]->GreyPicture().IsEmpty());
        QVERIFY(channels[1]->GreyPicture() == expected.Pictures.Channels[1]);
        QVERIFY(channels[2]->GreyPicture().IsEmpty());
        QCOMPARE(states->State(), StateAnalysed);

        // The next run paints the two in view.
        settings.settings = RedSettings(200);
        QVERIFY(controller->Analyse());
        QVERIFY(WaitIdle());
        QVERIFY(!channels[0]->GreyPicture().IsEmpty());
        QVERIFY(!channels[1]->GreyPicture().IsEmpty());
        QVERIFY(channels[2]->GreyPicture().IsEmpty());
        QVERIFY(reporter.messages.empty());
    }

    void AResultOfASupersededRequestIsNeverShownOrSaved()
    {
        QVERIFY(controller->Open(WriteObjects()));
        QVERIFY(WaitIdle());
        const size_t correctionsBefore = settings.corrections.size();
        QSignalSpy analyses(controller.get(), &TAnalysisController::AnalysisFinished);

        // The first request's outcome is on its way when the second one is made.
        settings.settings = RedSettings(10);
        settings.settings.Options.EditMinRegion = "-1"; // corrected, with a message
        const int before = posted->count;
        QVERIFY(controller->Analyse());
        while (posted->count == before)
            std::this_thread::yield();
        settings.settings = RedSettings(200);
        controller->AnalyseLatest();
        QVERIFY(WaitIdle());

        QCOMPARE(analyses.count(), 1);
        const TAnalysisResult& shown = controller->ShownResult();
        QCOMPARE(shown.Items.GetValueText("HMax"), std::string("200"));
        QCOMPARE(shown.Items.GetValueText("MinRegion"), std::string("0"));
        QCOMPARE(settings.corrections.size(), correctionsBefore + 1);
        QCOMPARE(settings.corrections.back().Range[HMax], 200);
        QVERIFY2(reporter.messages.empty(), "the replaced run says nothing");
        // What Save result writes is the newest result's line.
        const std::string resultFile = folder.File("results.txt");
        QVERIFY(shown.Items.SaveToFile(resultFile));
        QVERIFY(test::ReadFile(resultFile).find("\t200\t") != std::string::npos);
        QVERIFY(test::ReadFile(resultFile).find("\t10\t") == std::string::npos);
    }

    void ANewerRangeCancelsTheAnalysisThatRuns()
    {
        QVERIFY(controller->Open(WriteNoise(1600, 1200)));
        QVERIFY(WaitIdle());
        const size_t first = posted->ids.size();
        QSignalSpy analyses(controller.get(), &TAnalysisController::AnalysisFinished);
        for (int hueMax = 20; hueMax <= 120; hueMax += 20) {
            settings.settings = RedSettings(hueMax);
            controller->AnalyseLatest();
            QCOMPARE(states->State(), StateAnalysing);
        }
        QVERIFY(WaitIdle());
        QCOMPARE(analyses.count(), 1);
        QCOMPARE(controller->ShownResult().Items.GetValueText("HMax"), std::string("120"));
        QCOMPARE(states->State(), StateAnalysed);
        const std::lock_guard lock(posted->mutex);
        // Every run before the last one stopped early or never started.
        QVERIFY(posted->ids.size() - first < 6);
        for (size_t i = first; i + 1 < posted->ids.size(); ++i)
            QVERIFY(posted->cancelled[i]);
        QVERIFY(!posted->cancelled.back());
    }

    void AFailedOpenShowsNothingAndSaysWhyOnce()
    {
        QVERIFY(controller->Open(WriteObjects()));
        QVERIFY(WaitIdle());
        QVERIFY(controller->Open(folder.File("missing.bmp")));
        QVERIFY(!controller->Open(WriteObjects()));
        QVERIFY(WaitIdle());
        QCOMPARE(states->State(), StateNoImage);
        QVERIFY(!controller->HasImage());
        QCOMPARE(controller->ShownResult().Items.Count(), 2);
        QVERIFY(window->views.Fields[2]->text().isEmpty());
        QVERIFY(std::as_const(*window->views.Source).Picture().IsEmpty());
        QCOMPARE(reporter.messages,
                 std::vector<std::string>{"File " + folder.File("missing.bmp") + " not found."});
        QVERIFY(!controller->Analyse());
    }

    void TheColourRangeOfASelectionComesFromTheWorker()
    {
        TPlane<std::uint8_t> selection(120, 90);
        std::ranges::fill(selection.Elements(), 0);
        QVERIFY(!controller->FindColourRange(selection)); // no image yet
        QVERIFY(controller->Open(WriteNoise(120, 90)));
        QVERIFY(WaitIdle());
        for (int x = 30; x < 70; ++x)
            for (int y = 10; y < 50; ++y)
                selection[x][y] = 1;
        QSignalSpy found(controller.get(), &TAnalysisController::ColourRangeFound);
        QVERIFY(controller->FindColourRange(selection));
        QVERIFY(controller->Busy());
        QVERIFY(!controller->Analyse());
        QVERIFY(found.wait(20000));
        QVERIFY(!controller->Busy());
        QCOMPARE(states->State(), StateAnalysed);
        // The planes of the open give what the picture as read gives.
        const auto range = found.at(0).at(0).value<TMaskRange>();
        const TMaskRange expected = ColourRangeFromMask(*controller->OpenedImage().SourcePicture,
                                                        selection, ColourRangeSpread);
        QVERIFY(expected);
        QVERIFY(range);
        QCOMPARE(range.Range, expected.Range);

        // A selection of another size selects nothing.
        QVERIFY(controller->FindColourRange(TPlane<std::uint8_t>(12, 9)));
        QVERIFY(found.wait(20000));
        QCOMPARE(found.at(1).at(0).value<TMaskRange>().Failure, TMaskRange::TFailure::OtherSize);
    }

    void AnAnalysisAskedForLaterReplacesTheColourRange()
    {
        QVERIFY(controller->Open(WriteNoise(120, 90)));
        QVERIFY(WaitIdle());
        TPlane<std::uint8_t> selection(120, 90);
        std::ranges::fill(selection.Elements(), 1);
        QSignalSpy found(controller.get(), &TAnalysisController::ColourRangeFound);
        QSignalSpy analyses(controller.get(), &TAnalysisController::AnalysisFinished);
        QVERIFY(controller->FindColourRange(selection));
        controller->AnalyseLatest();
        QVERIFY(WaitIdle());
        QCOMPARE(analyses.count(), 1);
        QCOMPARE(found.count(), 0);
        QCOMPARE(states->State(), StateAnalysed);
    }

private:
    bool WaitIdle()
    {
        if (!controller->Busy())
            return true;
        QSignalSpy finished(controller.get(), &TAnalysisController::WorkFinished);
        return finished.wait(20000);
    }

    std::string WriteObjects()
    {
        const TBitmap24 small = test::Picture(test::ObjectRows);
        TBitmap24 large(small.Width() * 10, small.Height() * 10);
        for (int y = 0; y < large.Height(); ++y)
            for (int x = 0; x < large.Width(); ++x)
                large.SetPixel(x, y, small.Pixel(x / 10, y / 10));
        const std::string fileName = folder.File("objects.bmp");
        WriteBmpFile(large, fileName);
        return fileName;
    }

    std::string WriteNoise(int width, int height)
    {
        TBitmap24 noise(width, height);
        std::mt19937 random(5);
        for (int y = 0; y < height; ++y)
            for (std::uint8_t& byte : noise.Row(y))
                byte = std::uint8_t(random());
        const std::string fileName = folder.File("noise.bmp");
        WriteBmpFile(noise, fileName);
        return fileName;
    }

    test::TempFolder folder;
    test::RecordingReporter reporter;
    TTestSettings settings;
    std::unique_ptr<TControllerWindow> window;
    std::unique_ptr<TProgramControl> states;
    std::unique_ptr<TPostedOutcomes> posted;
    std::unique_ptr<TAnalysisController> controller;
};

QTEST_MAIN(AnalysisControllerTest)
#include "AnalysisControllerTest.moc"
