#include "MainWindowFixture.h"
#include "chart/Tsp_LineMarker.h"
#include "chart/Tsp_XYLine.h"
#include "chart/Tsp_XYPlot.h"
#include "imaging/JpegFile.h"
#include "settings/ProgramInfo.h"
#include "settings/SettingsAccess.h"
#include "shell/TFormLanguage.h"
#include "shell/TFormSHADlg.h"
#include "shell/TImageWidget.h"
#include "shell/TLabeledEdit.h"
#include "shell/TPanel.h"
#include "shell/TPlasmaForm.h"
#include "shell/TProgramControl.h"
#include "shell/TStatusBar.h"
#include "tools/Regionselectioncore.h"
#include "tools/TAboutBox.h"
#include "tools/TFormMeasure.h"
#include "tools/TMeasureDlgForm.h"

#include <filesystem>

#include <QAction>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>

using namespace varnolux;
using varnolux::test::AcceptNextFileDialog;
using varnolux::test::DuringNextAnalysis;
using varnolux::test::MainWindowFixture;
using varnolux::test::Part;
using varnolux::test::ReadFile;
using varnolux::test::RejectNextFileDialog;
using varnolux::test::SendMouse;
using varnolux::test::WhenModal;
using varnolux::test::WriteFile;

namespace {

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start) + "<no line end>");
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::vector<std::string> Fields(const std::string& line)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
        fields.push_back(line.substr(start, tab - start));
    fields.push_back(line.substr(start));
    return fields;
}

constexpr size_t DateTimeField = 2;

QString TabText(const TFormMain& main, const QWidget* sheet)
{
    return Part<QTabWidget>(main, "PageControlPlasma")
        .tabText(Part<QTabWidget>(main, "PageControlPlasma").indexOf(sheet));
}

// A label shows its whole text.
void CheckShowsItsText(const QLabel& label)
{
    QVERIFY2(label.width() >= label.sizeHint().width(), qPrintable(label.text()));
    QVERIFY2(label.height() >= label.sizeHint().height(), qPrintable(label.text()));
}

// Every label of the colour range and of the result fields shows its text inside its
// panel, clear of the other labels and the controls.
void CheckLabelsFit(const TFormMain& main)
{
    const QRect panel = Part<TPanel>(main, "Panel2").rect();
    std::vector<QRect> labels;
    for (const TLabeledEdit* field : {&Part<TLabeledEdit>(main, "LabeledEditAnaArea"),
                                      &Part<TLabeledEdit>(main, "LabeledEditAnaAreaCM"),
                                      &Part<TLabeledEdit>(main, "LabeledEditAreaPixel"),
                                      &Part<TLabeledEdit>(main, "LabeledEditAreaCM"),
                                      &Part<TLabeledEdit>(main, "LabeledEditMeanSize"),
                                      &Part<TLabeledEdit>(main, "LabeledEditMeanSizeCM"),
                                      &Part<TLabeledEdit>(main, "LabeledEditCount"),
                                      &Part<TLabeledEdit>(main, "LabeledEditPercent"),
                                      &Part<TLabeledEdit>(main, "LabeledEditMeasure")}) {
        const QLabel& label = *field->EditLabel();
        CheckShowsItsText(label);
        QVERIFY2(panel.contains(label.geometry()), qPrintable(label.text()));
        QVERIFY2(panel.contains(field->geometry()), qPrintable(label.text()));
        for (const QRect& other : labels)
            QVERIFY2(!other.intersects(label.geometry()), qPrintable(label.text()));
        labels.push_back(label.geometry());
    }
    for (const char* name : {"LabelHue", "LabelSaturation", "LabelBrightness"}) {
        const QLabel& label = *Part<TPanel>(main, "Panel1").findChild<QLabel*>(name);
        CheckShowsItsText(label);
        QVERIFY2(label.geometry().right() < main.findChild<QSlider*>("TrackBarHMin")->x(), name);
    }
}

const char* OptionsText =
    "[FormMain]\n"
    "LabeledEditHMin=0\nLabeledEditHMax=10\nLabeledEditSMin=100\n"
    "LabeledEditSMax=255\nLabeledEditVMin=0\nLabeledEditVMax=255\n"
    "FormMainLeft=30\nFormMainTop=40\nFormMainWidth=1100\nFormMainHeight=700\n"
    "[FormOptions]\nEditMinRegion=0.5\nColorBack=255\nlUseExclRect=1\n"
    "iExclRectLeft=20\niExclRectRight=20\n"
    "[FormMeasure]\nlCheckBoxUnits=1\nComboBoxUnits=2\nEditMeasure=10.00\n";

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void init() { fixture = std::make_unique<MainWindowFixture>(); }
    void cleanup() { fixture.reset(); }

    void StartsWithoutAnImage()
    {
        QVERIFY(fixture->Start());
        TFormMain& main = fixture->Main();
        QCOMPARE(main.ProgramControl->State(), 2);
        QCOMPARE(main.windowTitle(),
                 QString("Varnolux Demo ") + QString::fromStdString(ProgramVersionText()));
        QCOMPARE(main.pos(), QPoint(0, 0));
        QCOMPARE(main.size(), QSize(1024, 750));
        QCOMPARE(fixture->RangeEdit(HMax).text(), QString("255"));
        QCOMPARE(Part<QTabWidget>(main, "PageControlPlasma").currentWidget(),
                 &Part<QWidget>(main, "TabSheetH"));
        QVERIFY(fixture->windows->PlasmaForm->Running());
        QCOMPARE(fixture->windows->PlasmaForm->TargetImage(),
                 &Part<TImageWidget>(main, "ImagePlasma"));
        QVERIFY(fixture->reporter.messages.empty());
        // Every component the language file will look for carries its name.
        for (const char* name :
             {"TrackBarHMin", "LabeledEditVMax", "ImageAnalyse", "PanelTopLeft", "StatusBarMain",
              "sp_XYPlot", "sp_XYLineV", "sp_LineMarkerSMax", "LabeledEditMeanSizeCM",
              "PageControlPlasma", "TabSheetChart", "ImageColorCircle", "StatusProgressBar"})
            QVERIFY2(main.findChild<QObject*>(name), name);
        QVERIFY(main.findChild<QAction*>("ActionSaveOptionsAsDefault"));
    }

    void TheProgramWindowsInCreationOrder()
    {
        QStringList names;
        for (const QWidget* window : fixture->windows->InCreationOrder())
            names.append(window->objectName());
        QCOMPARE(names, QStringList({"FormMain", "AboutBox", "MeasureDlgForm", "FormMeasure",
                                     "FormOptions", "PlasmaForm", "FormSelectionByMouse",
                                     "FormLanguage", "FormSHADlg", "FormVerify"}));
        QCOMPARE(fixture->windows->InCreationOrder()[7], fixture->windows->FormLanguage.get());
    }

    void TheProgramStartsInGerman()
    {
        // One program's windows at a time: each installs its reporters.
        fixture.reset();
        fixture = std::make_unique<MainWindowFixture>(test::ShippedLanguageFile("de"));
        WriteFile(fixture->Main().OptionsFiles().DefaultFile(), OptionsText);
        QVERIFY(fixture->Start());
        TFormMain& main = fixture->Main();
        QCOMPARE(main.windowTitle(),
                 QString("Varnolux Demo ") + QString::fromStdString(ProgramVersionText()));
        QCOMPARE(Part<QAction>(main, "ActionOpen").text(), QString("&Öffnen"));
        QCOMPARE(Part<QAction>(main, "ActionOpen").toolTip(),
                 QString("Ein Bild zur Analyse öffnen"));
        QCOMPARE(main.findChild<QMenu*>("MenuFile")->title(), QString("&Datei"));
        QCOMPARE(main.findChild<QLabel*>("LabelSaturation")->text(), QString("Sättigung"));
        QCOMPARE(TabText(main, &Part<QWidget>(main, "TabSheetChart")), QString("Diagramm"));
        QCOMPARE(Part<TLabeledEdit>(main, "LabeledEditCount").EditLabelCaption(),
                 QString("Objektanzahl"));
        // The unit captions begin with the language file's texts.
        QCOMPARE(Part<TLabeledEdit>(main, "LabeledEditAreaCM").EditLabelCaption(),
                 QString("Objektfläche [mm²]"));
        QCOMPARE(Part<TLabeledEdit>(main, "LabeledEditMeasure").EditLabelCaption(),
                 QString("Maßstab [pixel/mm]"));
        CheckLabelsFit(main);

        TFormOptions& options = fixture->Options();
        QCOMPARE(options.windowTitle(), QString("Optionen"));
        QCOMPARE(options.findChild<QGroupBox*>("GroupBoxSave")->title(), QString("Ergebnisdatei"));
        QCOMPARE(Part<QLabel>(options, "LabelMinSize").text(),
                 QString("Minimale Objektgröße [mm²]"));
        QCOMPARE(Part<QPushButton>(options, "BitBtnCancel").text(), QString("Abbrechen"));
        const TFormMeasure& measure = *fixture->windows->FormMeasure;
        QCOMPARE(Part<QPlainTextEdit>(measure, "MemoMeasure").toPlainText().split('\n').size(), 4);
        QCOMPARE(fixture->windows->FormLanguage->windowTitle(), QString("Sprache"));
        TAboutBox& about = *fixture->windows->AboutBox;
        about.show();
        QCOMPARE(Part<QLabel>(about, "LabelVersion").text(), QString("Version"));
        QVERIFY(Part<QLabel>(about, "LabelBuild").x() >=
                Part<QLabel>(about, "LabelVersion").x() +
                    Part<QLabel>(about, "LabelVersion").sizeHint().width());
        about.hide();

        // Messages of the window and of the engine.
        QVERIFY(fixture->OpenObjects());
        QString measureTitle;
        test::WhenModal<TFormMeasure>([&measureTitle](TFormMeasure& window) {
            measureTitle = window.windowTitle();
            window.reject();
        });
        Part<QAction>(main, "ActionMeasure").trigger();
        QCOMPARE(measureTitle, QString("Maßstab"));
        QCOMPARE(Part<QGroupBox>(*fixture->windows->MeasureDlgForm, "GroupBox1").title(),
                 QString("Länge der markierten Strecke"));
        QString regionTitle;
        test::WhenModal<TFormRegionSelection>([&regionTitle](TFormRegionSelection& window) {
            regionTitle = window.windowTitle();
            window.reject();
        });
        // Both tools refuse to open while the program is busy.
        QVERIFY(fixture->WaitIdle());
        Part<QAction>(main, "ActionRegionSelect").trigger();
        QCOMPARE(regionTitle, QString("Analysebereich"));
        fixture->Open(fixture->folder.File("missing.bmp"));
        QCOMPARE(fixture->reporter.messages,
                 (std::vector<std::string>{"Datei " + fixture->folder.File("missing.bmp") +
                                           " nicht gefunden."}));
    }

    void TheResultLabelsFitTheirPanel()
    {
        WriteFile(fixture->Main().OptionsFiles().DefaultFile(), OptionsText);
        QVERIFY(fixture->Start());
        TFormMain& main = fixture->Main();
        QCOMPARE(Part<TLabeledEdit>(main, "LabeledEditAnaAreaCM").EditLabelCaption(),
                 QString("Analysis area [mm²]"));
        CheckLabelsFit(main);
        // The layout's places where the texts are short.
        QCOMPARE(Part<TLabeledEdit>(main, "LabeledEditAnaArea").x(), 10);
        Part<QCheckBox>(*fixture->windows->FormMeasure, "CheckBoxUnits").setChecked(false);
        fixture->windows->FormMeasure->SetUnitCaptions(false);
        QCOMPARE(Part<TLabeledEdit>(main, "LabeledEditAreaCM").EditLabelCaption(),
                 QString("Object area []"));
        QCOMPARE(Part<TLabeledEdit>(main, "LabeledEditAnaAreaCM").x(), 130);
        QCOMPARE(Part<TPanel>(main, "Panel2").width(), 235);
        CheckLabelsFit(main);
    }

    void WithoutALanguageFileTheLayoutTextsStay()
    {
        fixture.reset();
        fixture = std::make_unique<MainWindowFixture>(std::string());
        QVERIFY(fixture->Start());
        TFormMain& main = fixture->Main();
        QCOMPARE(fixture->reporter.messages,
                 std::vector<std::string>{"Sprachdatei fehlt.\nNo language file.\n\n[" +
                                          fixture->Folder() + "VXLang.ini]"});
        QCOMPARE(Part<QAction>(main, "ActionOpen").text(), QString("&Open"));
        QCOMPARE(fixture->windows->FormLanguage->MessageText("NoFloat"),
                 std::string("Keine gültige Gleitkommazahl"));
        QCOMPARE(Part<TLabeledEdit>(main, "LabeledEditAreaCM").EditLabelCaption(),
                 QString("Object area []"));
        CheckLabelsFit(main);
    }

    void ImagePanelsShareTheWidth()
    {
        QVERIFY(fixture->Start());
        TFormMain& main = fixture->Main();
        Part<TPanel>(main, "PanelTop").resize(800, 400);
        QCOMPARE(Part<TPanel>(main, "PanelTopLeft").width(), 394);
        QCOMPARE(Part<TPanel>(main, "PanelTopRight").width(), 394);
        QCOMPARE(Part<TPanel>(main, "PanelTopRight").x(), 406);
    }

    void StartUpLoadsTheStoredOptionsAndPosition()
    {
        WriteFile(fixture->Main().OptionsFiles().DefaultFile(), OptionsText);
        QVERIFY(fixture->Start());
        TFormMain& main = fixture->Main();
        QCOMPARE(fixture->Bar(HMax).value(), 10);
        QCOMPARE(Part<QLineEdit>(fixture->Options(), "EditMinRegion").text(), QString("0.5"));
        QVERIFY(Part<QCheckBox>(*fixture->windows->FormMeasure, "CheckBoxUnits").isChecked());
        QCOMPARE(Part<TLabeledEdit>(main, "LabeledEditMeasure").text(), QString("10.00"));
        QCOMPARE(Part<TLabeledEdit>(main, "LabeledEditAreaCM").EditLabelCaption(),
                 QString("Object area [mm²]"));
        QCOMPARE(main.pos(), QPoint(30, 40));
        QCOMPARE(main.size(), QSize(1100, 700));
        QCOMPARE(Part<TStatusBar>(main, "StatusBarMain").PanelText(TFormMain::StatusPanelOptions),
                 QString("- DEFAULT OPTIONS -"));
        QVERIFY(!main.OptionsFiles().Changed());
        QCOMPARE(TColour(main.CurrentOptions().ColorBack), TColour(255));
        // Opening the options dialog no longer replaces the stored options.
        const std::string before = TOptions::Load(main.OptionsFiles().DefaultFile()).EditMinRegion;
        WhenModal<TFormOptions>([](TFormOptions& dialog) { dialog.reject(); });
        main.ProgramControl->SetState(StateImageLoaded);
        Part<QAction>(main, "ActionOptions").trigger();
        QCOMPARE(TOptions::Load(main.OptionsFiles().DefaultFile()).EditMinRegion, before);
    }

    void AWindowPositionAloneIsNoSetOfOptions()
    {
        WriteFile(
            fixture->Main().OptionsFiles().DefaultFile(),
            "[FormMain]\nFormMainLeft=5\nFormMainTop=6\nFormMainWidth=800\nFormMainHeight=600\n");
        QVERIFY(fixture->Start());
        QCOMPARE(fixture->Main().pos(), QPoint(5, 6));
        QCOMPARE(Part<QLineEdit>(fixture->Options(), "EditMinRegion").text(), QString("10.0"));
        QCOMPARE(fixture->Bar(HMax).value(), 255);
        QVERIFY(fixture->reporter.messages.empty());
    }

    void OpenAnalyseAndSaveTheResult()
    {
        const std::string optionsFile = fixture->folder.File("red.ini");
        WriteFile(optionsFile, OptionsText);
        QVERIFY(fixture->Start());
        TFormMain& main = fixture->Main();
        QVERIFY(main.OptionsFiles().Load(optionsFile));
        const std::string image = fixture->WriteObjectsImage();
        fixture->Open(image);
        QCOMPARE(main.ProgramControl->State(), 6);
        QCOMPARE(Part<TStatusBar>(main, "StatusBarMain").PanelText(0), QString("objects.bmp"));
        QCOMPARE(Part<TStatusBar>(main, "StatusBarMain").PanelText(3), QString("200 x 80"));
        QVERIFY(!Part<TLabeledEdit>(main, "LabeledEditCount").text().isEmpty());

        const std::string resultFile = fixture->folder.File("results.txt");
        Part<QLineEdit>(fixture->Options(), "EditResultFile")
            .setText(QString::fromStdString(resultFile));
        Part<QAction>(main, "ActionSaveResult").trigger();
        Part<QAction>(main, "ActionSaveResult").trigger();
        const std::vector<std::string> lines = Lines(ReadFile(resultFile));
        QCOMPARE(lines.size(), size_t(3));
        QCOMPARE(lines[0], main.ShownResult().Items.HeaderLine());
        QCOMPARE(lines[1], lines[2]);

        // The line the batch command prints for the same image and options.
        TAnalysis engine;
        TAnalysisSettings settings;
        ApplyOptions(settings, TOptions::Load(optionsFile));
        QVERIFY(engine.LoadImage(image).Loaded);
        const TAnalysisResult result = engine.Run(settings);
        QVERIFY(result.Complete);
        std::vector<std::string> expected = Fields(result.Items.ValueLine());
        std::vector<std::string> saved = Fields(lines[1]);
        QCOMPARE(saved.size(), size_t(23));
        expected[DateTimeField] = saved[DateTimeField] = {};
        QCOMPARE(saved, expected);
        QCOMPARE(Part<TLabeledEdit>(main, "LabeledEditAreaCM").text().toStdString(),
                 result.Fields.AreaCM);
        QVERIFY(fixture->reporter.messages.empty());
    }

    void SavingAResultNeedsAFileName()
    {
        QVERIFY(fixture->Start());
        QVERIFY(fixture->OpenObjects());
        Part<QLineEdit>(fixture->Options(), "EditResultFile").clear();
        Part<QAction>(fixture->Main(), "ActionSaveResult").trigger();
        QCOMPARE(fixture->reporter.messages,
                 std::vector<std::string>{
                     "Please define a result file in the options before saving a result."});
    }

    void AMissingResultFolderIsCreatedOnlyAfterYes_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::newRow("yes") << true;
        QTest::newRow("no") << false;
    }

    void AMissingResultFolderIsCreatedOnlyAfterYes()
    {
        QFETCH(bool, yes);
        QVERIFY(fixture->Start());
        QVERIFY(fixture->OpenObjects());
        const std::string folder = fixture->folder.File("a/b") + "/";
        const std::string resultFile = folder + "results.txt";
        Part<QLineEdit>(fixture->Options(), "EditResultFile")
            .setText(QString::fromStdString(resultFile));
        fixture->questions.yesNoAnswer = yes;
        Part<QAction>(fixture->Main(), "ActionSaveResult").trigger();
        QVERIFY(fixture->reporter.messages.empty());
        QCOMPARE(fixture->questions.asked,
                 std::vector<std::string>{"Error saving the result file: the folder \"" + folder +
                                          "\" does not exist. Should it be created?"});
        QCOMPARE(std::filesystem::exists(resultFile), yes);
        if (yes)
            QCOMPARE(Lines(ReadFile(resultFile)).size(), size_t(2));
    }

    void AResultThatCannotBeWrittenIsReported()
    {
        QVERIFY(fixture->Start());
        QVERIFY(fixture->OpenObjects());
        // A folder where the file should be: no user may write it as a file.
        const std::string resultFile = fixture->folder.File("taken");
        std::filesystem::create_directory(resultFile);
        Part<QLineEdit>(fixture->Options(), "EditResultFile")
            .setText(QString::fromStdString(resultFile));
        Part<QAction>(fixture->Main(), "ActionSaveResult").trigger();
        QCOMPARE(fixture->reporter.messages.size(), size_t(1));
        QVERIFY(fixture->reporter.messages[0].find("could not be saved to " + resultFile) !=
                std::string::npos);
        // The message says what failed.
        QVERIFY2(fixture->reporter.messages[0].ends_with("\nIs a directory"),
                 fixture->reporter.messages[0].c_str());
    }

    void AFailedOpenLeavesNothingToSave()
    {
        QVERIFY(fixture->Start());
        TFormMain& main = fixture->Main();
        QVERIFY(fixture->OpenObjects());
        fixture->Open(fixture->folder.File("missing.bmp"));
        QCOMPARE(main.ProgramControl->State(), 2);
        QCOMPARE(fixture->reporter.messages,
                 std::vector<std::string>{"File " + fixture->folder.File("missing.bmp") +
                                          " not found."});
        // The table holds only an empty path and name, and cannot be saved.
        QCOMPARE(main.ShownResult().Items.Count(), 2);
        QVERIFY(!Part<QAction>(main, "ActionSaveResult").isEnabled());
        QVERIFY(Part<TImageWidget>(main, "ImageOriginal").Picture().IsEmpty());
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);
    }

    void ACancelledOpenLeavesNoImage()
    {
        QVERIFY(fixture->Start());
        TFormMain& main = fixture->Main();
        QVERIFY(fixture->OpenObjects());
        RejectNextFileDialog();
        Part<QAction>(main, "ActionOpen").trigger();
        QCOMPARE(main.ProgramControl->State(), 2);
        QVERIFY(Part<QAction>(main, "ActionSaveResult").isEnabled());
        QVERIFY(!Part<QAction>(main, "ActionProcess").isEnabled());
        QCOMPARE(Part<TStatusBar>(main, "StatusBarMain").PanelText(0), QString());
    }

    void OpenThroughTheDialog()
    {
        QVERIFY(fixture->Start());
        TFormMain& main = fixture->Main();
        QSignalSpy analyses(&main, &TFormMain::AnalysisFinished);
        AcceptNextFileDialog(fixture->WriteObjectsImage());
        Part<QAction>(main, "ActionOpen").trigger();
        QVERIFY(fixture->WaitIdle());
        QCOMPARE(analyses.count(), 1);
        QCOMPARE(main.ProgramControl->State(), 6);
        QVERIFY(!Part<TImageWidget>(main, "ImageAnalyse").Picture().IsEmpty());
        QCOMPARE(Part<TImageWidget>(main, "ImageH").GreyPicture().Width(), 200);
    }

    void TheChosenFilterDecidesTheImageFormat_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("signature");
        QTest::newRow("JPEG named .bmp") << "JPEG (*.jpg)"
                                         << "analysed.bmp" << QByteArray("\xff\xd8");
        QTest::newRow("bitmap named .jpg") << "Bitmap (*.bmp)"
                                           << "analysed.jpg" << QByteArray("BM");
    }

    void TheChosenFilterDecidesTheImageFormat()
    {
        QFETCH(QString, filter);
        QFETCH(QString, name);
        QFETCH(QByteArray, signature);
        QVERIFY(fixture->Start());
        QVERIFY(fixture->OpenObjects());
        const std::string fileName = fixture->folder.File(name.toStdString());
        AcceptNextFileDialog(fileName, filter);
        Part<QAction>(fixture->Main(), "ActionSaveImage").trigger();
        const std::string bytes = ReadFile(fileName);
        QVERIFY(bytes.starts_with(signature.toStdString()));
        const TBitmap24& picture = Part<TImageWidget>(fixture->Main(), "ImageAnalyse").Picture();
        const TBitmap24 read = signature == "BM" ? ReadBmpFile(fileName) : ReadJpegFile(fileName);
        QCOMPARE(read.Width(), picture.Width());
        QVERIFY(fixture->reporter.messages.empty());
    }

    void AnImageThatCannotBeSavedIsReported()
    {
        QVERIFY(fixture->Start());
        QVERIFY(fixture->OpenObjects());
        // No file can be made there, whoever runs the test.
        const std::string fileName = "/proc/varnolux-analysed.bmp";
        AcceptNextFileDialog(fileName, "Bitmap (*.bmp)");
        Part<QAction>(fixture->Main(), "ActionSaveImage").trigger();
        QCOMPARE(fixture->reporter.messages.size(), size_t(1));
        QVERIFY(fixture->reporter.messages[0].find("could not be saved to " + fileName) !=
                std::string::npos);
    }

    void TheChartShowsTheCurvesAndTheRange()
    {
        QVERIFY(fixture->Start());
        TFormMain& main = fixture->Main();
        QVERIFY(fixture->OpenObjects());
        QCOMPARE(Part<Tsp_XYPlot>(main, "sp_XYPlot").LeftAxis().Max(), 1.1);
        static constexpr std::array<const char*, 3> lines = {"sp_XYLineH", "sp_XYLineS",
                                                             "sp_XYLineV"};
        for (size_t channel = 0; channel < lines.size(); ++channel) {
            const Tsp_XYLine& line = Part<Tsp_XYLine>(main, lines[channel]);
            QCOMPARE(line.Count(), 256);
            for (int k : {0, 100, 255})
                QCOMPARE(line.GetY(k), main.ShownResult().Curves[channel][static_cast<size_t>(k)]);
        }
        fixture->Bar(SMin).setValue(77);
        QCOMPARE(fixture->Find<Tsp_LineMarker>("sp_LineMarkerSMin")->Position(), 77.0);
    }

    void DraggingARubberBandZoomsAndAClickUnzooms()
    {
        QVERIFY(fixture->Start());
        TFormMain& main = fixture->Main();
        QVERIFY(fixture->OpenObjects());
        Part<QTabWidget>(main, "PageControlPlasma")
            .setCurrentWidget(&Part<QWidget>(main, "TabSheetChart"));
        Tsp_XYPlot& plot = Part<Tsp_XYPlot>(main, "sp_XYPlot");
        QVERIFY(plot.grab().width() > 0);
        const Tsp_Rect field = plot.Field();
        const QPoint from(field.Left + 10, field.Top + 10);
        const QPoint to(field.Left + field.Width() / 2, field.Bottom - 10);
        const QPoint origin = plot.pos();
        SendMouse(plot, QEvent::MouseButtonPress, origin + from);
        SendMouse(plot, QEvent::MouseMove, origin + (from + to) / 2);
        SendMouse(plot, QEvent::MouseMove, origin + to);
        SendMouse(plot, QEvent::MouseButtonRelease, origin + to);
        QVERIFY(plot.BottomAxis().Max() < 200);
        QVERIFY(plot.LeftAxis().Max() < 1.1);
        SendMouse(plot, QEvent::MouseButtonPress, origin + from);
        SendMouse(plot, QEvent::MouseButtonRelease, origin + from);
        QCOMPARE(plot.BottomAxis().Max(), 256.0);
        QCOMPARE(plot.LeftAxis().Max(), 1.1);
    }

    void ClosingIsRefusedWhileAnAnalysisRuns()
    {
        QVERIFY(fixture->Start());
        TFormMain& main = fixture->Main();
        QVERIFY(fixture->OpenObjects(20));
        QSignalSpy analyses(&main, &TFormMain::AnalysisFinished);
        bool closed = true;
        bool openEnabled = true;
        DuringNextAnalysis(main, [&] {
            closed = main.close();
            openEnabled = Part<QAction>(main, "ActionOpen").isEnabled();
            // Nothing started from here may run a second analysis inside this one.
            Part<QAction>(main, "ActionProcess").trigger();
            main.OpenImage(fixture->WriteImage(test::Picture(test::ObjectRows), "other.bmp"));
            QCOMPARE(main.RunAnalysis(), false);
        });
        Part<QAction>(main, "ActionProcess").trigger();
        QVERIFY(fixture->WaitIdle());
        QVERIFY(!closed);
        QVERIFY(!openEnabled);
        QCOMPARE(analyses.count(), 1);
        QCOMPARE(main.ProgramControl->State(), 6);
        QVERIFY(main.isVisible());
        QCOMPARE(std::as_const(Part<TImageWidget>(main, "ImageOriginal")).Picture().Width(), 400);
    }

    void ClosingWritesThePositionOnce()
    {
        QVERIFY(fixture->Start());
        TFormMain& main = fixture->Main();
        main.move(12, 34);
        QVERIFY(main.close());
        const std::string file = main.OptionsFiles().DefaultFile();
        QCOMPARE(ReadConfigInteger(file, "FormMain", "FormMainLeft", -1), 12);
        QCOMPARE(ReadConfigInteger(file, "FormMain", "FormMainHeight", -1), 750);
        QCOMPARE(main.ProgramControl->State(), 10);
        std::filesystem::remove(file);
        QVERIFY(main.close());
        QVERIFY(!std::filesystem::exists(file));
    }

    void TheFingerprintDialogShowsTheLastRun()
    {
        QVERIFY(fixture->Start());
        TFormMain& main = fixture->Main();
        QVERIFY(fixture->OpenObjects());
        std::string shown;
        WhenModal<TFormSHADlg>([&shown](TFormSHADlg& dialog) {
            shown = Part<QLineEdit>(dialog, "EditSHAResult").text().toStdString();
            QVERIFY(Part<QLineEdit>(dialog, "EditSHAFile").isReadOnly());
            dialog.accept();
        });
        Part<QAction>(main, "ActionShowSHA").trigger();
        QCOMPARE(shown, main.ShownResult().Items.GetValueText("SHAResult"));
        QCOMPARE(shown.size(), size_t(64));
    }

    void TheLowerPanelFitsDownToTheSmallestWindow_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QSize>("size");
        for (const char* language : {"en", "de"}) {
            QTest::addRow("%s, smallest", language) << language << QSize(0, 0);
            QTest::addRow("%s, 880 x 620", language) << language << QSize(880, 620);
            QTest::addRow("%s, 1024 x 750", language) << language << QSize(1024, 750);
        }
    }

    void TheLowerPanelFitsDownToTheSmallestWindow()
    {
        QFETCH(QString, language);
        QFETCH(QSize, size);
        fixture.reset();
        fixture =
            std::make_unique<MainWindowFixture>(test::ShippedLanguageFile(language.toStdString()));
        // Units on: the longest labels of the result fields.
        WriteFile(fixture->Main().OptionsFiles().DefaultFile(), OptionsText);
        QVERIFY(fixture->Start());
        TFormMain& main = fixture->Main();
        QVERIFY(main.minimumWidth() >= 740);
        QCOMPARE(main.minimumHeight(), 536);
        main.resize(size.expandedTo(main.minimumSize()));
        QTRY_COMPARE(main.size(), size.expandedTo(main.minimumSize()));
        QTRY_COMPARE(fixture->Find<QWidget>("PanelBottomLeft")->width(), main.width());
        QVERIFY(fixture->OpenObjects());

        // The visible controls of the lower panel: none cut off, none over another.
        const auto* bottom = fixture->Find<QWidget>("PanelBottom");
        const QRect bottomArea(bottom->mapTo(&main, QPoint(0, 0)), bottom->size());
        std::vector<std::pair<QString, QRect>> placed;
        for (const char* panelName : {"PanelColorCircle", "Panel1", "Panel2", "PanelImagePlasma"}) {
            const auto* panel = fixture->Find<QWidget>(panelName);
            const QRect panelArea(panel->mapTo(&main, QPoint(0, 0)), panel->size());
            QVERIFY2(bottomArea.contains(panelArea), panelName);
            for (const QWidget* control :
                 panel->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
                if (!control->isVisible())
                    continue;
                const QString name = control->objectName().isEmpty()
                                         ? QString(control->metaObject()->className())
                                         : control->objectName();
                const QRect area(control->mapTo(&main, QPoint(0, 0)), control->size());
                QVERIFY2(panelArea.contains(area), qPrintable(name + " leaves " + panelName));
                if (const auto* label = qobject_cast<const QLabel*>(control))
                    QVERIFY2(label->width() >= label->sizeHint().width(), qPrintable(name));
                // The hue handles sit on the colour circle.
                if (name.startsWith("Hue"))
                    continue;
                for (const auto& [otherName, otherArea] : placed)
                    QVERIFY2(!area.intersects(otherArea), qPrintable(name + " over " + otherName));
                placed.emplace_back(name, area);
            }
        }
        QVERIFY(placed.size() > 30);
        const QTabBar& tabs = *Part<QTabWidget>(main, "PageControlPlasma").tabBar();
        for (int tab = 0; tab < tabs.count(); ++tab) {
            QVERIFY2(tabs.rect().contains(tabs.tabRect(tab)), qPrintable(tabs.tabText(tab)));
            QVERIFY2(tabs.tabRect(tab).width() >=
                         tabs.fontMetrics().horizontalAdvance(tabs.tabText(tab)),
                     qPrintable(tabs.tabText(tab)));
        }
    }

    void TheFingerprintsShowWhole()
    {
        QVERIFY(fixture->Start());
        QVERIFY(fixture->OpenObjects());
        int shownWhole = 0;
        WhenModal<TFormSHADlg>([&shownWhole](TFormSHADlg& dialog) {
            for (QLineEdit* edit : {&Part<QLineEdit>(dialog, "EditSHAFile"),
                                    &Part<QLineEdit>(dialog, "EditSHAOptions"),
                                    &Part<QLineEdit>(dialog, "EditSHAResult")}) {
                // With the cursor at the end the start stays in view only when all fits.
                edit->setCursorPosition(0);
                const int start =
                    edit->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x();
                edit->setCursorPosition(int(edit->text().size()));
                const int end = edit->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x();
                if (end - start == edit->fontMetrics().horizontalAdvance(edit->text()))
                    ++shownWhole;
                edit->selectAll();
                if (edit->selectedText() != edit->text() || edit->text().size() != 64)
                    shownWhole = -100;
            }
            dialog.accept();
        });
        Part<QAction>(fixture->Main(), "ActionShowSHA").trigger();
        QCOMPARE(shownWhole, 3);
    }

    void QtsOwnDialogsSpeakTheProgramsLanguage_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("cancel");
        QTest::addColumn<QString>("filter");
        QTest::newRow("German") << "de"
                                << "&Abbrechen"
                                << "Optionsdatei (*.ini)";
        QTest::newRow("English again") << "en"
                                       << "&Cancel"
                                       << "Option file (*.ini)";
    }

    void QtsOwnDialogsSpeakTheProgramsLanguage()
    {
        QFETCH(QString, language);
        QFETCH(QString, cancel);
        QFETCH(QString, filter);
        fixture.reset();
        fixture =
            std::make_unique<MainWindowFixture>(test::ShippedLanguageFile(language.toStdString()));
        QVERIFY(fixture->Start());
        QString shown;
        QStringList filters;
        WhenModal<QFileDialog>([&](QFileDialog& dialog) {
            const auto* buttons = dialog.findChild<QDialogButtonBox*>();
            shown = buttons->button(QDialogButtonBox::Cancel)->text();
            filters = dialog.nameFilters();
            dialog.reject();
        });
        fixture->Action("ActionLoadOptions").trigger();
        QCOMPARE(QString(shown).remove('&'), QString(cancel).remove('&'));
        QCOMPARE(filters, QStringList{filter});
    }

    void FieldNamesInMessagesComeFromTheLanguageFile()
    {
        fixture.reset();
        fixture = std::make_unique<MainWindowFixture>(test::ShippedLanguageFile("de"));
        QVERIFY(fixture->Start());
        fixture->Find<QLineEdit>("LabeledEditSMax")->setText("2.5");
        QCOMPARE(fixture->reporter.messages,
                 std::vector<std::string>{"Ungültiger Wert Sättigung Max - der Wert wird durch "
                                          "die Position des Schiebereglers ersetzt"});
    }

    void AMissingManualIsReported()
    {
        QVERIFY(fixture->Start());
        Part<QAction>(fixture->Main(), "ActionManual").trigger();
        QCOMPARE(fixture->reporter.messages.size(), size_t(1));
        QVERIFY(fixture->reporter.messages[0].find("manual.pdf") != std::string::npos);
    }

private:
    std::unique_ptr<MainWindowFixture> fixture;
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
