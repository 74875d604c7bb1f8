#include "base/Messages.h"
#include "report/ReportTemplate.h"
#include "report/TReport.h"
#include "results/TResultTable.h"
#include "settings/ProgramInfo.h"
#include "support/PdfText.h"
#include "support/RecordingReporter.h"
#include "support/TempFolder.h"

#include <filesystem>

#include <QTest>

using namespace varnolux;

namespace {

/// A value for every result item that shows where it lands: "v-AreaPixel" …; the
/// path and name of an image file.
TReportData KnownData()
{
    TReportData data;
    data.ImageFile = "/lab/images/leaf.png";
    data.ImageFileBytes = 123456;
    data.ImageWidth = 400;
    data.ImageHeight = 100;
    for (const char* name : ResultItemNames())
        data.Items.AddString(name, std::string("v-") + name);
    data.Items.AddString("Path", "/lab/images/");
    data.Items.AddString("Name", "leaf.png");
    data.Items.AddString("HMin", "240");
    data.Items.AddString("HMax", "15");
    data.Items.AddString("SMin", "50");
    data.Items.AddString("SMax", "255");
    data.Items.AddString("VMin", "20");
    data.Items.AddString("VMax", "200");
    data.Items.AddString("Measure", "10");
    data.Items.AddString("Unit", "mm");
    data.Settings.Options.EditMinRegion = "12.5";
    data.Settings.Options.lCheckBoxUnits = true;
    data.SourcePicture = QImage(400, 100, QImage::Format_RGB32);
    data.SourcePicture.fill(Qt::darkGreen);
    data.AnalysedPicture = QImage(400, 100, QImage::Format_RGB32);
    data.AnalysedPicture.fill(Qt::red);
    data.Made = QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7));
    return data;
}

QString Fill(const char* html, const TReportData& data = KnownData())
{
    return FillReportTemplate(QString::fromUtf8(html), data);
}

} // namespace

class ReportTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void placeholders_data();
    void placeholders();
    void areaLimits_data();
    void areaLimits();
    void wordsOfTheLanguageFile();
    void valuesAreEscaped();
    void picturesFitTheirBox();
    void builtInReportHoldsEverything();
    void templateWithoutAPlaceholder();
    void longTemplateStaysOnOnePage();
    void pdfThatCannotBeWritten();
    void templateFileFromSettings_data();
    void templateFileFromSettings();
    void loadTemplate_data();
    void loadTemplate();
    void saveTemplate();
};

void ReportTest::placeholders_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("expected");
    const auto row = [](const char* name, const char* html, const QString& expected) {
        QTest::newRow(name) << QString::fromUtf8(html) << expected;
    };
    row("result item", "<p>{{Name}}</p>", "<p>leaf.png</p>");
    row("every occurrence", "{{Count}}{{Count}}", "v-Countv-Count");
    row("program", "{{Program}} {{Version}}",
        QString::fromStdString(VerInfo().GetVerInfo(7) + " " + ProgramVersionText()));
    row("report time", "{{ReportDateTime}}", "2026-03-04 05:06:07");
    row("image file", "{{ImageFile}}: {{ImageFileSize}}, {{ImageDimensions}}",
        "/lab/images/leaf.png: 123456 bytes, 400 × 100 pixels");
    row("hue through red", "{{ColourRange}}",
        "hue 240–15 (through red), saturation 50–255, brightness 20–200");
    row("minimum size in units", "{{MinimumSize}}", "12.5 mm²");
    row("calibration", "{{Calibration}}", "10 pixels per mm");
    row("report word", "{{Text.Image}}: {{Text.Results}}", "Image: Results");
    row("unknown word", "{{Text.Aera}}", "{{Text.Aera}}");
    row("unknown name", "{{Aera}}", "{{Aera}}");
    row("size on an item", "{{Name:10x10}}", "{{Name:10x10}}");
    row("blanks inside", "{{ Name }}", "{{ Name }}");
    row("single braces", "{Name}", "{Name}");
    row("no placeholder", "plain <b>text</b>", "plain <b>text</b>");
    row("empty", "", "");
}

void ReportTest::placeholders()
{
    QFETCH(QString, html);
    QFETCH(QString, expected);
    QCOMPARE(FillReportTemplate(html, KnownData()), expected);
}

void ReportTest::areaLimits_data()
{
    QTest::addColumn<bool>("borders");
    QTest::addColumn<bool>("circle");
    QTest::addColumn<QString>("expected");
    const QString bordersText = "borders excluded: left 1, top 2, right 3, bottom 4 pixels";
    const QString circleText = "inclusion circle: centre 50, 60, diameter 70 pixels";
    QTest::newRow("none") << false << false << QString("the whole image");
    QTest::newRow("borders") << true << false << bordersText;
    QTest::newRow("circle") << false << true << circleText;
    QTest::newRow("both") << true << true << bordersText + "; " + circleText;
}

void ReportTest::areaLimits()
{
    QFETCH(bool, borders);
    QFETCH(bool, circle);
    QFETCH(QString, expected);
    TReportData data = KnownData();
    TOptions& options = data.Settings.Options;
    options.lUseExclRect = borders;
    options.lUseInclCircle = circle;
    options.iExclRectLeft = 1;
    options.iExclRectUp = 2;
    options.iExclRectRight = 3;
    options.iExclRectDown = 4;
    options.iInclCircleX = 50;
    options.iInclCircleY = 60;
    options.iInclCircleDiam = 70;
    QCOMPARE(Fill("{{AreaLimits}}", data), expected);
}

void ReportTest::wordsOfTheLanguageFile()
{
    TReportData data = KnownData();
    data.Texts = ReadReportTexts(std::string(VARNOLUX_LANGUAGE_FOLDER) + "/VXLang-de.ini");
    QCOMPARE(data.Texts.size(), ReportTextDefaults().size());
    QCOMPARE(Fill("{{Text.Image}}|{{ColourRange}}|{{AreaLimits}}|{{Calibration}}", data),
             QString("Bild|Farbton 240–15 (über Rot), Sättigung 50–255, Helligkeit 20–200|"
                     "das ganze Bild|10 Pixel pro mm"));
    const test::TempFolder folder;
    const std::string pdf = folder.File("bericht.pdf");
    QVERIFY(WriteReportPdf(BuiltInReportTemplate(), data, pdf));
    const std::string text = test::PdfText(pdf);
    for (const char* expected : {"Analysebericht", "Mindestgröße 12.5 mm²", "Ergebnisse"})
        QVERIFY2(text.find(expected) != std::string::npos, expected);

    // A word the file does not translate is English; a file that is not there has none.
    data.Texts.erase("WholeImage");
    QCOMPARE(Fill("{{AreaLimits}}", data), QString("the whole image"));
    QVERIFY(ReadReportTexts(folder.File("VXLang.ini")).empty());
}

void ReportTest::valuesAreEscaped()
{
    TReportData data = KnownData();
    data.ImageFile = "/lab/<b>&\"x\"</b>.png";
    data.Items.AddString("Name", "a<&>b.png");
    data.Items.AddString("Unit", "<i>");
    data.Settings.Options.EditMinRegion = "<1>";
    QCOMPARE(Fill("<p>{{Name}}|{{ImageFile}}|{{MinimumSize}}</p>", data),
             QString("<p>a&lt;&amp;&gt;b.png|/lab/&lt;b&gt;&amp;&quot;x&quot;&lt;/b&gt;.png|"
                     "&lt;1&gt; &lt;i&gt;²</p>"));
    QVERIFY(Fill("{{ResultTable}}", data).contains("<td>a&lt;&amp;&gt;b.png</td>"));

    // In the PDF the name reads as it is.
    const test::TempFolder folder;
    const std::string pdf = folder.File("escaped.pdf");
    QVERIFY(WriteReportPdf(BuiltInReportTemplate(), data, pdf));
    const std::string text = test::PdfText(pdf);
    QVERIFY2(text.find("a<&>b.png") != std::string::npos, text.c_str());
    QVERIFY2(text.find("/lab/<b>&\"x\"</b>.png") != std::string::npos, text.c_str());
}

void ReportTest::picturesFitTheirBox()
{
    TReportData data = KnownData();
    QCOMPARE(Fill("{{SourceImage:100x100}}", data),
             QString(R"(<img src="report:SourceImage" width="100" height="25">)"));
    QCOMPARE(Fill("{{AnalysedImage}}", data),
             QString(R"(<img src="report:AnalysedImage" width="330" height="82">)"));
    data.AnalysedPicture = {};
    QCOMPARE(Fill("[{{AnalysedImage}}]", data), QString("[]"));

    // A picture of a 24-megapixel image goes into the report scaled down.
    const QImage large(6000, 4000, QImage::Format_RGB888);
    QCOMPARE(ReportPicture(large).size(), QSize(ReportPictureSide, 800));
    const QImage small(40, 30, QImage::Format_RGB888);
    QCOMPARE(ReportPicture(small).size(), small.size());
}

void ReportTest::builtInReportHoldsEverything()
{
    const test::TempFolder folder;
    const std::string pdf = folder.File("report.pdf");
    std::string why;
    QVERIFY2(WriteReportPdf(BuiltInReportTemplate(), KnownData(), pdf, &why), why.c_str());
    QCOMPARE(test::PdfPageCount(pdf), 1);
    const std::string text = test::PdfText(pdf);
    const TReportData data = KnownData();
    for (const char* name : ResultItemNames()) {
        const std::string value = data.Items.GetValueText(name);
        QVERIFY2(text.find(value) != std::string::npos, (name + (": " + value)).c_str());
    }
    for (const char* expected :
         {"/lab/images/leaf.png", "123456 bytes", "400 × 100 pixels", "12.5 mm²",
          "10 pixels per mm", "hue 240–15 (through red)", "the whole image", "2026-03-04"})
        QVERIFY2(text.find(expected) != std::string::npos, expected);
    QVERIFY(text.find(VerInfo().GetVerInfo(7) + " " + ProgramVersionText()) != std::string::npos);
    QVERIFY(text.find("{{") == std::string::npos);
}

void ReportTest::templateWithoutAPlaceholder()
{
    // A template may leave out what it likes; it gets nothing it did not ask for.
    const test::TempFolder folder;
    const std::string pdf = folder.File("short.pdf");
    QVERIFY(WriteReportPdf("<p>{{Name}} counted {{Count}}</p>", KnownData(), pdf));
    QCOMPARE(test::PdfPageCount(pdf), 1);
    const std::string text = test::PdfText(pdf);
    QVERIFY2(text.find("leaf.png counted v-Count") != std::string::npos, text.c_str());
    QVERIFY(text.find("v-SHAResult") == std::string::npos);
}

void ReportTest::longTemplateStaysOnOnePage()
{
    QString html = "<p>first line</p>";
    for (int i = 0; i < 150; ++i)
        html += "<p>{{Name}}</p>";
    html += "<p>last line</p>";
    const test::TempFolder folder;
    const std::string pdf = folder.File("long.pdf");
    QVERIFY(WriteReportPdf(html, KnownData(), pdf));
    QCOMPARE(test::PdfPageCount(pdf), 1);
    const std::string text = test::PdfText(pdf);
    QVERIFY(text.starts_with("first line"));
    QVERIFY(text.find("last line") != std::string::npos);
}

void ReportTest::pdfThatCannotBeWritten()
{
    const test::TempFolder folder;
    const std::string cases[] = {folder.File("missing/report.pdf"), folder.Path().string()};
    for (const std::string& fileName : cases) {
        std::string why;
        QVERIFY(!WriteReportPdf(BuiltInReportTemplate(), KnownData(), fileName, &why));
        QVERIFY2(!why.empty(), fileName.c_str());
    }
    QVERIFY(!std::filesystem::exists(folder.File("missing")));
}

void ReportTest::templateFileFromSettings_data()
{
    QTest::addColumn<QString>("settings");
    QTest::addColumn<QString>("fileName"); // relative to the settings file's folder
    QTest::addColumn<bool>("named");
    QTest::newRow("no settings") << ""
                                 << "VXReport.html" << false;
    QTest::newRow("no key") << "[Report]\nOther=1\n"
                            << "VXReport.html" << false;
    QTest::newRow("empty key") << "[Report]\nTemplateFile=\n"
                               << "VXReport.html" << false;
    QTest::newRow("name") << "[Report]\nTemplateFile=lab.html\n"
                          << "lab.html" << true;
    QTest::newRow("absolute") << "[report]\ntemplatefile=/srv/lab.html\n"
                              << "/srv/lab.html" << true;
}

void ReportTest::templateFileFromSettings()
{
    QFETCH(QString, settings);
    QFETCH(QString, fileName);
    QFETCH(bool, named);
    const test::TempFolder folder;
    const std::string settingsFile = folder.File("Varnolux.ini");
    if (!settings.isEmpty())
        test::WriteFile(settingsFile, settings.toStdString());
    const TReportTemplateFile file = ReportTemplateFile(settingsFile);
    const std::string expected =
        fileName.startsWith('/') ? fileName.toStdString() : folder.File(fileName.toStdString());
    QCOMPARE(file.FileName, expected);
    QCOMPARE(file.Named, named);
}

void ReportTest::loadTemplate_data()
{
    QTest::addColumn<QString>("content"); // "(none)": no file, "(folder)": a folder
    QTest::addColumn<bool>("named");
    QTest::addColumn<bool>("used");       // the file's text is the template
    QTest::addColumn<QString>("message"); // part of the message; empty: none
    QTest::newRow("template") << "<p>{{Name}}</p>" << true << true << "";
    QTest::newRow("default template") << "<p>{{Name}}</p>" << false << true << "";
    QTest::newRow("no default file") << "(none)" << false << false << "";
    QTest::newRow("named file missing") << "(none)" << true << false << "cannot be used";
    QTest::newRow("a folder") << "(folder)" << false << false << "cannot be used";
    QTest::newRow("empty file") << "" << true << false << "the file is empty";
    QTest::newRow("blanks only") << " \n\t\n" << false << false << "the file is empty";
}

void ReportTest::loadTemplate()
{
    QFETCH(QString, content);
    QFETCH(bool, named);
    QFETCH(bool, used);
    QFETCH(QString, message);
    const test::TempFolder folder;
    const std::string fileName = folder.File("template.html");
    if (content == "(folder)")
        std::filesystem::create_directory(fileName);
    else if (content != "(none)")
        test::WriteFile(fileName, content.toStdString());
    test::RecordingReporter reporter;
    const QString loaded = LoadReportTemplate({fileName, named});
    QCOMPARE(loaded, used ? content : BuiltInReportTemplate());
    if (message.isEmpty()) {
        QVERIFY(reporter.messages.empty());
    } else {
        QCOMPARE(reporter.messages.size(), size_t(1));
        const QString text = QString::fromStdString(reporter.messages.front());
        QVERIFY2(text.contains(QString::fromStdString(fileName)), qPrintable(text));
        QVERIFY2(text.contains(message), qPrintable(text));
        QVERIFY2(text.contains("built-in template"), qPrintable(text));
    }
}

void ReportTest::saveTemplate()
{
    const test::TempFolder folder;
    std::string why;
    QVERIFY(!SaveReportTemplate(folder.File("missing/template.html"), "<p>x</p>", &why));
    QVERIFY(!why.empty());

    const std::string fileName = folder.File("template.html");
    const QString html = "<p>Bericht über {{Name}}</p>";
    QVERIFY(SaveReportTemplate(fileName, html, &why));
    test::RecordingReporter reporter;
    QCOMPARE(LoadReportTemplate({fileName, true}), html);
    QVERIFY(reporter.messages.empty());
}

QTEST_MAIN(ReportTest)
#include "ReportTest.moc"
