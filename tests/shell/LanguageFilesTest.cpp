#include "TestWindow.h"
#include "base/Messages.h"
#include "base/Paths.h"
#include "settings/IniDocument.h"
#include "settings/Language.h"
#include "shell/LanguageTemplate.h"
#include "shell/TFormLanguage.h"
#include "shell/TProgramWindows.h"
#include "support/TempFolder.h"

#include <set>

#include <QProcess>
#include <QTest>

using namespace varnolux;
using varnolux::test::TestWindow;

namespace {

const std::string LanguageFolder = VARNOLUX_LANGUAGE_FOLDER;
const char* const LanguageFiles[] = {"VXLang-en.ini", "VXLang-de.ini"};
// Texts the program looks up by key instead of through a component.
const std::set<std::string> DirectKeys = {"FormLanguage.ExclBordersDontFit",
                                          "FormLanguage.NoManual", "FormLanguage.LanguageCode",
                                          "FormOptions.LabelMeasure.Caption"};

std::string SectionOf(const std::string& key)
{
    return key.substr(0, key.find('.'));
}

// The keys of every section of a language file.
std::set<std::pair<std::string, std::string>> AllKeys(const TIniDocument& file,
                                                      const std::vector<std::string>& sections)
{
    std::set<std::pair<std::string, std::string>> keys;
    for (const std::string& section : sections)
        for (const std::string& key : file.Keys(section))
            keys.insert({section, key});
    return keys;
}

// The section names of a language file, in file order.
std::vector<std::string> Sections(const std::string& bytes)
{
    std::vector<std::string> sections;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos)
            end = bytes.size();
        const std::string line = bytes.substr(start, end - start);
        if (line.starts_with('[') && line.ends_with(']'))
            sections.push_back(line.substr(1, line.size() - 2));
        start = end + 1;
    }
    return sections;
}

// The template of the program's windows as they are laid out.
std::string ProgramTemplate()
{
    const test::TempFolder folder;
    const TProgramWindows windows(TProgramFiles::InFolder(folder.Path().string() + "/"));
    return windows.LanguageKeys();
}

TIniDocument LoadShipped(const std::string& name)
{
    auto document = TIniDocument::Load(LanguageFolder + "/" + name);
    if (!document)
        qFatal("cannot read %s", name.c_str());
    return *document;
}

// A language file of the sections with every value marked, so that each text differs.
std::string Marked(const std::string& templateText, const std::vector<std::string>& sections)
{
    TIniDocument marked = TIniDocument::Parse(templateText);
    for (const std::string& section : sections)
        for (const std::string& key : marked.Keys(section))
            marked.SetValue(section, key, *marked.Value(section, key) + "!");
    return marked.Serialize();
}

size_t Placeholders(const std::string& text)
{
    size_t count = 0;
    for (size_t at = text.find("%s"); at != std::string::npos; at = text.find("%s", at + 2))
        ++count;
    return count;
}

} // namespace

class LanguageFilesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void templateOfASmallWindow();
    void templateOfAnEmptyWindow();
    void templateKeysTranslateBack();
    void shippedFilesCoverTheLanguageForm();
    void shippedFilesCoverEveryWindow();
    void shippedFilesAgreeOnPlaceholders();
    void shippedFilesTranslate();
    void theTemplateProgramPrintsTheProgramsKeys();
    void buildPutsTheEnglishFileNextToThePrograms();
};

void LanguageFilesTest::templateOfASmallWindow()
{
    QWidget window;
    window.setObjectName("FormSmall");
    window.setWindowTitle("Small");
    auto* label = TestWindow::Make<QLabel>("LabelA", &window);
    label->setText("Alpha");
    label->setToolTip("Short");
    label->setStatusTip("Long");
    TestWindow::Make<QLabel>("LabelEmpty", &window);
    (new QLabel("unnamed", &window))->setToolTip("unnamed");
    TestWindow::Make<QAction>("ActionOpen", &window)->setText("&Open...");
    auto* save = TestWindow::Make<QAction>("ActionSave", &window);
    save->setText("Save");
    save->setToolTip("Save the result");
    TestWindow::Make<TLabeledEdit>("LabeledEditHMin", &window);
    TestWindow::Make<QComboBox>("ComboBoxUnits", &window)->addItems({"nm", "µm"});
    TestWindow::Make<QPlainTextEdit>("MemoInfo", &window)->setPlainText("one\ntwo");
    TestWindow::Make<TValueListEditor>("ValueListEditorNames", &window)->SetValue("Area", "Fläche");
    TestWindow::Make<Tsp_XYPlot>("sp_XYPlot", &window);
    auto* dialog = TestWindow::Make<QDialog>("FormDialog", &window);
    dialog->setWindowTitle("Dialog");
    TestWindow::Make<QLabel>("LabelDialog", dialog)->setText("In the dialog");
    QWidget unnamedWindow;
    unnamedWindow.setWindowTitle("unnamed");

    QCOMPARE(QString::fromStdString(LanguageTemplate({&window, &unnamedWindow, dialog})),
             QString("[FormSmall]\n"
                     "FormSmall.Caption=Small\n"
                     "FormSmall.LabelA.Caption=Alpha\n"
                     "FormSmall.LabelA.Hint=Short|Long\n"
                     "FormSmall.ActionOpen.Caption=&Open...\n"
                     "FormSmall.ActionSave.Caption=Save\n"
                     "FormSmall.ActionSave.Hint=Save the result\n"
                     "FormSmall.LabeledEditHMin.EditLabel.Caption=\n"
                     "FormSmall.ComboBoxUnits.Items[0]=nm\n"
                     "FormSmall.ComboBoxUnits.Items[1]=µm\n"
                     "FormSmall.MemoInfo.Lines[0]=one\n"
                     "FormSmall.MemoInfo.Lines[1]=two\n"
                     "FormSmall.ValueListEditorNames.Area=Fläche\n"
                     "FormSmall.sp_XYPlot.BottomAxis.Caption=\n"
                     "\n"
                     "[FormDialog]\n"
                     "FormDialog.Caption=Dialog\n"
                     "FormDialog.LabelDialog.Caption=In the dialog\n"));
}

void LanguageFilesTest::templateOfAnEmptyWindow()
{
    QWidget window;
    window.setObjectName("FormEmpty");
    QCOMPARE(LanguageTemplate({&window}), std::string());
    QCOMPARE(LanguageTemplate({}), std::string());
}

void LanguageFilesTest::templateKeysTranslateBack()
{
    TestWindow original;
    original.Label->setToolTip("Tip");
    original.Action->setStatusTip("Opens an image");
    const std::vector<QWidget*> originalWindows = {&original.Window, original.Child};
    const std::string expected = LanguageTemplate(originalWindows);

    TestWindow copy;
    copy.Label->setToolTip("Tip");
    copy.Action->setStatusTip("Opens an image");
    const std::vector<QWidget*> copyWindows = {&copy.Window, copy.Child};
    const test::TempFolder folder;
    const std::string file = folder.File("VXLang.ini");

    // Every key of the template reaches its text: all of them change, then all come back.
    const std::vector<std::string> sections = {"FormTest", "FormChild"};
    test::WriteFile(file, Marked(expected, sections));
    QVERIFY(TFormLanguage::ApplyLanguageFile(file, copyWindows));
    const TIniDocument marked = TIniDocument::Parse(LanguageTemplate(copyWindows));
    const TIniDocument unmarked = TIniDocument::Parse(expected);
    QVERIFY(unmarked.Keys("FormTest").size() > 30);
    for (const std::string& section : sections)
        for (const std::string& key : unmarked.Keys(section))
            QCOMPARE(marked.Value(section, key),
                     std::optional(*unmarked.Value(section, key) + "!"));
    test::WriteFile(file, expected);
    QVERIFY(TFormLanguage::ApplyLanguageFile(file, copyWindows));
    QCOMPARE(LanguageTemplate(copyWindows), expected);
}

void LanguageFilesTest::shippedFilesCoverTheLanguageForm()
{
    TFormLanguage form;
    const TIniDocument keys = TIniDocument::Parse(LanguageTemplate({&form}));
    const std::vector<std::string> formKeys = keys.Keys("FormLanguage");
    QVERIFY(formKeys.size() > 60);
    const std::set<std::string> known(formKeys.begin(), formKeys.end());
    for (const char* name : LanguageFiles) {
        const TIniDocument file = LoadShipped(name);
        QVERIFY2(file.Problems().empty(), name);
        for (const std::string& key : formKeys)
            QVERIFY2(file.Value("FormLanguage", key), (std::string(name) + ": " + key).c_str());
        for (const std::string& key : file.Keys("FormLanguage"))
            QVERIFY2(known.contains(key) || DirectKeys.contains(key),
                     (std::string(name) + ": " + key).c_str());
        for (const std::string& key : DirectKeys)
            if (SectionOf(key) == "FormLanguage")
                QVERIFY2(!file.Value("FormLanguage", key).value_or("").empty(), key.c_str());
    }
}

void LanguageFilesTest::shippedFilesCoverEveryWindow()
{
    const std::string keysText = ProgramTemplate();
    const std::vector<std::string> windows = Sections(keysText);
    QCOMPARE(windows, (std::vector<std::string>{
                          "FormMain", "AboutBox", "MeasureDlgForm", "FormMeasure", "FormOptions",
                          "FormSelectionByMouse", "FormLanguage", "FormSHADlg", "FormVerify",
                          "FormFullImage", "FormRegionSelection", "FormReportTemplate"}));
    const auto expected = AllKeys(TIniDocument::Parse(keysText), windows);
    QVERIFY(expected.size() > 180);
    for (const char* name : LanguageFiles) {
        const std::string bytes = test::ReadFile(LanguageFolder + "/" + name);
        const TIniDocument file = TIniDocument::Parse(bytes);
        QVERIFY2(file.Problems().empty(), name);
        QCOMPARE(Sections(bytes), windows);
        const auto shipped = AllKeys(file, windows);
        for (const auto& key : expected)
            QVERIFY2(shipped.contains(key), (std::string(name) + " lacks " + key.second).c_str());
        for (const auto& [section, key] : shipped) {
            QVERIFY2(expected.contains({section, key}) || DirectKeys.contains(key),
                     (std::string(name) + " has the unknown key " + key).c_str());
            QCOMPARE(SectionOf(key), section);
        }
        for (const std::string& key : DirectKeys)
            QVERIFY2(!file.Value(SectionOf(key), key).value_or("").empty(), key.c_str());
    }
}

void LanguageFilesTest::shippedFilesAgreeOnPlaceholders()
{
    const TIniDocument english = LoadShipped("VXLang-en.ini");
    const TIniDocument german = LoadShipped("VXLang-de.ini");
    const std::string keysText = ProgramTemplate();
    const std::vector<std::string> windows = Sections(keysText);
    QCOMPARE(AllKeys(english, windows), AllKeys(german, windows));
    for (const auto& [section, key] : AllKeys(english, windows))
        QVERIFY2(Placeholders(*english.Value(section, key)) ==
                     Placeholders(german.Value(section, key).value_or("")),
                 key.c_str());
    // A translation keeps the placeholders the program fills in.
    const TIniDocument layout = TIniDocument::Parse(keysText);
    for (const std::string& key : layout.Keys("FormLanguage"))
        if (const size_t filled = Placeholders(*layout.Value("FormLanguage", key)); filled > 0)
            QVERIFY2(Placeholders(*english.Value("FormLanguage", key)) == filled, key.c_str());
    QCOMPARE(Placeholders(*english.Value("FormLanguage", "FormLanguage.InvalidOptionFile.Caption")),
             size_t(1));
    QCOMPARE(Placeholders(*english.Value("FormLanguage", "FormLanguage.FileNotFound.Caption")),
             size_t(1));
}

void LanguageFilesTest::shippedFilesTranslate()
{
    TFormLanguage form;
    QVERIFY(TFormLanguage::ApplyLanguageToForm(LanguageFolder + "/VXLang-de.ini", form));
    QCOMPARE(form.windowTitle(), QString("Sprache"));
    QCOMPARE(form.MessageText("FileNotFound"), std::string("Datei %s nicht gefunden."));
    QCOMPARE(form.MessageText("LSaveImageError"),
             std::string("Das analysierte Bild konnte nicht als %s gespeichert werden: %s"));
    QVERIFY(TFormLanguage::ApplyLanguageToForm(LanguageFolder + "/VXLang-en.ini", form));
    QCOMPARE(form.windowTitle(), QString("Language"));
    QCOMPARE(form.MessageText("NoFloat"), std::string("Not a valid floating-point number"));
    QCOMPARE(form.MessageText("InvalidOptionFile"),
             std::string("The options file %s cannot be read."));
}

void LanguageFilesTest::theTemplateProgramPrintsTheProgramsKeys()
{
    QProcess program;
    program.start(VARNOLUX_LANGUAGE_TEMPLATE, QStringList());
    QVERIFY(program.waitForFinished(60000));
    QCOMPARE(program.exitCode(), 0);
    QCOMPARE(program.readAllStandardOutput().toStdString(), ProgramTemplate());

    QProcess misused;
    misused.start(VARNOLUX_LANGUAGE_TEMPLATE, {"extra"});
    QVERIFY(misused.waitForFinished(60000));
    QCOMPARE(misused.exitCode(), 2);
    QVERIFY(misused.readAllStandardOutput().isEmpty());
}

void LanguageFilesTest::buildPutsTheEnglishFileNextToThePrograms()
{
    QCOMPARE(test::ReadFile(ProgramFolder() + "VXLang.ini"),
             test::ReadFile(LanguageFolder + "/VXLang-en.ini"));
    // The core's messages looked up by key then come from it.
    QVERIFY(LanguageText("FormLanguage", "FormLanguage.ExclBordersDontFit")
                .starts_with("Exclusion borders do not fit"));
}

QTEST_MAIN(LanguageFilesTest)
#include "LanguageFilesTest.moc"
