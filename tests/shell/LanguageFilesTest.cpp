#include "TestWindow.h"
#include "settings/IniDocument.h"
#include "settings/Messages.h"
#include "settings/ProgramInfo.h"
#include "shell/LanguageTemplate.h"
#include "shell/TFormLanguage.h"
#include "support/TempFolder.h"

#include <set>

#include <QTest>

using namespace varnolux;
using varnolux::test::TestWindow;

namespace {

const std::string LanguageFolder = VARNOLUX_LANGUAGE_FOLDER;
const char* const LanguageFiles[] = {"VXLang-en.ini", "VXLang-de.ini"};
// Texts the program looks up by key instead of through a component.
const std::set<std::string> DirectKeys = {"FormLanguage.ExclBordersDontFit",
                                          "FormLanguage.NoManual"};

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
    void shippedFilesAgreeOnPlaceholders();
    void shippedFilesTranslate();
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
            QVERIFY2(!file.Value("FormLanguage", key).value_or("").empty(), key.c_str());
    }
}

void LanguageFilesTest::shippedFilesAgreeOnPlaceholders()
{
    const TIniDocument english = LoadShipped("VXLang-en.ini");
    const TIniDocument german = LoadShipped("VXLang-de.ini");
    for (const std::string& key : english.Keys("FormLanguage"))
        QVERIFY2(Placeholders(*english.Value("FormLanguage", key)) ==
                     Placeholders(german.Value("FormLanguage", key).value_or("")),
                 key.c_str());
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
             std::string("Das Bild konnte nicht gespeichert werden."));
    QVERIFY(TFormLanguage::ApplyLanguageToForm(LanguageFolder + "/VXLang-en.ini", form));
    QCOMPARE(form.windowTitle(), QString("Language"));
    QCOMPARE(form.MessageText("NoFloat"), std::string("Not a valid floating-point number"));
    QCOMPARE(form.MessageText("InvalidOptionFile"),
             std::string("The options file %s cannot be read."));
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
