#include "MainWindowFixture.h"
#include "settings/SettingsAccess.h"
#include "shell/FormState.h"
#include "shell/TLabeledEdit.h"
#include "shell/TProgramControl.h"
#include "shell/TStatusBar.h"
#include "tools/TFormMeasure.h"

#include <filesystem>
#include <sys/stat.h>

#include <QAction>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

using namespace varnolux;
using varnolux::test::AcceptNextFileDialog;
using varnolux::test::ChangeOptions;
using varnolux::test::MainWindowFixture;
using varnolux::test::Part;
using varnolux::test::ReadFile;
using varnolux::test::TempFolder;
using varnolux::test::WhenModal;
using varnolux::test::WriteFile;

namespace {

/// The keys of one section, in file order.
std::vector<std::string> KeysOf(const std::string& text, const std::string& section)
{
    std::vector<std::string> keys;
    bool inSection = false;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.starts_with("["))
            inSection = line == "[" + section + "]";
        else if (inSection && line.find('=') != std::string::npos)
            keys.push_back(line.substr(0, line.find('=')));
        start = end + 1;
    }
    return keys;
}

} // namespace

class OptionsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void init()
    {
        fixture = std::make_unique<MainWindowFixture>();
        QVERIFY(fixture->Start());
    }
    void cleanup() { fixture.reset(); }

    void TheWindowsPartsOfTheOptionsComeBackUnchanged()
    {
        TOptions in = TOptions::Initial();
        in.iInclCircleX = 11;
        in.iInclCircleY = -12;
        in.iInclCircleDiam = 13;
        in.iExclRectLeft = 1;
        in.iExclRectUp = 2;
        in.iExclRectRight = 3;
        in.iExclRectDown = 4;
        in.colColorInclCircle = 0x123456;
        in.colColorExclRect = 0x654321;
        in.lUseInclCircle = true;
        in.ColorBack = 0x00ff00;
        in.EditMinRegion = "0,5";
        in.EditResultFile = "/lab/results.txt";
        in.EditRegionFile = "/lab/regions.txt";
        in.lCheckBoxUnits = true;
        in.ComboBoxUnits = 2;
        in.ComboBoxZoom = 5;
        in.EditMeasure = "12.5";
        TFormOptions dialog(fixture->folder.File("settings.ini"));
        TFormMeasure calibration;
        dialog.ReadFrom(in);
        calibration.ReadFrom(in);
        TOptions out;
        out.rangeTexts = in.rangeTexts;
        dialog.WriteTo(out);
        calibration.WriteTo(out);
        QVERIFY(out == in);
        QCOMPARE(calibration.UnitText(), std::string("mm"));
    }

    void OkChangesTheDialogsOptionsAndCancelDoesNot()
    {
        TFormOptions dialog(fixture->folder.File("settings.ini"));
        TOptions before = TOptions::Initial();
        before.EditRegionFile = "regions.txt";
        dialog.ReadFrom(before);
        const auto edit = [&dialog] {
            dialog.show();
            Part<QLineEdit>(dialog, "EditMinRegion").setText("3");
            Part<QLineEdit>(dialog, "EditResultFile").setText("other.txt");
            Part<QLineEdit>(dialog, "EditRegionFile").clear();
            dialog.SetColorBack(MakeColour(1, 2, 3));
        };
        edit();
        Part<QPushButton>(dialog, "BitBtnCancel").click();
        // Everything else comes from before: the dialog's part alone is compared.
        TOptions afterCancel = TOptions::Initial();
        dialog.WriteTo(afterCancel);
        QVERIFY(afterCancel == before);
        edit();
        Part<QPushButton>(dialog, "BitBtnOk").click();
        QVERIFY(!dialog.isVisible());
        TOptions afterOk;
        dialog.WriteTo(afterOk);
        QCOMPARE(afterOk.EditMinRegion, std::string("3"));
        QCOMPARE(afterOk.EditResultFile, std::string("other.txt"));
        QCOMPARE(afterOk.EditRegionFile, std::string());
        QCOMPARE(TColour(afterOk.ColorBack), MakeColour(1, 2, 3));
    }

    void CancelPutsTheDialogsValuesBack()
    {
        TFormMain& main = fixture->Main();
        QVERIFY(fixture->OpenObjects());
        TFormOptions& options = fixture->Options();
        Part<QLineEdit>(options, "EditResultFile").setText("before.txt");
        Part<QLineEdit>(options, "EditRegionFile").setText("regions.txt");
        const TColour colourBefore = options.ColorBack();
        const TColour surfaceBefore = TColour(main.CurrentOptions().ColorBack);
        TColour surfaceWhileOpen = 0;
        WhenModal<TFormOptions>([&](TFormOptions& dialog) {
            Part<QLineEdit>(dialog, "EditMinRegion").setText("5");
            Part<QLineEdit>(dialog, "EditResultFile").setText("other.txt");
            Part<QLineEdit>(dialog, "EditRegionFile").setText("typed.txt");
            WhenModal<QColorDialog>([](QColorDialog& colours) {
                colours.setCurrentColor(QColor(0, 255, 0));
                colours.accept();
            });
            Part<QPushButton>(dialog, "ButtonColorBack").click();
            surfaceWhileOpen = TColour(main.CurrentOptions().ColorBack);
            Part<QPushButton>(dialog, "BitBtnCancel").click();
        });
        QSignalSpy analyses(&main, &TFormMain::AnalysisFinished);
        Part<QAction>(main, "ActionOptions").trigger();
        QCOMPARE(surfaceWhileOpen, MakeColour(0, 255, 0));
        QCOMPARE(Part<QLineEdit>(options, "EditMinRegion").text(), QString("10.0"));
        QCOMPARE(Part<QLineEdit>(options, "EditResultFile").text(), QString("before.txt"));
        QCOMPARE(Part<QLineEdit>(options, "EditRegionFile").text(), QString("regions.txt"));
        QCOMPARE(options.ColorBack(), colourBefore);
        QCOMPARE(TColour(main.CurrentOptions().ColorBack), surfaceBefore);
        QCOMPARE(TColour(main.CurrentOptions().ColorBack), surfaceBefore);
        QCOMPARE(analyses.count(), 0);
        QCOMPARE(main.ProgramControl->State(), 6);
    }

    void OkAnalysesAgainAndSavesTheDialogsState()
    {
        TFormMain& main = fixture->Main();
        QVERIFY(fixture->OpenObjects());
        const std::string settingsFile = fixture->Folder() + "Varnolux.ini";
        QVERIFY(!std::filesystem::exists(settingsFile));
        WhenModal<TFormOptions>([](TFormOptions& dialog) {
            Part<QLineEdit>(dialog, "EditMinRegion").setText("3");
            Part<QPushButton>(dialog, "BitBtnOk").click();
        });
        QSignalSpy analyses(&main, &TFormMain::AnalysisFinished);
        Part<QAction>(main, "ActionOptions").trigger();
        QVERIFY(fixture->WaitIdle());
        QCOMPARE(analyses.count(), 1);
        QCOMPARE(main.ShownResult().Items.GetValueText("MinRegion"), std::string("3"));
        QVERIFY(main.OptionsFiles().Changed());
        QCOMPARE(KeysOf(ReadFile(settingsFile), "FormOptions"),
                 (std::vector<std::string>{"EditResultFile", "EditRegionFile", "EditMinRegion",
                                           "FormOptionsTop", "FormOptionsLeft", "FormOptionsHeight",
                                           "FormOptionsWidth"}));
        QCOMPARE(ReadConfigString(settingsFile, "FormOptions", "EditMinRegion", ""),
                 std::string("3"));
    }

    void EnterChecksTheMinimumSize()
    {
        TFormMain& main = fixture->Main();
        QVERIFY(fixture->OpenObjects());
        bool stayedOpen = false;
        WhenModal<TFormOptions>([&](TFormOptions& dialog) {
            Part<QLineEdit>(dialog, "EditMinRegion").setText("-1");
            Part<QLineEdit>(dialog, "EditMinRegion").setFocus();
            QTest::keyClick(&Part<QLineEdit>(dialog, "EditMinRegion"), Qt::Key_Return);
            stayedOpen = dialog.isVisible();
            Part<QLineEdit>(dialog, "EditMinRegion").setText("0,5");
            QTest::keyClick(&Part<QLineEdit>(dialog, "EditMinRegion"), Qt::Key_Return);
        });
        Part<QAction>(main, "ActionOptions").trigger();
        QVERIFY(fixture->WaitIdle());
        QVERIFY(stayedOpen);
        QCOMPARE(fixture->reporter.messages, std::vector<std::string>{"Invalid number"});
        QCOMPARE(main.ShownResult().Items.GetValueText("MinRegion"), std::string("0.5"));
    }

    void ValidMinimumSizes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::newRow("zero") << "0" << true;
        QTest::newRow("decimal comma") << "0,5" << true;
        QTest::newRow("decimal point") << "0.5" << true;
        QTest::newRow("negative") << "-1" << false;
        QTest::newRow("letters") << "abc" << false;
        QTest::newRow("empty") << "" << false;
    }

    void ValidMinimumSizes()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        Part<QLineEdit>(fixture->Options(), "EditMinRegion").setText(text);
        QCOMPARE(fixture->Options().CheckMinRegion(), valid);
        QCOMPARE(fixture->reporter.messages.size(), size_t(valid ? 0 : 1));
    }

    void OptionsGoThroughAFileAndBack()
    {
        TFormMain& main = fixture->Main();
        TFormOptions& dialog = fixture->Options();
        TFormMeasure& measure = *fixture->windows->FormMeasure;
        fixture->Bar(HMin).setValue(230);
        fixture->Bar(VMax).setValue(199);
        Part<QLineEdit>(dialog, "EditMinRegion").setText("2,5");
        Part<QLineEdit>(dialog, "EditResultFile").setText("/tmp/results.txt");
        ChangeOptions(dialog, [](TOptions& options) {
            options.iInclCircleDiam = 40;
            options.lUseInclCircle = true;
        });
        dialog.SetColorBack(MakeColour(1, 2, 3));
        Part<QCheckBox>(measure, "CheckBoxUnits").setChecked(true);
        Part<QComboBox>(measure, "ComboBoxUnits").setCurrentIndex(1);
        Part<QLineEdit>(measure, "EditMeasure").setText("12.50");
        const TOptions saved = main.CurrentOptions();
        QCOMPARE(saved.ComboBoxZoom, -1);

        const std::string fileName = fixture->folder.File("saved.ini");
        AcceptNextFileDialog(fileName);
        Part<QAction>(main, "ActionSaveOptionsAs").trigger();
        QVERIFY(std::filesystem::exists(fileName));
        QCOMPARE(main.OptionsFiles().File(), fileName);
        QCOMPARE(Part<TStatusBar>(main, "StatusBarMain").PanelText(TFormMain::StatusPanelOptions),
                 QString("saved.ini"));
        QVERIFY(!main.OptionsFiles().Changed());
        QVERIFY(!Part<QAction>(main, "ActionSaveOptions").isEnabled());
        QCOMPARE(TOptions::Load(fileName), saved);

        fixture->Bar(HMin).setValue(3);
        Part<QLineEdit>(dialog, "EditMinRegion").setText("7");
        ChangeOptions(dialog, [](TOptions& options) { options.iInclCircleDiam = 0; });
        Part<QCheckBox>(measure, "CheckBoxUnits").setChecked(false);
        Part<QComboBox>(measure, "ComboBoxZoom").setCurrentIndex(2);
        QVERIFY(main.OptionsFiles().Changed());
        QVERIFY(Part<QAction>(main, "ActionSaveOptions").isEnabled());

        AcceptNextFileDialog(fileName);
        Part<QAction>(main, "ActionLoadOptions").trigger();
        QCOMPARE(main.CurrentOptions(), saved);
        QCOMPARE(fixture->Bar(HMin).value(), 230);
        QCOMPARE(Part<TLabeledEdit>(main, "LabeledEditMeasure").text(), QString("12.50"));
        QCOMPARE(Part<TLabeledEdit>(main, "LabeledEditAreaCM").EditLabelCaption(),
                 QString("Object area [µm²]"));
        QVERIFY(!main.OptionsFiles().Changed());
        QVERIFY(fixture->reporter.messages.empty());
    }

    void SaveOptionsWritesTheCurrentFile()
    {
        TFormMain& main = fixture->Main();
        const std::string fileName = fixture->folder.File("current.ini");
        QVERIFY(main.OptionsFiles().Save(fileName));
        main.OptionsFiles().SetFile(fileName);
        fixture->Bar(SMin).setValue(42);
        QVERIFY(Part<QAction>(main, "ActionSaveOptions").isEnabled());
        Part<QAction>(main, "ActionSaveOptions").trigger();
        QCOMPARE(TOptions::Load(fileName).rangeTexts[SMin], std::string("42"));
        QVERIFY(!Part<QAction>(main, "ActionSaveOptions").isEnabled());
        Part<QAction>(main, "ActionSaveOptionsAsDefault").trigger();
        QCOMPARE(main.OptionsFiles().File(), main.OptionsFiles().DefaultFile());
        QCOMPARE(TOptions::Load(main.OptionsFiles().DefaultFile()).rangeTexts[SMin],
                 std::string("42"));
        QCOMPARE(Part<TStatusBar>(main, "StatusBarMain").PanelText(TFormMain::StatusPanelOptions),
                 QString("- DEFAULT OPTIONS -"));
    }

    void ASaveThatCannotWriteIsReported_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("read-only file") << "read-only";
        QTest::newRow("missing folder") << "missing folder";
    }

    void ASaveThatCannotWriteIsReported()
    {
        QFETCH(QString, kind);
        TFormMain& main = fixture->Main();
        std::string fileName = fixture->folder.File("missing/options.ini");
        if (kind == "read-only") {
            fileName = fixture->folder.File("read-only.ini");
            WriteFile(fileName, "[FormMain]\n");
            QCOMPARE(::chmod(fileName.c_str(), 0444), 0);
        }
        const std::string before = ReadFile(fileName);
        main.OptionsFiles().SetFile(fileName);
        main.MarkOptionsChanged();
        QVERIFY(!main.OptionsFiles().Save(fileName));
        QCOMPARE(fixture->reporter.messages.size(), size_t(1));
        QVERIFY(fixture->reporter.messages[0].starts_with("The options could not be saved to " +
                                                          fileName));
        QCOMPARE(ReadFile(fileName), before);
        QVERIFY(main.OptionsFiles().Changed());
    }

    void TheProgramsOwnFilesTakeNoOptions_data()
    {
        QTest::addColumn<QString>("which");
        QTest::newRow("settings file") << "settings";
        QTest::newRow("language file") << "language";
    }

    void TheProgramsOwnFilesTakeNoOptions()
    {
        QFETCH(QString, which);
        TFormMain& main = fixture->Main();
        const TProgramFiles files = TProgramFiles::InFolder(fixture->Folder());
        const std::string fileName = which == "settings" ? files.SettingsFile : files.LanguageFile;
        WriteFile(fileName, "[FormOptions]\n");
        const std::string before = ReadFile(fileName);
        QVERIFY(!main.OptionsFiles().Save(fileName));
        QCOMPARE(ReadFile(fileName), before);
        QCOMPARE(fixture->reporter.messages,
                 std::vector<std::string>{"The file " + fileName +
                                          " holds the program's own settings. Please choose "
                                          "another name for the options."});
    }

    void LoadingMissingDefaultOptionsSaysSo_data()
    {
        QTest::addColumn<QString>("defaultFile");
        QTest::addColumn<bool>("told");
        QTest::newRow("missing") << "" << true;
        QTest::newRow("only the window position") << "[FormMain]\nFormMainLeft=5\n" << true;
        QTest::newRow("options") << "[FormMain]\nLabeledEditHMin=5\nLabeledEditHMax=6\n"
                                    "LabeledEditSMin=7\nLabeledEditSMax=8\nLabeledEditVMin=9\n"
                                    "LabeledEditVMax=10\n"
                                 << false;
    }

    void LoadingMissingDefaultOptionsSaysSo()
    {
        QFETCH(QString, defaultFile);
        QFETCH(bool, told);
        TFormMain& main = fixture->Main();
        std::filesystem::remove(main.OptionsFiles().DefaultFile());
        if (!defaultFile.isEmpty())
            WriteFile(main.OptionsFiles().DefaultFile(), defaultFile.toStdString());
        main.OptionsFiles().SetFile(fixture->folder.File("other.ini"));
        fixture->Bar(HMin).setValue(44);
        Part<QAction>(main, "ActionLoadDefaultOptions").trigger();
        QCOMPARE(main.OptionsFiles().File(), main.OptionsFiles().DefaultFile());
        QCOMPARE(fixture->Bar(HMin).value(), told ? 0 : 5);
        QCOMPARE(fixture->Bar(HMax).value(), told ? 255 : 6);
        QCOMPARE(Part<QLineEdit>(fixture->Options(), "EditMinRegion").text(),
                 QString(told ? "10.0" : ""));
        QVERIFY(!main.OptionsFiles().Changed());
        const std::vector<std::string> message = {
            "The default options file " + main.OptionsFiles().DefaultFile() +
            " holds no options. The built-in options are used."};
        QCOMPARE(fixture->reporter.messages, told ? message : std::vector<std::string>());
    }

    void AFileWithOnlyTheRangeResetsTheOtherOptions()
    {
        TFormMain& main = fixture->Main();
        const std::string fileName = fixture->folder.File("range.ini");
        WriteFile(fileName, "[FormMain]\nLabeledEditHMin=5\nLabeledEditHMax=6\nLabeledEditSMin=7\n"
                            "LabeledEditSMax=8\nLabeledEditVMin=9\nLabeledEditVMax=10\n");
        ChangeOptions(fixture->Options(), [](TOptions& options) {
            options.lUseExclRect = true;
            options.iExclRectLeft = 3;
        });
        QVERIFY(main.OptionsFiles().Load(fileName));
        const TOptions loaded = main.CurrentOptions();
        QCOMPARE(loaded.rangeTexts[VMax], std::string("10"));
        QCOMPARE(loaded.iExclRectLeft, 0);
        QVERIFY(!loaded.lUseExclRect);
        QCOMPARE(loaded.EditMinRegion, std::string());
        QCOMPARE(Part<QComboBox>(*fixture->windows->FormMeasure, "ComboBoxUnits").currentText(),
                 QString("nm"));
        QCOMPARE(Part<QComboBox>(*fixture->windows->FormMeasure, "ComboBoxZoom").currentText(),
                 QString("400%"));
    }

    void AFileThatIsNoOptionsFileIsLeftAlone()
    {
        TFormMain& main = fixture->Main();
        const std::string fileName = fixture->folder.File("binary.ini");
        WriteFile(fileName, std::string("\x00\x01\x02garbage", 10));
        fixture->Bar(HMin).setValue(44);
        QVERIFY(!main.OptionsFiles().Load(fileName));
        QCOMPARE(fixture->Bar(HMin).value(), 44);
        QCOMPARE(fixture->reporter.messages,
                 std::vector<std::string>{"The options file " + fileName +
                                          " cannot be read.\nbinary data at line 1"});
    }

    void TheTolerantNumberParser_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("comma") << "1,5" << 1.5;
        QTest::newRow("point") << "1.5" << 1.5;
        QTest::newRow("blanks") << " 2 " << 2.0;
        QTest::newRow("sign") << "-0,25" << -0.25;
        QTest::newRow("plus") << "+3" << 3.0;
        QTest::newRow("exponent") << "1e3" << 1000.0;
        QTest::newRow("lone minus") << " - " << TFormMain::NoNumber;
        QTest::newRow("word") << "abc" << TFormMain::NoNumber;
        QTest::newRow("two points") << "1.5.2" << TFormMain::NoNumber;
        QTest::newRow("both separators") << "1.234,5" << TFormMain::NoNumber;
        QTest::newRow("empty") << "" << TFormMain::NoNumber;
    }

    void TheTolerantNumberParser()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(TFormMain::ParseFloat(text.toStdString(), false), value);
        QVERIFY(fixture->reporter.messages.empty());
        TFormMain::ParseFloat(text.toStdString(), true);
        QCOMPARE(fixture->reporter.messages.size(), size_t(value == TFormMain::NoNumber ? 1 : 0));
    }

    void FormStateWritesEachKindOfControl()
    {
        const TempFolder folder;
        const std::string fileName = folder.File("state.ini");
        QWidget window;
        window.setObjectName("FormTest");
        auto* list = new QListWidget(&window);
        list->setObjectName("ListBox1");
        list->addItems({"a", "b", "c"});
        auto* combo = new QComboBox(&window);
        combo->setObjectName("ComboTagged");
        combo->addItems({"x", "y"});
        combo->setCurrentIndex(1);
        combo->setProperty("Tag", 1);
        auto* check = new QCheckBox(&window);
        check->setObjectName("CheckBox1");
        check->setChecked(true);
        auto* skipped = new QLineEdit("not written", &window);
        skipped->setObjectName("EditTagged");
        skipped->setProperty("Tag", -1);
        auto* slider = new QSlider(&window);
        slider->setObjectName("TrackBar1");
        slider->setValue(7);
        new QPushButton("no state", &window);
        window.setGeometry(10, 20, 300, 200);

        QVERIFY(SaveFormState(window, fileName));
        QCOMPARE(KeysOf(ReadFile(fileName), "FormTest"),
                 (std::vector<std::string>{"ListBox1___Count", "ListBox1___0", "ListBox1___1",
                                           "ListBox1___2", "ComboTagged", "CheckBox1", "TrackBar1",
                                           "FormTestTop", "FormTestLeft", "FormTestHeight",
                                           "FormTestWidth"}));
        QCOMPARE(ReadConfigString(fileName, "FormTest", "ListBox1___2", ""), std::string("c"));
        QCOMPARE(ReadConfigString(fileName, "FormTest", "ComboTagged", ""), std::string("1"));
        QCOMPARE(ReadConfigString(fileName, "FormTest", "CheckBox1", ""), std::string("1"));
        QCOMPARE(ReadConfigInteger(fileName, "FormTest", "FormTestWidth", 0), 300);
    }

private:
    std::unique_ptr<MainWindowFixture> fixture;
};

QTEST_MAIN(OptionsTest)
#include "OptionsTest.moc"
