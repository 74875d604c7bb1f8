#include "MainWindowFixture.h"
#include "shell/TFormLanguage.h"
#include "shell/TFormVerify.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>

using namespace varnolux;
using varnolux::test::MainWindowFixture;
using varnolux::test::Part;
using varnolux::test::ReadFile;
using varnolux::test::WriteFile;

namespace {

/// Selects the red pixels, as an options file would say it.
TOptions RedOptions()
{
    TOptions options = TOptions::Initial();
    options.rangeTexts = {"0", "10", "100", "255", "0", "255"};
    options.EditMinRegion = "2";
    return options;
}

/// A result file of analyses made here, without a window.
class TResultFile {
public:
    std::string Image(const std::string& name, const std::vector<std::string>& rows)
    {
        const std::string fileName = folder.File(name);
        WriteBmpFile(test::Picture(rows), fileName);
        return fileName;
    }

    void Save(const std::string& image, int times = 1)
    {
        TAnalysisSettings settings;
        ApplyOptions(settings, RedOptions());
        QVERIFY(engine.LoadImage(image).Loaded);
        const TAnalysisResult run = engine.Run(settings);
        QVERIFY(run.Complete);
        std::string line = run.Items.ValueLine() + "\r\n";
        std::string text = ReadFile(fileName);
        if (text.empty())
            text = run.Items.HeaderLine() + "\r\n";
        for (int i = 0; i < times; ++i)
            text += line;
        WriteFile(fileName, text);
    }

    test::TempFolder folder;
    test::RecordingReporter reporter;
    TAnalysis engine;
    const std::string fileName = folder.File("results.txt");
};

QString Cell(const TFormVerify& window, int row, int column)
{
    const QAbstractItemModel& model = *Part<QTableView>(window, "TableLines").model();
    return model.data(model.index(row, column)).toString();
}

bool Highlighted(const TFormVerify& window, int row)
{
    const QAbstractItemModel& model = *Part<QTableView>(window, "TableLines").model();
    return model.data(model.index(row, 2), Qt::BackgroundRole).isValid();
}

bool WaitUntilFinished(TFormVerify& window)
{
    QSignalSpy finished(&window, &TFormVerify::VerificationFinished);
    return finished.count() > 0 || finished.wait(20000);
}

} // namespace

class VerifyWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void showsARowPerLineWithTheFindingsHighlighted()
    {
        TResultFile results;
        const std::string image = results.Image("objects.bmp", test::ObjectRows);
        const std::string gone = results.Image("gone.bmp", {"rr.", "rr."});
        results.Save(image);
        results.Save(gone);
        results.Save(image);
        std::filesystem::remove(gone);
        std::string text = ReadFile(results.fileName);
        text.replace(text.rfind("\t11.25\t"), 7, "\t11.35\t");
        WriteFile(results.fileName, text);

        TFormVerify window;
        Part<QCheckBox>(window, "CheckBoxOptions").setChecked(true);
        Part<QCheckBox>(window, "CheckBoxReanalyse").setChecked(true);
        window.Verify(results.fileName, RedOptions(), "red.ini");
        QVERIFY(window.Running());
        QVERIFY(!Part<QPushButton>(window, "ButtonVerify").isEnabled());
        QVERIFY(WaitUntilFinished(window));
        QVERIFY(!window.Running());
        QCOMPARE(Part<QTableView>(window, "TableLines").model()->rowCount(), 3);
        QCOMPARE(Cell(window, 0, 0), QString("2"));
        QCOMPARE(Cell(window, 0, 1), QString::fromStdString(image));
        QCOMPARE(Cell(window, 0, 2), QString("ok"));
        QVERIFY(!Highlighted(window, 0));
        QCOMPARE(Cell(window, 1, 2), QString::fromStdString("image missing: " + gone));
        QVERIFY(Highlighted(window, 1));
        QCOMPARE(Cell(window, 2, 2), QString("edited: the values were changed after saving; not "
                                             "reproduced: Area 11.35 (now 11.25)"));
        QVERIFY(Highlighted(window, 2));
        QCOMPARE(Part<QLabel>(window, "LabelSummary").text(),
                 QString("3 lines: 1 ok, 1 edited, 0 image changed, 1 image missing, 0 other "
                         "options, 1 not reproduced, 0 image unreadable, 0 malformed"));
        QCOMPARE(Part<QProgressBar>(window, "ProgressBarVerify").value(),
                 Part<QProgressBar>(window, "ProgressBarVerify").maximum());
        QCOMPARE(Part<QTableView>(window, "TableLines")
                     .model()
                     ->headerData(2, Qt::Horizontal)
                     .toString(),
                 QString("Result"));
        QVERIFY(Part<QPushButton>(window, "ButtonVerify").isEnabled());

        // Verify again, with other options: every line is named.
        TOptions other = RedOptions();
        other.EditMinRegion = "3";
        Part<QCheckBox>(window, "CheckBoxReanalyse").setChecked(false);
        window.Verify(results.fileName, other, "other.ini");
        QVERIFY(WaitUntilFinished(window));
        QCOMPARE(Part<QTableView>(window, "TableLines").model()->rowCount(), 3);
        QVERIFY(Cell(window, 0, 2) == "other options: not made with the options of other.ini");
    }

    void speaksTheLanguageOfTheLanguageFile()
    {
        TResultFile results;
        results.Save(results.Image("objects.bmp", test::ObjectRows));
        std::string text = ReadFile(results.fileName);
        text += "a\tb\r\n";
        WriteFile(results.fileName, text);

        TFormVerify window;
        QVERIFY(TFormLanguage::ApplyLanguageToForm(test::ShippedLanguageFile("de"), window));
        QCOMPARE(window.windowTitle(), QString("Ergebnisdatei prüfen"));
        QCOMPARE(Part<QPushButton>(window, "ButtonVerify").text(), QString("Prüfen"));
        window.Verify(results.fileName, RedOptions(), "red.ini");
        QVERIFY(WaitUntilFinished(window));
        QCOMPARE(Cell(window, 0, 2), QString("in Ordnung"));
        QCOMPARE(Cell(window, 1, 2), QString("fehlerhaft: 2 Felder statt 23"));
        QCOMPARE(Part<QTableView>(window, "TableLines")
                     .model()
                     ->headerData(0, Qt::Horizontal)
                     .toString(),
                 QString("Zeile"));
        QVERIFY(Part<QLabel>(window, "LabelSummary")
                    .text()
                    .startsWith("2 Zeilen: 1 in Ordnung, 0 verändert"));
    }

    void aLongVerificationCanBeStopped()
    {
        TResultFile results;
        results.Save(results.Image("objects.bmp", test::ObjectRows), 50000);
        TFormVerify window;
        // The window answers while the lines are verified: the first rows stop it.
        connect(Part<QTableView>(window, "TableLines").model(), &QAbstractItemModel::rowsInserted,
                &window, [&window] { Part<QPushButton>(window, "ButtonStop").click(); });
        window.Verify(results.fileName, RedOptions(), "red.ini");
        QVERIFY(WaitUntilFinished(window));
        const int rows = Part<QTableView>(window, "TableLines").model()->rowCount();
        QVERIFY(rows < 50000);
        QVERIFY2(Part<QLabel>(window, "LabelSummary")
                     .text()
                     .startsWith(QString("Stopped after %1 lines. %1 lines: %1 ok").arg(rows)),
                 qPrintable(Part<QLabel>(window, "LabelSummary").text()));
        QVERIFY(Part<QPushButton>(window, "ButtonVerify").isEnabled());
        QVERIFY(!Part<QPushButton>(window, "ButtonStop").isEnabled());
    }

    void closingTheWindowStopsIt()
    {
        TResultFile results;
        results.Save(results.Image("objects.bmp", test::ObjectRows), 50000);
        TFormVerify window;
        window.show();
        window.Verify(results.fileName, RedOptions(), "red.ini");
        window.close();
        QVERIFY(WaitUntilFinished(window));
        QVERIFY(Part<QTableView>(window, "TableLines").model()->rowCount() < 50000);
    }

    void aFileThatCannotBeVerifiedIsNamed()
    {
        TResultFile results;
        TFormVerify window;
        window.Verify(results.folder.File("missing.txt"), RedOptions(), "red.ini");
        QVERIFY(WaitUntilFinished(window));
        QCOMPARE(Part<QLabel>(window, "LabelSummary").text(),
                 QString::fromStdString("The result file " + results.folder.File("missing.txt") +
                                        " cannot be verified: No such file or directory"));
        QCOMPARE(Part<QTableView>(window, "TableLines").model()->rowCount(), 0);

        window.Verify("", RedOptions(), "red.ini");
        QVERIFY(!window.Running());
        QCOMPARE(Part<QLabel>(window, "LabelSummary").text(),
                 QString("No result file is named in the options."));
    }

    void theMainWindowVerifiesItsResultFile()
    {
        MainWindowFixture fixture;
        // Units on and borders, as a lab would have them.
        WriteFile(fixture.Main().OptionsFiles().DefaultFile(),
                  "[FormMain]\nLabeledEditHMin=0\nLabeledEditHMax=10\nLabeledEditSMin=100\n"
                  "LabeledEditSMax=255\nLabeledEditVMin=0\nLabeledEditVMax=255\n"
                  "[FormOptions]\nEditMinRegion=0.5\nlUseExclRect=1\niExclRectLeft=20\n"
                  "iExclRectRight=20\n[FormMeasure]\nlCheckBoxUnits=1\nComboBoxUnits=2\n"
                  "EditMeasure=10.00\n");
        QVERIFY(fixture.Start());
        TFormMain& main = fixture.Main();
        QVERIFY(main.findChild<QMenu*>("MenuAnalysis")
                    ->actions()
                    .contains(&Part<QAction>(main, "ActionVerifyResultFile")));
        QVERIFY(Part<QAction>(main, "ActionVerifyResultFile").isEnabled());
        QVERIFY(fixture.OpenObjects());
        const std::string results = fixture.folder.File("results.txt");
        Part<QLineEdit>(fixture.Options(), "EditResultFile")
            .setText(QString::fromStdString(results));
        Part<QAction>(main, "ActionSaveResult").trigger();
        Part<QAction>(main, "ActionSaveResult").trigger();
        QCOMPARE(SplitLines(ReadFile(results)), 3);

        TFormVerify& window = *fixture.windows->FormVerify;
        Part<QCheckBox>(window, "CheckBoxOptions").setChecked(true);
        Part<QCheckBox>(window, "CheckBoxReanalyse").setChecked(true);
        Part<QAction>(main, "ActionVerifyResultFile").trigger();
        QVERIFY(window.isVisible());
        QCOMPARE(Part<QLineEdit>(window, "EditResultFile").text(), QString::fromStdString(results));
        QVERIFY(WaitUntilFinished(window));
        QCOMPARE(Part<QTableView>(window, "TableLines").model()->rowCount(), 2);
        QVERIFY2(
            Part<QLabel>(window, "LabelSummary").text().startsWith("2 lines: 2 ok"),
            qPrintable(Part<QLabel>(window, "LabelSummary").text() + " " + Cell(window, 0, 2)));
        QVERIFY(fixture.reporter.messages.empty());
    }

private:
    static int SplitLines(const std::string& text)
    {
        return int(std::count(text.begin(), text.end(), '\n'));
    }
};

QTEST_MAIN(VerifyWindowTest)
#include "VerifyWindowTest.moc"
