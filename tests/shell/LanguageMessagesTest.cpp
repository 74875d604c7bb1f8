#include "base/Messages.h"
#include "shell/MessageLabels.h"
#include "shell/TFormLanguage.h"
#include "shell/TLanguageReporter.h"
#include "shell/TQuestions.h"
#include "support/TempFolder.h"

#include <filesystem>
#include <memory>

#include <QGroupBox>
#include <QLabel>
#include <QTest>

using namespace varnolux;

namespace {

class RecordingReporter : public TReporter {
public:
    void ShowMessage(const std::string& text) override { Shown.push_back(text); }
    std::vector<std::string> Shown;
};

std::vector<std::string> Strings(const QStringList& texts)
{
    std::vector<std::string> strings;
    for (const QString& text : texts)
        strings.push_back(text.toStdString());
    return strings;
}

} // namespace

class LanguageMessagesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void formHoldsEveryMessageLabel();
    void formatting_data();
    void formatting();
    void coreMessagesUseTheTranslatedCaptions();
    void missingLanguageFileAtStartUp();
    void startUpTranslatesTheProgramWindows();
};

void LanguageMessagesTest::formHoldsEveryMessageLabel()
{
    const TFormLanguage form;
    QCOMPARE(form.objectName(), QString("FormLanguage"));
    QCOMPARE(form.windowTitle(), QString("Sprache"));
    QVERIFY(form.isHidden());

    QStringList groupTitles;
    for (const QGroupBox* group : form.findChildren<QGroupBox*>())
        groupTitles.append(group->title());
    QCOMPARE(groupTitles, QStringList({"l", "Dialogs", "VarnoluxMessages"}));

    const char* const names[] = {"FileNotFound",
                                 "MessageInvalidNumber",
                                 "NoFloat",
                                 "LabelInvalidValueTrackBarPositionFromLabeledEdit",
                                 "LabelMinimalAreaInvalid",
                                 "LabelInvalidMeasure",
                                 "LabelDefineResultFile",
                                 "LabelDefineResultFilePath",
                                 "LabelColorRegionsNotSet",
                                 "InvalidOptionFile",
                                 "TrueColor",
                                 "InternalError1",
                                 "NoImage",
                                 "FMemoryStream",
                                 "LZoom",
                                 "LBildschirmAufloesung",
                                 "LBildschirmAufloesung86",
                                 "OptionsIniTempWrong",
                                 "SettingsReservedFileName",
                                 "SettingsBrightCompare",
                                 "SettingsSizeCompare",
                                 "SettinigsBackgroundMedian",
                                 "SettingsFilterMean",
                                 "SettingsExclDiameter",
                                 "SettingsExclForm",
                                 "SettingsMaxForm",
                                 "SettingsThres",
                                 "SettingsThresForm",
                                 "MinExclRect",
                                 "SettingsFormCompare",
                                 "LabelStepAnaBackground",
                                 "LabelStepRegionsThres",
                                 "LabelStepSeparationObjects",
                                 "LabelStepOptionsSize",
                                 "LabelStepBright",
                                 "SettingsMaxSize",
                                 "LabelStepForm",
                                 "LabelSmallImageOptionAna",
                                 "LResultFileMissing",
                                 "LLoadOptionsError",
                                 "LNoDefaultOptionFile",
                                 "LUseLastOptions",
                                 "LOptSaveErrorFileNotExist",
                                 "LResultFileDetailMissing",
                                 "LSaveResult",
                                 "LSaveImageError",
                                 "LInclusionExclusionCorrection",
                                 "LWarnSmallAnaRegion",
                                 "MessageStopAnalysisOptionFileError",
                                 "LabelWaterShedPercentile",
                                 "LabeGeneralOptionslMinMax",
                                 "LSaveFileExtension",
                                 "LabelPrnTemplateNotFound",
                                 "DefaultSaveOptions",
                                 "DSaveOptions",
                                 "MessageLoadOptionsImageCorrect",
                                 "MessageSelectedLesionTooSmall",
                                 "Label4",
                                 "Label5",
                                 "LResultFolderNotCreated",
                                 "LResultSaved",
                                 "LRegionsSaved",
                                 "LSaveRegions",
                                 "LOptionsSaved",
                                 "LImageSaved",
                                 "LWebPageInvalid",
                                 "LImageNotOpenedNow",
                                 "LFileNotCreated",
                                 "LFileReadOnly",
                                 "LManualNotInstalled",
                                 "LInterfaceFileUnusable",
                                 "LInterfaceNotRobot",
                                 "LUnsupportedImageType",
                                 "LPrintError",
                                 "LTemplateSaveError",
                                 "LTemplateChanged",
                                 "LFilterTextFiles",
                                 "LFilterOptionFiles",
                                 "LFilterAllImages",
                                 "LFilterAllFiles",
                                 "LImageExtensionNotRead",
                                 "LUnrecognizedFileFormat",
                                 "LFileHeaderMismatch",
                                 "LImageFileNotRead",
                                 "LConvertedFileNotRead",
                                 "LTempCopyNotWritten",
                                 "LDicomToolMissing",
                                 "LDicomFrames",
                                 "LDicomToolFailed",
                                 "LDicomNoImage",
                                 "LDicomConversionFailed",
                                 "LCannotOpenImage",
                                 "LCannotAnalyseImage",
                                 "LNoMemoryToOpen",
                                 "LNoMemoryToAnalyse",
                                 "LNoMemoryToPaintChannels",
                                 "LInvalidOptionValue",
                                 "LInterfaceImageCountNegative",
                                 "LInterfaceImageCountTooLarge",
                                 "LInterfaceValueRefused",
                                 "LInterfaceValuesRefused",
                                 "LCallerResultUnnamed",
                                 "LCallerResultUnwritable",
                                 "LBatchOptionsFileUnusable",
                                 "LBatchJobsNotStarted",
                                 "LBatchResultNotAppended",
                                 "LBatchRegionsNotAppended",
                                 "LBatchReportNotWritten",
                                 "LBatchNoMemory",
                                 "LBatchOutputFailed",
                                 "LabelFieldHMin",
                                 "LabelFieldHMax",
                                 "LabelFieldSMin",
                                 "LabelFieldSMax",
                                 "LabelFieldVMin",
                                 "LabelFieldVMax"};
    QCOMPARE(form.findChildren<QLabel*>().size(), qsizetype(std::size(names)));
    for (const char* name : names) {
        const auto labels = form.findChildren<QLabel*>(name);
        QVERIFY2(labels.size() == 1, name);
        QVERIFY2(!labels.front()->text().isEmpty(), name);
    }

    const std::pair<const char*, const char*> spelledOut[] = {
        {"FileNotFound", "File %s not found."},
        {"NoFloat", "Keine gültige Gleitkommazahl"},
        {"LabelDefineResultFilePath", "Fehler beim Speichern der Ergebnisdatei: Der Pfad \"%s\" "
                                      "existiert nicht. Soll er angelegt werden?"},
        {"InvalidOptionFile", "InvalidOptionFile"},
        {"LSaveImageError", "The analysed image could not be saved to %s: %s"},
        {"LabelFieldSMin", "Sättigung Min"},
    };
    for (const auto& [name, text] : spelledOut)
        QCOMPARE(form.MessageText(name), std::string(text));
    for (const TMessageLabel& label : MessageLabels())
        if (label.group == "VarnoluxMessages")
            QCOMPARE(form.MessageText(label.name), DefaultMessageText(label.name));
    QCOMPARE(form.MessageText("NoSuchLabel"), std::string("NoSuchLabel"));

    const TValueListEditor& names2 = form.ValueListEditorResultNames();
    QCOMPARE(names2.objectName(), QString("ValueListEditorResultNames"));
    QCOMPARE(names2.EntryCount(), 0);
    QCOMPARE(names2.columnCount(), 2);
}

void LanguageMessagesTest::formatting_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("expected");

    QTest::newRow("empty caption") << "" << QStringList{"a"} << "";
    QTest::newRow("no placeholder ignores its arguments")
        << "Invalid number" << QStringList{"a", "b"} << "Invalid number";
    QTest::newRow("one placeholder")
        << "File %s not found." << QStringList{"a.png"} << "File a.png not found.";
    QTest::newRow("one placeholder without an argument")
        << "File %s not found." << QStringList{} << "File  not found.";
    QTest::newRow("two placeholders and two arguments")
        << "%s to %s" << QStringList{"a", "b"} << "a to b";
    QTest::newRow("two placeholders and one argument")
        << "from %s to %s." << QStringList{"a"} << "from a to .";
    QTest::newRow("a lone percent sign") << "%" << QStringList{"a"} << "%";
    QTest::newRow("other percent sequences stay as they are")
        << "100% %d %i %n %x %% %1 %" << QStringList{"a"} << "100% %d %i %n %x %% %1 %";
    QTest::newRow("a doubled percent sign before s") << "%%s" << QStringList{"a"} << "%a";
    QTest::newRow("arguments are not formatted again")
        << "[%s]" << QStringList{"%s %n %d"} << "[%s %n %d]";
    QTest::newRow("unicode text") << "Sättigung: %s" << QStringList{"µm²"} << "Sättigung: µm²";
    const QString longText(3000, 'x');
    QTest::newRow("longer than 2047 characters")
        << longText + "%s" + longText << QStringList{QString(3000, 'z')}
        << longText + QString(3000, 'z') + longText;
}

void LanguageMessagesTest::formatting()
{
    QFETCH(QString, caption);
    QFETCH(QStringList, args);
    QFETCH(QString, expected);
    TFormLanguage form;
    form.findChild<QLabel*>("LabelInvalidMeasure")->setText(caption);
    RecordingReporter display;
    TLanguageReporter reporter(form, display);
    {
        const TScopedReporter scope(display);
        form.ShowLanguageMessage("LabelInvalidMeasure", Strings(args));
    }
    {
        const TScopedReporter scope(reporter);
        CurrentReporter().ShowLanguageMessage("LabelInvalidMeasure", Strings(args));
    }
    const std::string text = expected.toStdString();
    QCOMPARE(display.Shown, (std::vector<std::string>{text, text}));
}

void LanguageMessagesTest::coreMessagesUseTheTranslatedCaptions()
{
    const test::TempFolder folder;
    const std::string file = folder.File("VXLang.ini");
    test::WriteFile(file, "[FormLanguage]\nFormLanguage.FileNotFound.Caption=Datei %s fehlt.\n"
                          "FormLanguage.LabelDefineResultFilePath.Caption=Ordner %s anlegen?\n");
    TFormLanguage form;
    QVERIFY(TFormLanguage::ApplyLanguageToForm(file, form));

    RecordingReporter display;
    TLanguageReporter reporter(form, display);
    const TScopedReporter scope(reporter);
    CurrentReporter().ShowLanguageMessage("FileNotFound", {"a.png"});
    CurrentReporter().ShowLanguageMessage("MessageInvalidNumber", {});
    const std::string question =
        FormatMessage(CurrentReporter().LanguageMessageText("LabelDefineResultFilePath"), {"/r"});
    // Nobody was put there to answer: the questions are told, in the user's language,
    // and answered No and Ignore without waiting.
    QVERIFY(!CurrentQuestions().AskYesNo(question));
    QVERIFY(!CurrentQuestions().AskAbort("stop"));
    QCOMPARE(CurrentQuestions().AskYesNoCancel("close?"), TQuestions::TAnswer::No);
    QCOMPARE(display.Shown, (std::vector<std::string>{"Datei a.png fehlt.", "Invalid number",
                                                      "Ordner /r anlegen?", "stop", "close?"}));
}

void LanguageMessagesTest::missingLanguageFileAtStartUp()
{
    const test::TempFolder folder;
    const std::string file = folder.File("a%sb%d/VXLang.ini");
    RecordingReporter display;
    const TScopedReporter scope(display);
    QWidget window;
    window.setObjectName("FormMain");
    window.setWindowTitle("Layout");
    QVERIFY(!TFormLanguage::ApplyStartUpLanguageFile(file, {&window}));
    QCOMPARE(window.windowTitle(), QString("Layout"));
    QCOMPARE(display.Shown,
             std::vector<std::string>{"Sprachdatei fehlt.\nNo language file.\n\n[" + file + "]"});
}

void LanguageMessagesTest::startUpTranslatesTheProgramWindows()
{
    const test::TempFolder folder;
    const std::string file = folder.File("VXLang.ini");
    test::WriteFile(file, "[FormLanguage]\nFormLanguage.NoFloat.Caption=Not a number\n"
                          "[FormMain]\nFormMain.Caption=Varnolux Demo\n");
    TFormLanguage form;
    QWidget main;
    main.setObjectName("FormMain");
    QWidget unregistered;
    unregistered.setObjectName("FormMain");
    RecordingReporter display;
    const TScopedReporter scope(display);
    QVERIFY(TFormLanguage::ApplyStartUpLanguageFile(file, {&main, &form}));
    QVERIFY(display.Shown.empty());
    QCOMPARE(form.MessageText("NoFloat"), std::string("Not a number"));
    QCOMPARE(main.windowTitle(), QString("Varnolux Demo"));
    QCOMPARE(unregistered.windowTitle(), QString());
}

QTEST_MAIN(LanguageMessagesTest)
#include "LanguageMessagesTest.moc"
