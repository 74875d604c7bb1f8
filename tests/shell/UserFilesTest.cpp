// The user's files change only when the user asks: options files are written by the
// save commands (or after the question at closing), read as any INI file is, and every
// save says what it wrote where.

#include "MainWindowFixture.h"
#include "settings/SettingsAccess.h"
#include "shell/TFormOptions.h"

#include <QAction>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>

using namespace varnolux;
using varnolux::test::AcceptNextFileDialog;
using varnolux::test::MainWindowFixture;
using varnolux::test::Part;
using varnolux::test::ReadFile;
using varnolux::test::RejectNextFileDialog;
using varnolux::test::TriggerWithFile;
using varnolux::test::WhenModal;
using varnolux::test::WriteFile;

namespace {

// An options file as a user keeps it: notes, keys in an order of their own.
const char* const AnnotatedOptions = "# Options for the red objects, written by hand\r\n"
                                     "; measured 2024-05-02\r\n"
                                     "[FormMain]\r\n"
                                     "LabeledEditHMax=10\r\n"
                                     "LabeledEditHMin=0\r\n"
                                     "LabeledEditSMin=100\r\n"
                                     "LabeledEditSMax=255\r\n"
                                     "LabeledEditVMin=0\r\n"
                                     "LabeledEditVMax=255\r\n"
                                     "a stray line\r\n"
                                     "[FormOptions]\r\n"
                                     "EditMinRegion=5\r\n";

using TAnswer = TQuestions::TAnswer;
using namespace std::string_literals;

} // namespace

class UserFilesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void cleanup() { fixture.reset(); }

    void CommentsAndStrayLinesInTheDefaultOptionsAreIgnored()
    {
        Start(AnnotatedOptions);
        QVERIFY(fixture->reporter.messages.empty());
        QCOMPARE(fixture->Find<QSlider>("TrackBarHMax")->value(), 10);
        QCOMPARE(fixture->Find<QSlider>("TrackBarSMin")->value(), 100);
        QCOMPARE(Part<QLineEdit>(fixture->Options(), "EditMinRegion").text(), QString("5"));
    }

    void AnUnreadableDefaultFileIsReportedInTheUsersLanguage()
    {
        fixture = std::make_unique<MainWindowFixture>(test::ShippedLanguageFile("de"));
        WriteFile(fixture->Main().OptionsFiles().DefaultFile(),
                  "[FormMain]\nLabeledEditHMin=5\n\0\x01\x02 not a text file\n"s);
        QVERIFY(fixture->Start());
        QCOMPARE(fixture->reporter.messages.size(), size_t(1));
        QVERIFY2(fixture->reporter.messages[0].starts_with(
                     "Die Optionsdatei " + fixture->Main().OptionsFiles().DefaultFile() +
                     " kann nicht gelesen werden."),
                 fixture->reporter.messages[0].c_str());
    }

    void EditingTheOptionsLeavesTheFileAlone_data()
    {
        QTest::addColumn<bool>("ok");
        QTest::newRow("Cancel") << false;
        QTest::newRow("OK") << true;
    }

    void EditingTheOptionsLeavesTheFileAlone()
    {
        QFETCH(bool, ok);
        Start();
        const std::string optionsFile = fixture->folder.File("annotated.ini");
        WriteFile(optionsFile, AnnotatedOptions);
        TriggerWithFile(fixture->Action("ActionLoadOptions"), optionsFile);
        TriggerWithFile(fixture->Action("ActionOpen"), fixture->WriteObjectsImage());
        fixture->Find<QSlider>("TrackBarHMax")->setValue(20); // not saved
        WhenModal<TFormOptions>([ok](TFormOptions& dialog) {
            Part<QLineEdit>(dialog, "EditMinRegion").setText("7");
            (ok ? &Part<QPushButton>(dialog, "BitBtnOk")
                : &Part<QPushButton>(dialog, "BitBtnCancel"))
                ->click();
        });
        fixture->Action("ActionOptions").trigger();
        QCOMPARE(ReadFile(optionsFile), std::string(AnnotatedOptions));
        QCOMPARE(Part<QLineEdit>(fixture->Options(), "EditMinRegion").text(),
                 QString(ok ? "7" : "5"));
        QCOMPARE(fixture->StatusBar().PanelText(TFormMain::StatusPanelOptions),
                 QString("* annotated.ini"));
    }

    void ClosingWithChangedOptionsAsks_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<QString>("savedHMax");
        QTest::newRow("Yes saves") << int(TAnswer::Yes) << true << "20";
        QTest::newRow("No closes") << int(TAnswer::No) << true << "10";
        QTest::newRow("Cancel stays") << int(TAnswer::Cancel) << false << "10";
    }

    void ClosingWithChangedOptionsAsks()
    {
        QFETCH(int, answer);
        QFETCH(bool, closes);
        QFETCH(QString, savedHMax);
        Start();
        const std::string optionsFile = fixture->folder.File("annotated.ini");
        WriteFile(optionsFile, AnnotatedOptions);
        TriggerWithFile(fixture->Action("ActionLoadOptions"), optionsFile);
        fixture->Find<QSlider>("TrackBarHMax")->setValue(20);

        fixture->questions.yesNoCancelAnswer = TAnswer(answer);
        QCOMPARE(fixture->Main().close(), closes);
        QCOMPARE(fixture->questions.asked, std::vector<std::string>{"Save the options?"});
        QVERIFY(fixture->reporter.messages.empty());
        QCOMPARE(fixture->Main().isVisible(), !closes);
        QCOMPARE(ReadConfigString(optionsFile, "FormMain", "LabeledEditHMax", ""),
                 savedHMax.toStdString());
    }

    void SavingChangedDefaultOptionsAsksForAName()
    {
        Start();
        fixture->Find<QSlider>("TrackBarHMax")->setValue(20);
        fixture->questions.yesNoCancelAnswer = TAnswer::Yes;
        RejectNextFileDialog();
        QVERIFY(!fixture->Main().close());

        const std::string chosen = fixture->folder.File("chosen.ini");
        AcceptNextFileDialog(chosen);
        QVERIFY(fixture->Main().close());
        QCOMPARE(ReadConfigString(chosen, "FormMain", "LabeledEditHMax", ""), std::string("20"));
        // The default options file is left alone.
        QCOMPARE(ReadConfigString(fixture->Main().OptionsFiles().DefaultFile(), "FormMain",
                                  "LabeledEditHMax", "none"),
                 std::string("none"));
    }

    void ClosingWithoutChangesAsksNothing()
    {
        Start(AnnotatedOptions);
        QVERIFY(fixture->Main().close());
        QVERIFY(fixture->reporter.messages.empty());
        QVERIFY(fixture->questions.asked.empty());
    }

    void EverySaveSaysWhatItWroteWhere()
    {
        Start();
        TriggerWithFile(fixture->Action("ActionOpen"), fixture->WriteObjectsImage());
        const std::string resultFile = fixture->folder.File("results.txt");
        Part<QLineEdit>(fixture->Options(), "EditResultFile")
            .setText(QString::fromStdString(resultFile));
        fixture->Action("ActionSaveResult").trigger();
        QCOMPARE(fixture->StatusBar().Message().toStdString(),
                 "Result line appended to " + resultFile);

        const std::string optionsFile = fixture->folder.File("saved.ini");
        TriggerWithFile(fixture->Action("ActionSaveOptionsAs"), optionsFile);
        QCOMPARE(fixture->StatusBar().Message().toStdString(), "Options saved to " + optionsFile);

        const std::string imageFile = fixture->folder.File("analysed.jpg");
        AcceptNextFileDialog(imageFile, "JPEG (*.jpg)");
        fixture->Action("ActionSaveImage").trigger();
        QCOMPARE(fixture->StatusBar().Message().toStdString(),
                 "Analysed image saved to " + imageFile + " (JPEG)");
        QVERIFY(fixture->reporter.messages.empty());

        // The image's own texts come back with the next image.
        TriggerWithFile(fixture->Action("ActionOpen"), fixture->WriteObjectsImage(5));
        QCOMPARE(fixture->StatusBar().Message(), QString());
        QCOMPARE(fixture->StatusBar().PanelText(0), QString("objects.bmp"));
    }

    void TheResultFileIsChosenWithASaveDialog_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QStringList>("filters");
        QTest::newRow("English") << "en" << QStringList{"Text files (*.txt)", "All files (*)"};
        QTest::newRow("German") << "de" << QStringList{"Textdateien (*.txt)", "Alle Dateien (*)"};
    }

    void TheResultFileIsChosenWithASaveDialog()
    {
        QFETCH(QString, language);
        QFETCH(QStringList, filters);
        fixture =
            std::make_unique<MainWindowFixture>(test::ShippedLanguageFile(language.toStdString()));
        QVERIFY(fixture->Start());
        const std::string existing = fixture->folder.File("results.txt");
        WriteFile(existing, "kept\r\n");
        QStringList shownFilters;
        QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
        bool confirmsOverwrite = true;
        WhenModal<TFormOptions>([&](TFormOptions& options) {
            WhenModal<QFileDialog>([&](QFileDialog& dialog) {
                shownFilters = dialog.nameFilters();
                mode = dialog.acceptMode();
                confirmsOverwrite = !dialog.testOption(QFileDialog::DontConfirmOverwrite);
                dialog.findChild<QLineEdit*>("fileNameEdit")
                    ->setText(QString::fromStdString(existing));
                static_cast<QDialog&>(dialog).accept();
            });
            Part<QPushButton>(options, "ButtonResultFile").click();
            Part<QPushButton>(options, "BitBtnOk").click();
        });
        TriggerWithFile(fixture->Action("ActionOpen"), fixture->WriteObjectsImage());
        fixture->Action("ActionOptions").trigger();
        QCOMPARE(shownFilters, filters);
        QCOMPARE(mode, QFileDialog::AcceptSave);
        QVERIFY(!confirmsOverwrite);
        QCOMPARE(Part<QLineEdit>(fixture->Options(), "EditResultFile").text().toStdString(),
                 existing);
        QCOMPARE(ReadFile(existing), std::string("kept\r\n"));
    }

private:
    /// The program's windows with the default options file, shown.
    void Start(const std::string& defaultOptions = {})
    {
        fixture = std::make_unique<MainWindowFixture>();
        if (!defaultOptions.empty())
            WriteFile(fixture->Main().OptionsFiles().DefaultFile(), defaultOptions);
        QVERIFY(fixture->Start());
    }

    std::unique_ptr<MainWindowFixture> fixture;
};

QTEST_MAIN(UserFilesTest)
#include "UserFilesTest.moc"
