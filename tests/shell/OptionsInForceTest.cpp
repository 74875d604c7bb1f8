// What the window shows and saves belongs to the options in force and to the image on
// screen, whatever the user did before: loaded other options, failed to open a file.

#include "MainWindowFixture.h"
#include "chart/Tsp_XYLine.h"
#include "shell/TImageWidget.h"

#include <QAction>
#include <QLineEdit>

using namespace varnolux;
using varnolux::test::ExpectedResultFields;
using varnolux::test::FileLines;
using varnolux::test::MainWindowFixture;
using varnolux::test::Part;
using varnolux::test::ResultFields;
using varnolux::test::TriggerWithFile;
using varnolux::test::WriteFile;

namespace {

// The red objects, the large ones only, inside a circle around the left ones.
std::string RedOptions(const std::string& resultFile, const char* minRegion = "150")
{
    return std::string("[FormMain]\n"
                       "LabeledEditHMin=0\nLabeledEditHMax=10\nLabeledEditSMin=100\n"
                       "LabeledEditSMax=255\nLabeledEditVMin=0\nLabeledEditVMax=255\n"
                       "[FormOptions]\nEditMinRegion=") +
           minRegion +
           "\nlUseInclCircle=1\niInclCircleX=60\niInclCircleY=40\niInclCircleDiam=100\n"
           "EditResultFile=" +
           resultFile + "\n";
}

const char* const ResultFieldNames[] = {
    "LabeledEditAnaArea",  "LabeledEditAnaAreaCM",  "LabeledEditAreaPixel", "LabeledEditAreaCM",
    "LabeledEditMeanSize", "LabeledEditMeanSizeCM", "LabeledEditCount",     "LabeledEditPercent"};

} // namespace

class OptionsInForceTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void init()
    {
        fixture = std::make_unique<MainWindowFixture>();
        QVERIFY(fixture->Start());
        image = fixture->WriteObjectsImage();
        resultFile = fixture->folder.File("results.txt");
    }
    void cleanup() { fixture.reset(); }

    void LoadedOptionsAreAnalysedAtOnce()
    {
        TriggerWithFile(fixture->Action("ActionOpen"), image);
        const QString areaBefore = fixture->Text("LabeledEditAnaArea");
        const std::string optionsFile = fixture->folder.File("large-red.ini");
        WriteFile(optionsFile, RedOptions(resultFile));

        TriggerWithFile(fixture->Action("ActionLoadOptions"), optionsFile);
        QCOMPARE(fixture->StatusBar().PanelText(TFormMain::StatusPanelOptions),
                 QString("large-red.ini"));
        const std::vector<std::string> expected = ExpectedResultFields(image, optionsFile);
        QCOMPARE(expected.size(), size_t(23));
        QCOMPARE(fixture->Text("LabeledEditCount").toStdString(), expected[12]);
        // The analysis area is the circle's now.
        QVERIFY(fixture->Text("LabeledEditAnaArea") != areaBefore);

        fixture->Action("ActionSaveResult").trigger();
        const std::vector<std::string> lines = FileLines(resultFile);
        QCOMPARE(lines.size(), size_t(2));
        QCOMPARE(ResultFields(lines[1]), expected);
        QVERIFY(fixture->reporter.messages.empty());
    }

    void DefaultOptionsLoadedAgainAreAnalysedAtOnce()
    {
        const std::string defaultOptions = fixture->Main().OptionsFiles().DefaultFile();
        WriteFile(defaultOptions, RedOptions(resultFile, "0"));
        const std::string otherOptions = fixture->folder.File("large-red.ini");
        WriteFile(otherOptions, RedOptions(resultFile));
        TriggerWithFile(fixture->Action("ActionLoadOptions"), otherOptions);
        TriggerWithFile(fixture->Action("ActionOpen"), image);

        fixture->Action("ActionLoadDefaultOptions").trigger();
        QVERIFY(fixture->WaitIdle());
        fixture->Action("ActionSaveResult").trigger();
        const std::vector<std::string> lines = FileLines(resultFile);
        QCOMPARE(lines.size(), size_t(2));
        QCOMPARE(ResultFields(lines[1]), ExpectedResultFields(image, defaultOptions));
        QCOMPARE(fixture->StatusBar().PanelText(TFormMain::StatusPanelOptions),
                 QString("- DEFAULT OPTIONS -"));
    }

    void ANegativeMinimumSizeIsReplacedLikeAnInvalidOne()
    {
        TriggerWithFile(fixture->Action("ActionOpen"), image);
        const std::string optionsFile = fixture->folder.File("negative.ini");
        WriteFile(optionsFile, RedOptions(resultFile, "-5"));
        TriggerWithFile(fixture->Action("ActionLoadOptions"), optionsFile);
        QCOMPARE(fixture->reporter.messages,
                 std::vector<std::string>{
                     "Invalid minimal area - will be set to 0.0. Please correct in options."});
        QCOMPARE(Part<QLineEdit>(fixture->Options(), "EditMinRegion").text(), QString("0"));
        fixture->Action("ActionSaveResult").trigger();
        const std::vector<std::string> saved = ResultFields(FileLines(resultFile).at(1));
        QCOMPARE(saved.at(13), std::string("0")); // MinRegion
        QCOMPARE(saved.at(12), std::string("2")); // Count: both red regions in the circle
    }

    void AFailedOpenLeavesNoNumbersOfThePreviousImage()
    {
        TriggerWithFile(fixture->Action("ActionOpen"), image);
        QVERIFY(!fixture->Text("LabeledEditCount").isEmpty());
        const std::string damaged = fixture->folder.File("damaged.png");
        WriteFile(damaged, "\x89PNG\r\n\x1a\n and then nothing of an image");

        TriggerWithFile(fixture->Action("ActionOpen"), damaged);
        QCOMPARE(fixture->reporter.messages.size(), size_t(1));
        for (const char* field : ResultFieldNames)
            QVERIFY2(fixture->Text(field).isEmpty(), field);
        for (const char* line : {"sp_XYLineH", "sp_XYLineS", "sp_XYLineV"})
            QVERIFY2(fixture->Find<Tsp_XYLine>(line)->Count() == 0, line);
        for (const char* channel : {"ImageH", "ImageS", "ImageV", "ImageOriginal", "ImageAnalyse"})
            QVERIFY2(fixture->Find<TImageWidget>(channel)->PictureImage().isNull(), channel);
        QVERIFY(!fixture->Action("ActionSaveResult").isEnabled());
        QVERIFY(!fixture->Action("ActionProcess").isEnabled());
    }

    void EachPartOfTheOutlineInItsColour()
    {
        // A circle around (20, 40) with a radius of 30, cut by a left border of 10.
        const std::string optionsFile = fixture->folder.File("outline.ini");
        WriteFile(optionsFile, "[FormMain]\nLabeledEditHMin=0\nLabeledEditHMax=255\n"
                               "LabeledEditSMin=0\nLabeledEditSMax=255\nLabeledEditVMin=0\n"
                               "LabeledEditVMax=255\n"
                               "[FormOptions]\nEditMinRegion=0\n"
                               "lUseInclCircle=1\niInclCircleX=20\niInclCircleY=40\n"
                               "iInclCircleDiam=60\ncolColorInclCircle=16711680\n"
                               "lUseExclRect=1\niExclRectLeft=10\ncolColorExclRect=65535\n");
        TriggerWithFile(fixture->Action("ActionLoadOptions"), optionsFile);
        TriggerWithFile(fixture->Action("ActionOpen"), image);
        const TBitmap24& source = fixture->Find<TImageWidget>("ImageOriginal")->Picture();
        QCOMPARE(source.Width(), 200);
        const TColour circle = MakeColour(0, 0, 255);
        const TColour borders = MakeColour(255, 255, 0);
        for (const int y : {20, 40, 60})
            QCOMPARE(source.Pixel(10, y), borders);
        QCOMPARE(source.Pixel(50, 40), circle);
        QCOMPARE(source.Pixel(20, 10), circle);
        QCOMPARE(source.Pixel(20, 70), circle);
        QCOMPARE(source.Pixel(5, 40), MakeColour(128, 128, 128)); // excluded, no outline
    }

private:
    std::unique_ptr<MainWindowFixture> fixture;
    std::string image;
    std::string resultFile;
};

QTEST_MAIN(OptionsInForceTest)
#include "OptionsInForceTest.moc"
