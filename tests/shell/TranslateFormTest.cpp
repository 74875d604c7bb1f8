#include "TestWindow.h"
#include "settings/SettingsAccess.h"
#include "shell/ComponentTexts.h"
#include "shell/TFormLanguage.h"
#include "support/TempFolder.h"

#include <sys/stat.h>

#include <QTest>

using namespace varnolux;
using varnolux::test::TestWindow;

namespace {

QByteArray Section(const QByteArray& body)
{
    return "[FormTest]\n" + body;
}

QString Joined(const QStringList& texts)
{
    return texts.join('|');
}

QStringList ListTexts(const QListWidget& list)
{
    QStringList texts;
    for (int row = 0; row < list.count(); ++row)
        texts.append(list.item(row)->text());
    return texts;
}

// What a row of the table looks at, as one text.
QString Probe(const TestWindow& w, const QString& probe)
{
    if (probe == "caption")
        return w.Window.windowTitle();
    if (probe == "label")
        return w.Label->text();
    if (probe == "labelHint")
        return w.Label->toolTip() + "/" + w.Label->statusTip();
    if (probe == "inner")
        return w.InnerLabel->text();
    if (probe == "button")
        return w.Button->text() + "/" + w.CheckBox->text();
    if (probe == "group")
        return w.GroupBox->title();
    if (probe == "radioGroup") {
        QStringList items;
        for (const QRadioButton* button :
             w.RadioGroup->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly))
            items.append(button->text());
        return w.RadioGroup->title() + ":" + Joined(items);
    }
    if (probe == "namedRadio")
        return w.NamedRadio->text();
    if (probe == "memo")
        return Joined(w.Memo->toPlainText().split('\n'));
    if (probe == "checkList")
        return Joined(ListTexts(*w.CheckList));
    if (probe == "plainList")
        return Joined(ListTexts(*w.PlainList));
    if (probe == "combo") {
        QStringList items;
        for (int index = 0; index < w.Combo->count(); ++index)
            items.append(w.Combo->itemText(index));
        return Joined(items);
    }
    if (probe == "valueList") {
        QStringList entries;
        for (int row = 0; row < w.ValueList->EntryCount(); ++row)
            entries.append(w.ValueList->EntryName(row) + "=" + w.ValueList->EntryValue(row));
        return Joined(entries);
    }
    if (probe == "editLabel")
        return w.LabeledEdit->EditLabel()->text();
    if (probe == "plainEdit")
        return w.PlainEdit->text() + "/" +
               QString::number(w.PlainEdit->dynamicPropertyNames().size()) + "/" +
               QString::number(w.Timer->dynamicPropertyNames().size());
    if (probe == "plot")
        return w.Plot->BottomAxisCaption();
    if (probe == "tabs")
        return w.Tabs->tabText(0) + "|" + w.Tabs->tabText(1);
    if (probe == "action")
        return w.Action->text() + "/" + w.Action->toolTip() + "/" + w.Action->statusTip();
    if (probe == "menu")
        return w.Menu->title();
    if (probe == "child")
        return w.ChildLabel->text() + "/" + w.Child->windowTitle();
    qFatal("unknown probe");
}

std::string WriteLanguageFile(const test::TempFolder& folder, const QByteArray& bytes)
{
    const std::string fileName = folder.File("VXLang.ini");
    test::WriteFile(fileName, bytes.toStdString());
    return fileName;
}

} // namespace

class TranslateFormTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void rules_data();
    void rules();
    void unknownPropertiesCreateNothing();
    void missingFileChangesNothing();
    void bytesInMemory_data();
    void bytesInMemory();
    void translatesEveryWindowOfTheList();
    void relativeNamesAreTakenInTheProgramFolder();
    void readOnlyFileStillTranslates();
    void kindsOfComponents();
    void ownershipOrderSkipsOtherWindows();
};

void TranslateFormTest::rules_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("probe");
    QTest::addColumn<QString>("expected");

    QTest::newRow("window caption") << Section("FormTest.Caption=Translated") << "caption"
                                    << "Translated";
    QTest::newRow("empty window caption keeps it") << Section("FormTest.Caption=") << "caption"
                                                   << "Test window";
    QTest::newRow("empty file") << QByteArray() << "caption"
                                << "Test window";
    QTest::newRow("other section")
        << QByteArray("[FormOther]\nFormTest.LabelA.Caption=Beta") << "label"
        << "Alpha";
    QTest::newRow("label caption") << Section("FormTest.LabelA.Caption=Beta") << "label"
                                   << "Beta";
    QTest::newRow("empty label caption keeps it") << Section("FormTest.LabelA.Caption=") << "label"
                                                  << "Alpha";
    QTest::newRow("case-blind section and key")
        << QByteArray("[formTEST]\nFORMTEST.labela.CAPTION=Gamma") << "label"
        << "Gamma";
    QTest::newRow("spaces and comments")
        << Section(";FormTest.LabelA.Caption=Comment\n\n   FormTest.LabelA.Caption  =  Spaced  ")
        << "label"
        << "Spaced";
    QTest::newRow("UTF-8") << Section("FormTest.LabelA.Caption=S\xc3\xa4ttigung") << "label"
                           << "Sättigung";
    QTest::newRow("Windows-1252") << Section("FormTest.LabelA.Caption=S\xe4ttigung \x80") << "label"
                                  << "Sättigung €";
    QTest::newRow("hint sets tool tip and status tip")
        << Section("FormTest.LabelA.Hint=Tip") << "labelHint"
        << "Tip/Tip";
    QTest::newRow("hint with a long part")
        << Section("FormTest.LabelA.Hint=Short|Long text") << "labelHint"
        << "Short/Long text";
    QTest::newRow("empty hint keeps it") << Section("FormTest.LabelA.Hint=") << "labelHint"
                                         << "/";
    QTest::newRow("nested component") << Section("FormTest.LabelInside.Caption=Within") << "inner"
                                      << "Within";
    QTest::newRow("button and check box")
        << Section("FormTest.ButtonOk.Caption=Fine\nFormTest.CheckBoxUnits.Caption=Einheiten")
        << "button"
        << "Fine/Einheiten";
    QTest::newRow("group box title")
        << Section("FormTest.GroupBoxSave.Caption=Result file") << "group"
        << "Result file";
    QTest::newRow("tab caption") << Section("FormTest.TabSheetH.Caption=Hue image") << "tabs"
                                 << "Chart|Hue image";
    QTest::newRow("action text and hint")
        << Section("FormTest.ActionOpen.Caption=&Open...\nFormTest.ActionOpen.Hint=Open|Opens an "
                   "image")
        << "action"
        << "&Open.../Open/Opens an image";
    QTest::newRow("menu title") << Section("FormTest.MenuFile.Caption=&Datei") << "menu"
                                << "&Datei";
    QTest::newRow("memo lines with a gap")
        << Section("FormTest.MemoInfo.Lines[0]=a\nFormTest.MemoInfo.Lines[1]=b\n"
                   "FormTest.MemoInfo.Lines[3]=d")
        << "memo"
        << "a|b";
    QTest::newRow("memo without Lines[0] keeps its lines")
        << Section("FormTest.MemoInfo.Lines[1]=b") << "memo"
        << "m1|m2|m3";
    QTest::newRow("memo with an empty line")
        << Section("FormTest.MemoInfo.Lines[0]=\nFormTest.MemoInfo.Lines[1]=z") << "memo"
        << "|z";
    QTest::newRow("check list item blanked by an empty value")
        << Section("FormTest.CheckListBoxSteps.Items[1]=\nFormTest.CheckListBoxSteps.Items[2]=x")
        << "checkList"
        << "c1||x";
    QTest::newRow("check list keeps items beyond its count")
        << Section("FormTest.CheckListBoxSteps.Items[3]=x") << "checkList"
        << "c1|c2|c3";
    QTest::newRow("check list ignores the value fsdef")
        << Section("FormTest.CheckListBoxSteps.Items[0]=fsdef") << "checkList"
        << "c1|c2|c3";
    QTest::newRow("plain list box is not translated")
        << Section("FormTest.ListBoxPlain.Items[0]=x") << "plainList"
        << "c1|c2|c3";
    QByteArray tenItems;
    for (int k = 0; k < 10; ++k)
        tenItems += "FormTest.ComboBoxZoom.Items[" + QByteArray::number(k) + "]=z" +
                    QByteArray::number(k) + "\n";
    QTest::newRow("combo box with more keys than items") << Section(tenItems) << "combo"
                                                         << "z0|z1|z2|z3|z4|z5|z6";
    QTest::newRow("combo box keeps items with empty values")
        << Section("FormTest.ComboBoxZoom.Items[0]=\nFormTest.ComboBoxZoom.Items[6]=tiny")
        << "combo"
        << "400%|200%|150%|100%|75%|50%|tiny";
    QTest::newRow("radio group items and caption")
        << Section("FormTest.RadioGroupMode.Caption=Modus\nFormTest.RadioGroupMode.Items[0]=Eins\n"
                   "FormTest.RadioGroupMode.Items[1]=")
        << "radioGroup"
        << "Modus:Eins|Two|Three";
    QTest::newRow("named radio buttons are no radio group")
        << Section("FormTest.GroupBoxNamed.Items[0]=X") << "namedRadio"
        << "A";
    QTest::newRow("named radio button caption")
        << Section("FormTest.RadioButtonA.Caption=B") << "namedRadio"
        << "B";
    QTest::newRow("value list entries overwritten and appended")
        << Section(
               "FormTest.ValueListEditorNames.A=10\nfORMtEST.valuelisteditornames.Area=Fl\xc3\xa4"
               "che\nFormTest.ValueListEditorNamesX.b=no\nFormTest.ValueListEditorNames.=no")
        << "valueList"
        << "a=10|Area=Fläche";
    QTest::newRow("labelled edit label")
        << Section("FormTest.LabeledEditHMin.EditLabel.Caption=Hue") << "editLabel"
        << "Hue";
    QTest::newRow("labelled edit label blanked by an empty value")
        << Section("FormTest.LabeledEditHMin.EditLabel.Caption=") << "editLabel"
        << "";
    QTest::newRow("labelled edit label without key")
        << Section("FormTest.LabeledEditHMin.Caption=x") << "editLabel"
        << "Hue min";
    QTest::newRow("plot bottom axis")
        << Section("FormTest.sp_XYPlot.BottomAxis.Caption=Value") << "plot"
        << "Value";
    QTest::newRow("plot bottom axis blanked by an empty value")
        << Section("FormTest.sp_XYPlot.BottomAxis.Caption=") << "plot"
        << "";
    QTest::newRow("caption of a component without one")
        << Section("FormTest.EditPlain.Caption=x\nFormTest.Timer1.Caption=x\n"
                   "FormTest.Timer1.Hint=x")
        << "plainEdit"
        << "plain/0/0";
    QTest::newRow("components of another window")
        << Section("FormTest.LabelChild.Caption=x\nFormTest.FormChild.Caption=y") << "child"
        << "Child label/Child";
}

void TranslateFormTest::rules()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, probe);
    QFETCH(QString, expected);
    const test::TempFolder folder;
    TestWindow window;
    QVERIFY(TFormLanguage::ApplyLanguageToForm(WriteLanguageFile(folder, file), window.Window));
    QCOMPARE(Probe(window, probe), expected);
}

void TranslateFormTest::unknownPropertiesCreateNothing()
{
    TestWindow window;
    QVERIFY(!TFormLanguage::SetStringProperty(*window.Label, "Text", "x"));
    QVERIFY(!TFormLanguage::SetStringProperty(*window.PlainEdit, "Caption", "x"));
    QVERIFY(!TFormLanguage::SetStringProperty(*window.Timer, "Hint", "x"));
    QVERIFY(window.Label->dynamicPropertyNames().isEmpty());
    QVERIFY(window.PlainEdit->dynamicPropertyNames().isEmpty());
    QCOMPARE(window.Label->text(), QString("Alpha"));
    QCOMPARE(window.PlainEdit->text(), QString("plain"));
    QVERIFY(TFormLanguage::SetStringProperty(*window.Label, "cAPTION", "Beta"));
    QCOMPARE(window.Label->text(), QString("Beta"));
}

void TranslateFormTest::missingFileChangesNothing()
{
    const test::TempFolder folder;
    TestWindow window;
    QVERIFY(!TFormLanguage::ApplyLanguageToForm(folder.File("missing.ini"), window.Window));
    QVERIFY(!TFormLanguage::ApplyLanguageFile(folder.File("missing.ini"), {&window.Window}));
    QVERIFY(!TFormLanguage::ApplyLanguageToForm(folder.Path().string(), window.Window));
    QVERIFY(!TFormLanguage::OpenLanguageFile(folder.File("missing.ini")));
    QCOMPARE(window.Window.windowTitle(), QString("Test window"));
}

void TranslateFormTest::bytesInMemory_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("caption");
    QTest::newRow("empty") << QByteArray() << "Test window";
    QTest::newRow("binary") << QByteArray("\0\x01\xff[FormTest]\0=\n", 13) << "Test window";
    QTest::newRow("only a bracket") << QByteArray("[") << "Test window";
    QTest::newRow("keys before any section") << QByteArray("FormTest.Caption=x\n") << "Test window";
    QTest::newRow("a very long caption")
        << Section("FormTest.Caption=" + QByteArray(100000, 'x')) << QString(2047, 'x');
    QTest::newRow("caption with format characters")
        << Section("FormTest.Caption=%s %n %d %%") << "%s %n %d %%";
    QTest::newRow("broken UTF-8") << Section("FormTest.Caption=\xc3(\xe2\x82") << "Ã(â‚";
}

void TranslateFormTest::bytesInMemory()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, caption);
    TestWindow window;
    TFormLanguage::ApplyLanguageDocument(TIniDocument::Parse(bytes.toStdString()),
                                         {&window.Window, window.Child});
    QCOMPARE(window.Window.windowTitle(), caption);
    QCOMPARE(window.Label->text(), QString("Alpha"));
}

void TranslateFormTest::translatesEveryWindowOfTheList()
{
    const test::TempFolder folder;
    TestWindow window;
    QWidget unnamed;
    unnamed.setWindowTitle("unnamed");
    const std::string file =
        WriteLanguageFile(folder, "[FormTest]\nFormTest.Caption=Main\n[FormChild]\n"
                                  "FormChild.Caption=Dialog\nFormChild.LabelChild.Caption=Own\n"
                                  "[Program]\n.Caption=Program\n");
    QVERIFY(TFormLanguage::ApplyLanguageFile(file, {&window.Window, window.Child, &unnamed}));
    QCOMPARE(window.Window.windowTitle(), QString("Main"));
    QCOMPARE(window.Child->windowTitle(), QString("Dialog"));
    QCOMPARE(window.ChildLabel->text(), QString("Own"));
    QCOMPARE(unnamed.windowTitle(), QString("unnamed"));
}

void TranslateFormTest::relativeNamesAreTakenInTheProgramFolder()
{
    // The build puts the English language file next to the programs.
    TFormLanguage form;
    QVERIFY(TFormLanguage::ApplyLanguageToForm("VXLang.ini", form));
    QCOMPARE(form.MessageText("NoFloat"), std::string("Not a valid floating-point number"));
    QVERIFY(!TFormLanguage::ApplyLanguageToForm("VXLang-missing.ini", form));
}

void TranslateFormTest::readOnlyFileStillTranslates()
{
    const test::TempFolder folder;
    const std::string file =
        WriteLanguageFile(folder, "[FormTest]\nFormTest.LabelA.Caption=Beta\n[FormLanguage]\n"
                                  "FormLanguage.NoManual=No manual\n");
    QCOMPARE(ReadConfigString(file, "FormLanguage", "FormLanguage.NoManual", ""),
             std::string("No manual"));
    QCOMPARE(::chmod(file.c_str(), 0444), 0);
    TestWindow window;
    QVERIFY(TFormLanguage::ApplyLanguageToForm(file, window.Window));
    QCOMPARE(window.Label->text(), QString("Beta"));
    QCOMPARE(ReadConfigString(file, "FormLanguage", "FormLanguage.NoManual", ""), std::string());
}

void TranslateFormTest::kindsOfComponents()
{
    TestWindow window;
    const std::pair<QObject*, TComponentKind> kinds[] = {
        {window.Memo, TComponentKind::Memo},
        {window.CheckList, TComponentKind::CheckListBox},
        {window.PlainList, TComponentKind::Other},
        {window.ValueList, TComponentKind::ValueListEditor},
        {window.RadioGroup, TComponentKind::RadioGroup},
        {window.NamedRadios, TComponentKind::Other},
        {window.GroupBox, TComponentKind::Other},
        {window.Combo, TComponentKind::ComboBox},
        {window.LabeledEdit, TComponentKind::LabeledEdit},
        {window.PlainEdit, TComponentKind::Other},
        {window.Plot, TComponentKind::XYPlot},
        {window.Timer, TComponentKind::Other},
    };
    for (const auto& [component, kind] : kinds)
        QVERIFY2(ComponentKind(*component) == kind, qPrintable(component->objectName()));
    QListWidget emptyList;
    QCOMPARE(ComponentKind(emptyList), TComponentKind::Other);
}

void TranslateFormTest::ownershipOrderSkipsOtherWindows()
{
    TestWindow window;
    QStringList names;
    for (const QObject* component : OwnedComponents(window.Window))
        names.append(component->objectName());
    // Showing a tab page raises it, which moves it among its siblings.
    const qsizetype pages = names.indexOf("PageControlPlasma") + 1;
    QVERIFY(names.mid(pages, 2).contains("TabSheetChart"));
    QVERIFY(names.mid(pages, 2).contains("TabSheetH"));
    names.remove(pages, 2);
    QCOMPARE(names, QStringList({"LabelA",
                                 "ButtonOk",
                                 "CheckBoxUnits",
                                 "GroupBoxSave",
                                 "LabelInside",
                                 "RadioGroupMode",
                                 "GroupBoxNamed",
                                 "RadioButtonA",
                                 "MemoInfo",
                                 "CheckListBoxSteps",
                                 "ListBoxPlain",
                                 "ComboBoxZoom",
                                 "ValueListEditorNames",
                                 "LabeledEditHMin",
                                 "EditPlain",
                                 "sp_XYPlot",
                                 "PageControlPlasma",
                                 "ActionOpen",
                                 "MenuFile",
                                 "Timer1"}));
}

QTEST_MAIN(TranslateFormTest)
#include "TranslateFormTest.moc"
