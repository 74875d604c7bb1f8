// File → Print and Options → Edit print template on the main window.

#include "MainWindowFixture.h"
#include "report/ReportTemplate.h"
#include "shell/TFormReportTemplate.h"
#include "support/PdfText.h"

#include <QListWidget>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

using namespace varnolux;
using namespace varnolux::test;

namespace {

bool Holds(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

/// The report of the result shown, printed into a PDF file.
std::string PrintToPdf(MainWindowFixture& fixture, const std::string& fileName, bool* printed)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFileName(QString::fromStdString(fileName));
    *printed = fixture.Main().ResultActions().PrintReport(printer);
    return PdfText(fileName);
}

/// Replaces the editor's text as typing does.
void Type(TFormReportTemplate& editor, const QString& text)
{
    Part<QPlainTextEdit>(editor, "MemoTemplate").selectAll();
    Part<QPlainTextEdit>(editor, "MemoTemplate").insertPlainText(text);
}

bool AnyMessageHolds(const RecordingReporter& reporter, const std::string& part)
{
    return std::ranges::any_of(
        reporter.messages, [&part](const std::string& message) { return Holds(message, part); });
}

} // namespace

class PrintTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void printsTheResultShown();
    void printsThroughThePrintDialog();
    void aPrintThatFailsIsReported();
    void editedTemplateIsWhatPrints();
    void aMissingNamedTemplateIsReportedAndTheBuiltInOneUsed();
    void aTemplateThatCannotBeSavedIsReportedAndKept();
    void changesAreNotLostOnClosing();
    void editorSpeaksTheLanguageFile();
};

void PrintTest::printsTheResultShown()
{
    MainWindowFixture fixture;
    QVERIFY(fixture.Start());
    QVERIFY(fixture.OpenObjects());
    const std::string pdf = fixture.folder.File("report.pdf");
    bool printed = false;
    const std::string text = PrintToPdf(fixture, pdf, &printed);
    QVERIFY(printed);
    QCOMPARE(PdfPageCount(pdf), 1);
    const TResult& items = fixture.Main().ShownResult().Items;
    QCOMPARE(items.Count(), 23);
    for (const TResultItem& item : items.Items())
        QVERIFY2(Holds(text, item.Name + " " + item.ValueText), item.Name.c_str());
    QVERIFY(Holds(text, fixture.Folder() + "objects.bmp"));
    QVERIFY(fixture.reporter.messages.empty());
}

void PrintTest::printsThroughThePrintDialog()
{
    MainWindowFixture fixture;
    QVERIFY(fixture.Start());
    QAction& print = fixture.Action("ActionPrint");
    QVERIFY(!print.isEnabled());
    QCOMPARE(print.shortcut(), QKeySequence("Ctrl+P"));
    QVERIFY(fixture.OpenObjects());
    QVERIFY(print.isEnabled());

    // The dialog offers the file it printed to last; printing there writes the PDF.
    const std::string pdf = fixture.folder.File("dialog.pdf");
    fixture.Main().ResultActions().ReportPrinter().setOutputFileName(QString::fromStdString(pdf));
    QString dialogName;
    WhenModal<QPrintDialog>([&dialogName](QPrintDialog& dialog) {
        dialogName = dialog.objectName();
        dialog.accept();
    });
    print.trigger();
    QCOMPARE(dialogName, QString("PrintDialog1"));
    QCOMPARE(PdfPageCount(pdf), 1);
    QCOMPARE(fixture.Main().ResultActions().ReportPrinter().docName(), QString("objects"));

    // Cancelled, nothing is printed.
    std::filesystem::remove(pdf);
    WhenModal<QPrintDialog>([](QPrintDialog& dialog) { dialog.reject(); });
    print.trigger();
    QVERIFY(!std::filesystem::exists(pdf));
    QVERIFY(fixture.reporter.messages.empty());
}

void PrintTest::aPrintThatFailsIsReported()
{
    MainWindowFixture fixture;
    QVERIFY(fixture.Start());
    QVERIFY(fixture.OpenObjects());
    bool printed = true;
    PrintToPdf(fixture, fixture.folder.File("missing/report.pdf"), &printed);
    QVERIFY(!printed);
    QVERIFY(AnyMessageHolds(fixture.reporter, "The report could not be printed on " +
                                                  fixture.folder.File("missing/report.pdf")));
}

void PrintTest::editedTemplateIsWhatPrints()
{
    MainWindowFixture fixture;
    QVERIFY(fixture.Start());
    QVERIFY(fixture.OpenObjects());
    const std::string templateFile = fixture.Folder() + "VXReport.html";
    WhenModal<TFormReportTemplate>([&templateFile](TFormReportTemplate& editor) {
        QCOMPARE(Part<QLineEdit>(editor, "EditTemplateFile").text().toStdString(), templateFile);
        QCOMPARE(Part<QPlainTextEdit>(editor, "MemoTemplate").toPlainText(),
                 BuiltInReportTemplate());
        Type(editor, "<p>Lab 7: ");
        Part<QPlainTextEdit>(editor, "MemoTemplate").moveCursor(QTextCursor::End);
        // A double-click on a placeholder puts it at the cursor.
        const auto names = Part<QListWidget>(editor, "ListBoxPlaceholders")
                               .findItems("{{Name}}", Qt::MatchExactly);
        QCOMPARE(names.size(), 1);
        Part<QListWidget>(editor, "ListBoxPlaceholders").setCurrentItem(names.front());
        Q_EMIT Part<QListWidget>(editor, "ListBoxPlaceholders").itemActivated(names.front());
        Part<QPlainTextEdit>(editor, "MemoTemplate").insertPlainText("</p>");
        Part<QPushButton>(editor, "ButtonSave").click();
        Part<QPushButton>(editor, "BitBtnClose").click();
    });
    fixture.Action("ActionEditRoport").trigger();
    QCOMPARE(QString::fromStdString(ReadFile(templateFile)), QString("<p>Lab 7: {{Name}}</p>"));
    bool printed = false;
    const std::string text = PrintToPdf(fixture, fixture.folder.File("lab.pdf"), &printed);
    QVERIFY(printed);
    QVERIFY2(Holds(text, "Lab 7: objects.bmp"), text.c_str());

    // Back to the built-in template.
    WhenModal<TFormReportTemplate>([](TFormReportTemplate& editor) {
        Part<QPushButton>(editor, "ButtonBuiltIn").click();
        QCOMPARE(Part<QPlainTextEdit>(editor, "MemoTemplate").toPlainText(),
                 BuiltInReportTemplate());
        Part<QPushButton>(editor, "ButtonSave").click();
        Part<QPushButton>(editor, "BitBtnClose").click();
    });
    fixture.Action("ActionEditRoport").trigger();
    QCOMPARE(QString::fromStdString(ReadFile(templateFile)), BuiltInReportTemplate());
    QVERIFY(fixture.reporter.messages.empty());
}

void PrintTest::aMissingNamedTemplateIsReportedAndTheBuiltInOneUsed()
{
    MainWindowFixture fixture;
    QVERIFY(fixture.Start());
    QVERIFY(fixture.OpenObjects());
    WriteFile(fixture.Folder() + "Varnolux.ini", "[Report]\nTemplateFile=lab.html\n");
    bool printed = false;
    const std::string text = PrintToPdf(fixture, fixture.folder.File("report.pdf"), &printed);
    QVERIFY(printed);
    QCOMPARE(fixture.reporter.messages.size(), size_t(1));
    QVERIFY(Holds(fixture.reporter.messages.front(),
                  "The print template " + fixture.Folder() + "lab.html cannot be used"));
    QVERIFY(
        Holds(text, "SHAResult " + fixture.Main().ShownResult().Items.GetValueText("SHAResult")));
}

void PrintTest::aTemplateThatCannotBeSavedIsReportedAndKept()
{
    MainWindowFixture fixture;
    QVERIFY(fixture.Start());
    QVERIFY(fixture.OpenObjects());
    WriteFile(fixture.Folder() + "Varnolux.ini", "[Report]\nTemplateFile=missing/lab.html\n");
    bool stayedOpen = false;
    WhenModal<TFormReportTemplate>([&](TFormReportTemplate& editor) {
        Type(editor, "<p>{{Count}}</p>");
        Part<QPushButton>(editor, "ButtonSave").click();
        stayedOpen = editor.isVisible();
        QCOMPARE(Part<QPlainTextEdit>(editor, "MemoTemplate").toPlainText(),
                 QString("<p>{{Count}}</p>"));
        fixture.questions.yesNoCancelAnswer = TQuestions::TAnswer::No;
        Part<QPushButton>(editor, "BitBtnClose").click();
    });
    fixture.Action("ActionEditRoport").trigger();
    QVERIFY(stayedOpen);
    QVERIFY(AnyMessageHolds(fixture.reporter, "The print template could not be saved to " +
                                                  fixture.Folder() + "missing/lab.html: "));
}

void PrintTest::changesAreNotLostOnClosing()
{
    MainWindowFixture fixture;
    QVERIFY(fixture.Start());
    QVERIFY(fixture.OpenObjects());
    const std::string templateFile = fixture.Folder() + "VXReport.html";
    bool stayedOpen = false;
    WhenModal<TFormReportTemplate>([&](TFormReportTemplate& editor) {
        Type(editor, "<p>{{Area}}</p>");
        fixture.questions.yesNoCancelAnswer = TQuestions::TAnswer::Cancel;
        Part<QPushButton>(editor, "BitBtnClose").click();
        stayedOpen = editor.isVisible();
        fixture.questions.yesNoCancelAnswer = TQuestions::TAnswer::Yes;
        Part<QPushButton>(editor, "BitBtnClose").click();
    });
    fixture.Action("ActionEditRoport").trigger();
    QVERIFY(stayedOpen);
    QCOMPARE(fixture.questions.asked,
             std::vector<std::string>(2, "The print template has been changed. Save it?"));
    QVERIFY(fixture.reporter.messages.empty());
    QCOMPARE(ReadFile(templateFile), std::string("<p>{{Area}}</p>"));
}

void PrintTest::editorSpeaksTheLanguageFile()
{
    MainWindowFixture fixture(ShippedLanguageFile("de"));
    QVERIFY(fixture.Start());
    QVERIFY(fixture.OpenObjects());
    QString caption;
    QString save;
    WhenModal<TFormReportTemplate>([&](TFormReportTemplate& editor) {
        caption = editor.windowTitle();
        save = Part<QPushButton>(editor, "ButtonSave").text();
        Part<QPushButton>(editor, "BitBtnClose").click();
    });
    fixture.Action("ActionEditRoport").trigger();
    QCOMPARE(caption, QString("Druckvorlage"));
    QCOMPARE(save, QString("Speichern"));
}

QTEST_MAIN(PrintTest)
#include "PrintTest.moc"
