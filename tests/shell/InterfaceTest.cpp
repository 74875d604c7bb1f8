// The main window started by a calling program with an interface file.

#include "MainWindowFixture.h"
#include "imaging/BmpFile.h"
#include "interface/TInterfaceBA.h"
#include "settings/IniDocument.h"
#include "shell/TImageWidget.h"
#include "shell/TPlasmaForm.h"
#include "shell/TStatusBar.h"

#include <QAction>

using namespace varnolux;
using varnolux::test::MainWindowFixture;
using varnolux::test::Part;
using varnolux::test::ReadFile;
using varnolux::test::TempFolder;
using varnolux::test::WriteFile;

namespace {

/// A calling program's files: the image it hands over and its interface file.
struct TCaller {
    TCaller()
    {
        WriteBmpFile(test::Picture(test::ObjectRows), Image());
        std::filesystem::create_directory(folder.File("out"));
    }

    std::string Image() const { return folder.File("objects.bmp"); }
    std::string InterfaceFileName() const { return folder.File("interface.ini"); }
    std::string ResultFile() const { return folder.File("caller.ini"); }
    std::string AnalysedImage() const { return folder.File("out/Lamivex_objects.bmp.bmp"); }

    /// Writes an interface file for one image (none for count 0).
    std::vector<std::string> Parameters(const std::string& sender, const std::string& analysis,
                                        int count = 1, const std::string& image = {}) const
    {
        WriteFile(InterfaceFileName(),
                  "[General]\nSender=" + sender + "\nCount=" + std::to_string(count) +
                      "\n[Image0]\nImage=" + (image.empty() ? Image() : image) +
                      "\nResultFileDB=" + ResultFile() +
                      "\n[Subject0]\nName=Muster\nFirstname=Eva\nBirthdate=1970-01-01\n"
                      "[Analysis]\nResultImageDirectory=" +
                      folder.File("out") + "\n" + analysis);
        return {InterfaceFileName()};
    }

    TempFolder folder;
};

constexpr const char* RobotThatEnds = "Automatic=1\nResultImage=1\nStoppAtEnd=0\n";

} // namespace

class InterfaceTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void TheInteractiveStartAnalysesTheHandedOverImage_data()
    {
        QTest::addColumn<QString>("sender");
        QTest::addColumn<QString>("subject");
        QTest::addColumn<bool>("withTime");
        QTest::newRow("a records program") << "Records"
                                           << "Muster, Eva, *1970-01-01" << false;
        QTest::newRow("Optivane") << "Optivane"
                                  << "Varnolux Demo " << true;
    }

    void TheInteractiveStartAnalysesTheHandedOverImage()
    {
        QFETCH(QString, sender);
        QFETCH(QString, subject);
        QFETCH(bool, withTime);
        const TCaller caller;
        MainWindowFixture fixture(test::ShippedLanguageFile("en"),
                                  caller.Parameters(sender.toStdString(), "Automatic=0\n"));
        QVERIFY(fixture.Start());
        TFormMain& main = fixture.Main();
        QVERIFY(!Part<QAction>(main, "ActionOpen").isVisible());
        QCOMPARE(main.ProgramControl->State(), 6);
        QVERIFY(!Part<TImageWidget>(main, "ImageAnalyse").Picture().IsEmpty());
        const QString status = Part<TStatusBar>(main, "StatusBarMain").PanelText(0);
        QVERIFY2(status.startsWith(subject), qPrintable(status));
        QCOMPARE(status, QString::fromStdString(main.CallerStart().SubjectText()));
        // The Optivane line ends in the moment of the start.
        QCOMPARE(status.size() > subject.size(), withTime);
        QVERIFY(fixture.reporter.messages.empty());
        QVERIFY(fixture.windows->PlasmaForm->Running());
    }

    void AnImageThatCannotBeLoadedIsAnUnsupportedType()
    {
        const TCaller caller;
        const std::string image = caller.folder.File("missing.bmp");
        MainWindowFixture fixture(test::ShippedLanguageFile("en"),
                                  caller.Parameters("Records", "", 1, image));
        QVERIFY(fixture.Start());
        QCOMPARE(fixture.Main().ProgramControl->State(), 2);
        QVERIFY(!Part<QAction>(fixture.Main(), "ActionOpen").isVisible());
        QCOMPARE(fixture.reporter.messages,
                 (std::vector<std::string>{"File " + image + " not found.",
                                           "Unsupported image type: " + image}));
    }

    void WithoutRecordsTheUserOpensImages_data()
    {
        QTest::addColumn<bool>("interfaceFile");
        QTest::newRow("no interface file") << false;
        QTest::newRow("count 0") << true;
    }

    void WithoutRecordsTheUserOpensImages()
    {
        QFETCH(bool, interfaceFile);
        const TCaller caller;
        // A robot run that stays open at its end leaves the window to the user.
        MainWindowFixture fixture(test::ShippedLanguageFile("en"),
                                  interfaceFile
                                      ? caller.Parameters("Robot", "Automatic=1\nStoppAtEnd=1\n", 0)
                                      : std::vector<std::string>{});
        QVERIFY(fixture.Start());
        TFormMain& main = fixture.Main();
        QVERIFY(Part<QAction>(main, "ActionOpen").isVisible());
        QCOMPARE(main.ProgramControl->State(), 2);
        QVERIFY(main.isVisible());
        QVERIFY(main.CallerStart().Interface());
        QCOMPARE(main.CallerStart().Interface()->Automatic(), interfaceFile);
        QVERIFY(main.close());
        QVERIFY(!std::filesystem::exists(caller.ResultFile()));
    }

    void ARobotRunThatEndsByItselfEndsWithAFailureWithoutAnImage()
    {
        const TCaller caller;
        MainWindowFixture fixture(test::ShippedLanguageFile("en"),
                                  caller.Parameters("Robot", RobotThatEnds, 0));
        QVERIFY(fixture.Start());
        QCOMPARE(fixture.Main().ProgramControl->State(), 10);
        QCOMPARE(fixture.Main().ExitStatus(), 1);
        QVERIFY2(fixture.reporter.messages.empty(), "nothing waits for an answer");
    }

    void TheCallerResultFileHasResultsWhenTheLastAnalysisFinished_data()
    {
        QTest::addColumn<int>("stateBeforeClosing");
        QTest::addColumn<bool>("results");
        QTest::newRow("analysed") << 6 << true;
        QTest::newRow("options changed since") << 4 << false;
        QTest::newRow("no image") << 2 << false;
    }

    void TheCallerResultFileHasResultsWhenTheLastAnalysisFinished()
    {
        QFETCH(int, stateBeforeClosing);
        QFETCH(bool, results);
        const TCaller caller;
        MainWindowFixture fixture(test::ShippedLanguageFile("en"),
                                  caller.Parameters("Records", "Automatic=0\n"));
        QVERIFY(fixture.Start());
        TFormMain& main = fixture.Main();
        QCOMPARE(main.ProgramControl->State(), 6);
        main.ProgramControl->SetState(TProgramState(stateBeforeClosing));
        QVERIFY(main.close());
        QVERIFY(!main.CallerStart().Interface());
        const TIniDocument written = TIniDocument::Parse(ReadFile(caller.ResultFile()));
        QCOMPARE(written.Value("General", "ProgramName"), std::optional<std::string>("Lamivex"));
        QCOMPARE(written.Value("General", "ResultCount"),
                 std::optional<std::string>(results ? "2" : "0"));
        QCOMPARE(written.HasSection("Result1"), results);
        QCOMPARE(written.HasSection("Result2"), results);
        if (results)
            QCOMPARE(written.Value("Result2", "Name"), std::optional<std::string>("Brightness"));

        // The close work runs once.
        std::filesystem::remove(caller.ResultFile());
        QVERIFY(main.close());
        QVERIFY(!std::filesystem::exists(caller.ResultFile()));
        QVERIFY(fixture.reporter.messages.empty());
    }

    void TheRobotRunSavesTheAnalysedImage()
    {
        const TCaller caller;
        MainWindowFixture fixture(test::ShippedLanguageFile("en"),
                                  caller.Parameters("Robot", "Automatic=1\nResultImage=1\n"));
        QVERIFY(fixture.Start());
        TFormMain& main = fixture.Main();
        QCOMPARE(main.ProgramControl->State(), 6);
        const TBitmap24 saved = ReadBmpFile(caller.AnalysedImage());
        const TBitmap24& shown = Part<TImageWidget>(main, "ImageAnalyse").Picture();
        QCOMPARE(saved.Width(), shown.Width());
        QCOMPARE(saved.Height(), shown.Height());
        for (const QPoint& point : {QPoint(0, 0), QPoint(3, 3), QPoint(10, 4), QPoint(16, 5)})
            QCOMPARE(saved.Pixel(point.x(), point.y()), shown.Pixel(point.x(), point.y()));
        // StoppAtEnd is true: the user goes on working.
        QVERIFY(main.isVisible());
        QVERIFY(fixture.windows->PlasmaForm->Running());
        QCOMPARE(Part<TStatusBar>(main, "StatusBarMain").PanelText(0), QString("objects.bmp"));
        QVERIFY(fixture.reporter.messages.empty());
    }

    void ARobotRunThatEndsEndsTheStartUpStep()
    {
        const TCaller caller;
        MainWindowFixture fixture(test::ShippedLanguageFile("en"),
                                  caller.Parameters("Robot", RobotThatEnds));
        QVERIFY(fixture.Start());
        TFormMain& main = fixture.Main();
        QCOMPARE(main.ProgramControl->State(), 10);
        QVERIFY(!main.isVisible());
        QVERIFY(std::filesystem::exists(caller.AnalysedImage()));
        QVERIFY(TIniDocument::Parse(ReadFile(caller.ResultFile())).HasSection("Result1"));
        // Nothing after the close: no palette, no hue handles placed on the circle.
        QVERIFY(!fixture.windows->PlasmaForm->Running());
        QCOMPARE(fixture.windows->PlasmaForm->TargetImage(), nullptr);
        QCOMPARE(main.ColourRange().HueMaxAngle(), -9999.0);
        QVERIFY(!main.ColourRange().Waiting());
        QVERIFY(fixture.reporter.messages.empty());
    }

    void OnlyTheRobotRunsAutomatically_data()
    {
        QTest::addColumn<QString>("sender");
        QTest::newRow("other sender") << "Camera";
        QTest::newRow("letter case") << "robot";
    }

    void OnlyTheRobotRunsAutomatically()
    {
        QFETCH(QString, sender);
        const TCaller caller;
        MainWindowFixture fixture(test::ShippedLanguageFile("en"),
                                  caller.Parameters(sender.toStdString(), RobotThatEnds));
        QVERIFY(fixture.Start());
        TFormMain& main = fixture.Main();
        QCOMPARE(main.ProgramControl->State(), 2);
        QVERIFY(main.isVisible());
        QVERIFY(!Part<QAction>(main, "ActionOpen").isVisible());
        QVERIFY(!std::filesystem::exists(caller.AnalysedImage()));
    }
};

QTEST_MAIN(InterfaceTest)
#include "InterfaceTest.moc"
