// The main window's actions, the analysis they start and the options files.

#include "base/Files.h"
#include "base/Messages.h"
#include "base/Paths.h"
#include "chart/Tsp_XYLine.h"
#include "imaging/BmpFile.h"
#include "imaging/JpegFile.h"
#include "settings/NumberText.h"
#include "settings/SettingsAccess.h"
#include "shell/TColourRangeController.h"
#include "shell/TFormMain.h"
#include "shell/TFormOptions.h"
#include "shell/TFormSHADlg.h"
#include "shell/TFormVerify.h"
#include "shell/TImageWidget.h"
#include "shell/TLabeledEdit.h"
#include "shell/TPanel.h"
#include "shell/TPlasmaForm.h"
#include "shell/TProgramControl.h"
#include "shell/TQuestions.h"
#include "shell/TRegionsPage.h"
#include "shell/TStatusBar.h"
#include "shell/TStatusProgressBar.h"
#include "tools/TAboutBox.h"
#include "tools/TFormMeasure.h"

#include <filesystem>
#include <unistd.h>

#include <QAction>
#include <QDesktopServices>
#include <QFileDialog>
#include <QIcon>
#include <QMenuBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

namespace varnolux {

namespace {

constexpr const char* JpegFilter = "JPEG (*.jpg)";
constexpr const char* DefaultOptionsText = "- DEFAULT OPTIONS -";
constexpr int ToolBarIconSize = 22;

QString Text(const std::string& text)
{
    return QString::fromStdString(text);
}

/// Why options cannot be saved to the file, after creating it when it is missing; the
/// empty text when they can.
std::string OptionsFileProblem(const std::string& fileName)
{
    if (!CreateFileIfMissing(fileName).empty())
        return CurrentReporter().LanguageMessageText("LFileNotCreated");
    if (IsReadOnlyFile(fileName) || ::access(fileName.c_str(), W_OK) != 0)
        return CurrentReporter().LanguageMessageText("LFileReadOnly");
    return {};
}

/// The icon theme's icon of that name, else our drawing of it; our own icons
/// ("varnolux-...") show what no theme has.
QIcon ActionIcon(const QString& name)
{
    const QIcon drawn(":/icons/" + name + ".svg");
    return name.startsWith("varnolux-") ? drawn : QIcon::fromTheme(name, drawn);
}

/// The web page of the settings as an address to open; empty for anything but an http
/// or https address, for a setting must not start whatever program takes a scheme.
QUrl WebPageUrl(const std::string& address)
{
    const QUrl url(Text(address), QUrl::StrictMode);
    const bool web = url.scheme() == "https" || url.scheme() == "http";
    return url.isValid() && web && !url.host().isEmpty() ? url : QUrl();
}

} // namespace

double TFormMain::ParseFloat(const std::string& text, bool report)
{
    const std::optional<double> value = ParseNumberTolerant(text);
    if (!value && report)
        CurrentReporter().ShowLanguageMessage("NoFloat", {});
    return value.value_or(NoNumber);
}

void TFormMain::CreateActions()
{
    struct TActionDefinition {
        QAction*& Action;
        const char* Name;
        const char* Text;
        QKeySequence Shortcut;
        const char* Hint;
        const char* Icon;
    };
    const QKeySequence none;
    const TActionDefinition definitions[] = {
        {ActionOpen, "ActionOpen", "&Open", QKeySequence("Ctrl+O"), "Open an image to analyse",
         "document-open"},
        {ActionPrint, "ActionPrint", "&Print", QKeySequence("Ctrl+P"),
         "Print the results as report", "document-print"},
        {ActionSaveImage, "ActionSaveImage", "Save", QKeySequence("Ctrl+S"),
         "Save the analysed image", "document-save-as"},
        {ActionClose, "ActionClose", "&Close", QKeySequence("Alt+F4"), "Close the program",
         "application-exit"},
        {ActionColorSelection, "ActionColorSelection", "Set color", none,
         "Select the color range by mouse", "varnolux-colour-pick"},
        {ActionRegionSelect, "ActionRegionSelect", "Set analysis area", none,
         "Select the area of the image to be analysed", "varnolux-analysis-area"},
        {ActionMeasure, "ActionMeasure", "Set Measure", none, "Set the measure",
         "varnolux-measure"},
        {ActionProcess, "ActionProcess", "Analysis", QKeySequence("Ctrl+A"), "Run an analysis",
         "media-playback-start"},
        {ActionSaveResult, "ActionSaveResult", "Save result", none,
         "Save the results into the file specified by the options", "document-save"},
        {ActionSaveRegions, "ActionSaveRegions", "Save regions", none,
         "Append the regions table to the regions file specified by the options",
         "x-office-spreadsheet"},
        {ActionVerifyResultFile, "ActionVerifyResultFile", "Verify result file...", none,
         "Check the lines of the result file against their fingerprints", "varnolux-verify"},
        {ActionLoadOptions, "ActionLoadOptions", "Load options", none, "Load options",
         "varnolux-options-open"},
        {ActionLoadDefaultOptions, "ActionLoadDefaultOptions", "Load default options", none,
         "Load the default options", "varnolux-options-default"},
        {ActionOptions, "ActionOptions", "Edit Op&tions", none, "Edit the analysis options",
         "preferences-system"},
        {ActionSaveOptions, "ActionSaveOptions", "Save options", none,
         "Save the options into the current options file", "varnolux-options-save"},
        {ActionSaveOptionsAs, "ActionSaveOptionsAs", "Save options as ...", none,
         "Save the options into another file", "varnolux-options-save-as"},
        {ActionSaveOptionsAsDefault, "ActionSaveOptionsAsDefault", "Save options as default", none,
         "Save the options as the default options", "varnolux-options-save-default"},
        {ActionEditRoport, "ActionEditRoport", "Edit print template", none,
         "Edit the template of the printed report", "document-page-setup"},
        {ActionShowSHA, "ActionShowSHA", "Show SHA values", none,
         "Show the SHA values of the image file, the options and the result",
         "varnolux-fingerprint"},
        {ActionManual, "ActionManual", "Manual", none, "Open the user manual", "help-contents"},
        {ActionWWW, "ActionWWW", "Varnolux on the web", none, "Open the Varnolux web page",
         "internet-web-browser"},
        {ActionInfo, "ActionInfo", "&Info", none, "Version and maker of Varnolux", "help-about"},
    };
    for (const TActionDefinition& definition : definitions) {
        auto* action = new QAction(ActionIcon(definition.Icon), definition.Text, this);
        action->setObjectName(definition.Name);
        action->setShortcut(definition.Shortcut);
        if (*definition.Hint) {
            action->setToolTip(definition.Hint);
            action->setStatusTip(definition.Hint);
        }
        definition.Action = action;
    }
    ActionSaveOptions->setEnabled(false);
}

void TFormMain::CreateMenusAndToolBar()
{
    QMenu* file = menuBar()->addMenu("&File");
    file->setObjectName("MenuFile");
    file->addActions({ActionOpen});
    file->addSeparator();
    file->addActions({ActionPrint, ActionSaveImage});
    file->addSeparator();
    file->addAction(ActionClose);

    QMenu* analysis = menuBar()->addMenu("&Analysis");
    analysis->setObjectName("MenuAnalysis");
    analysis->addActions({ActionColorSelection, ActionRegionSelect, ActionMeasure});
    analysis->addSeparator();
    analysis->addAction(ActionProcess);
    analysis->addSeparator();
    analysis->addActions({ActionSaveResult, ActionSaveRegions, ActionVerifyResultFile});

    QMenu* options = menuBar()->addMenu("&Options");
    options->setObjectName("MenuOptions");
    options->addActions({ActionLoadOptions, ActionLoadDefaultOptions});
    options->addSeparator();
    options->addAction(ActionOptions);
    options->addSeparator();
    options->addActions({ActionSaveOptions, ActionSaveOptionsAs, ActionSaveOptionsAsDefault});
    options->addSeparator();
    options->addAction(ActionEditRoport);
    options->addSeparator();
    options->addAction(ActionShowSHA);

    QMenu* help = menuBar()->addMenu("&Help");
    help->setObjectName("MenuHelp");
    help->addAction(ActionManual);
    help->addSeparator();
    help->addActions({ActionWWW, ActionInfo});

    ToolBar1 = addToolBar("Tools");
    ToolBar1->setObjectName("ToolBar1");
    ToolBar1->setMovable(false);
    ToolBar1->setIconSize({ToolBarIconSize, ToolBarIconSize});
    ToolBar1->addActions({ActionOpen, ActionLoadOptions, ActionOptions, ActionProcess,
                          ActionColorSelection, ActionRegionSelect, ActionMeasure, ActionPrint,
                          ActionSaveResult});
}

void TFormMain::ConnectEvents()
{
    connect(Timer1, &QTimer::timeout, this, &TFormMain::Timer1Timer);
    connect(PanelTop, &TPanel::Resized, this, [this] {
        FormResize();
        update();
    });
    connect(PageControlPlasma, &QTabWidget::currentChanged, this,
            &TFormMain::MeasureRegionsWhenShown);
    connect(analysis_.get(), &TAnalysisController::ResultCleared, TabSheetRegions,
            &TRegionsPage::Clear);

    const std::pair<QAction*, void (TFormMain::*)()> handlers[] = {
        {ActionOpen, &TFormMain::ActionOpenExecute},
        {ActionClose, &TFormMain::ActionCloseExecute},
        {ActionProcess, &TFormMain::ActionProcessExecute},
        {ActionSaveImage, &TFormMain::ActionSaveImageExecute},
        {ActionSaveResult, &TFormMain::ActionSaveResultExecute},
        {ActionSaveRegions, &TFormMain::ActionSaveRegionsExecute},
        {ActionVerifyResultFile, &TFormMain::ActionVerifyResultFileExecute},
        {ActionOptions, &TFormMain::ActionOptionsExecute},
        {ActionLoadOptions, &TFormMain::ActionLoadOptionsExecute},
        {ActionSaveOptions, &TFormMain::ActionSaveOptionsExecute},
        {ActionSaveOptionsAs, &TFormMain::ActionSaveOptionsAsExecute},
        {ActionLoadDefaultOptions, &TFormMain::ActionLoadDefaultOptionsExecute},
        {ActionSaveOptionsAsDefault, &TFormMain::ActionSaveOptionsAsDefaultExecute},
        {ActionShowSHA, &TFormMain::ActionShowSHAExecute},
        {ActionManual, &TFormMain::ActionManualExecute},
        {ActionWWW, &TFormMain::ActionWWWExecute},
        {ActionInfo, &TFormMain::ActionInfoExecute},
        {ActionPrint, &TFormMain::ActionPrintExecute},
        {ActionEditRoport, &TFormMain::ActionEditRoportExecute},
    };
    for (const auto& [action, handler] : handlers)
        connect(action, &QAction::triggered, this, handler);
    ConnectTools();
}

// The analysis.

bool TFormMain::RunAnalysis()
{
    return analysis_->Analyse();
}

TOptions TFormMain::CurrentOptions() const
{
    TOptions options;
    options.rangeTexts = colourRange_->Texts();
    windows_.FormOptions->WriteTo(options);
    windows_.FormMeasure->WriteTo(options);
    return options;
}

TAnalysisSettings TFormMain::AnalysisSettings() const
{
    TAnalysisSettings settings;
    settings.Range = colourRange_->Range();
    settings.Options = CurrentOptions();
    settings.MeasureText = LabeledEditMeasure->text().toStdString();
    settings.UnitText = windows_.FormMeasure->UnitText();
    settings.MeasureRegionTable = RegionTableWanted();
    return settings;
}

void TFormMain::TakeCorrections(const TAnalysisSettings& settings)
{
    // The edits show the bars; a bar moved during the run keeps its new position.
    colourRange_->ShowBarsInEdits();
    const TOptions& corrected = settings.Options;
    TOptions options = CurrentOptions();
    options.EditMinRegion = corrected.EditMinRegion;
    options.iExclRectLeft = corrected.iExclRectLeft;
    options.iExclRectUp = corrected.iExclRectUp;
    options.iExclRectRight = corrected.iExclRectRight;
    options.iExclRectDown = corrected.iExclRectDown;
    options.EditMeasure = corrected.EditMeasure;
    windows_.FormOptions->ReadFrom(options);
    windows_.FormMeasure->ReadFrom(options);
    LabeledEditMeasure->setText(Text(settings.MeasureText));
}

void TFormMain::ApplyUnitCaptions(const TUnitCaptions& captions)
{
    LabeledEditMeasure->SetEditLabelCaption(Text(captions.MeasureLabel));
    LabeledEditMeasure->setText(Text(captions.MeasureValue));
    windows_.FormOptions->SetMinSizeCaption(Text(captions.MinSizeLabel));
    LabeledEditAreaCM->SetEditLabelCaption(Text(captions.AreaLabel));
    LabeledEditAnaAreaCM->SetEditLabelCaption(Text(captions.AnaAreaLabel));
    LabeledEditMeanSizeCM->SetEditLabelCaption(Text(captions.MeanSizeLabel));
    ArrangeResultFields();
    UpdateMinimumSize();
}

// Options files.

void TFormMain::ShowOptionsFileName(const std::string& fileName)
{
    StatusBarMain->SetPanelText(StatusPanelOptions, fileName == DefaultOptionsFile
                                                        ? DefaultOptionsText
                                                        : Text(FileNamePart(fileName)));
}

void TFormMain::ShowOptionsChanged()
{
    OptionsChanged = true;
    ActionSaveOptions->setEnabled(OptionsFile != DefaultOptionsFile);
    ActionSaveOptionsAs->setEnabled(true);
    StatusBarMain->SetPanelText(StatusPanelOptions, "* " + (OptionsFile == DefaultOptionsFile
                                                                ? QString(DefaultOptionsText)
                                                                : Text(FileNamePart(OptionsFile))));
}

bool TFormMain::SaveOptions(const std::string& fileName)
{
    const std::string resolved = ResolveConfigFileName(fileName);
    // Options written over these would spoil the program's settings or texts.
    if (resolved == files_.SettingsFile || resolved == files_.LanguageFile) {
        CurrentReporter().ShowLanguageMessage("SettingsReservedFileName", {fileName});
        return false;
    }
    std::string problem = OptionsFileProblem(resolved);
    if (problem.empty()) {
        try {
            CurrentOptions().Save(resolved);
        } catch (const TSettingsError& error) {
            problem = error.what();
        }
    }
    if (!problem.empty()) {
        CurrentReporter().ShowLanguageMessage("LOptSaveErrorFileNotExist", {fileName, problem});
        return false;
    }
    OptionsChanged = false;
    ActionSaveOptions->setEnabled(false);
    ShowOptionsFileName(fileName);
    ConfirmSaved("LOptionsSaved", {resolved});
    return true;
}

void TFormMain::ConfirmSaved(std::string_view label, const std::vector<std::string>& args)
{
    StatusBarMain->ShowMessage(
        Text(FormatMessage(CurrentReporter().LanguageMessageText(label), args)));
}

bool TFormMain::LoadOptions(const std::string& fileName)
{
    const std::string resolved = ResolveConfigFileName(fileName);
    std::error_code error;
    if (std::filesystem::exists(resolved, error)) {
        const std::string problem = CheckOptionsFile(resolved);
        if (!problem.empty()) {
            CurrentReporter().ShowMessage(
                FormatMessage(CurrentReporter().LanguageMessageText("InvalidOptionFile"),
                              {fileName}) +
                "\n" + problem);
            return false;
        }
    }
    TakeOptions(TOptions::Load(resolved), fileName);
    return true;
}

void TFormMain::TakeOptions(const TOptions& options, const std::string& fileName)
{
    ApplyOptionsToWindows(options);
    ShowOptionsFileName(fileName);
    OptionsChanged = false;
    ActionSaveOptions->setEnabled(false);
}

void TFormMain::ApplyOptionsToWindows(const TOptions& options)
{
    colourRange_->SetTexts(options.rangeTexts);
    windows_.FormOptions->ReadFrom(options);
    windows_.FormMeasure->ReadFrom(options);
    windows_.FormMeasure->SetUnitCaptions(options.lCheckBoxUnits);
}

// Actions.

int TFormMain::ShowModal(QDialog& dialog)
{
    dialog.adjustSize();
    dialog.move(frameGeometry().center() - dialog.rect().center());
    dialog.setWindowModality(Qt::ApplicationModal);
    return dialog.exec();
}

void TFormMain::ActionOpenExecute()
{
    if (Busy())
        return;
    if (OpenPictureDialog1->exec() != QDialog::Accepted ||
        OpenPictureDialog1->selectedFiles().isEmpty()) {
        ProgramControl->SetState(StateNoImage);
        return;
    }
    OpenImage(OpenPictureDialog1->selectedFiles().constFirst().toStdString());
}

void TFormMain::ActionCloseExecute()
{
    close();
}

void TFormMain::ActionProcessExecute()
{
    if (Busy())
        return;
    colourRange_->ApplyEditsToTrackBars();
    RunAnalysis();
}

void TFormMain::ActionSaveImageExecute()
{
    if (Busy())
        return;
    windows_.PlasmaForm->StopPalette();
    if (SavePictureDialog1->exec() == QDialog::Accepted &&
        !SavePictureDialog1->selectedFiles().isEmpty()) {
        const std::string fileName = SavePictureDialog1->selectedFiles().constFirst().toStdString();
        // The chosen filter decides the format, whatever the name ends in.
        const bool jpeg = SavePictureDialog1->selectedNameFilter() == JpegFilter;
        if (SaveAnalysedImage(fileName, jpeg))
            ConfirmSaved("LImageSaved", {fileName, jpeg ? "JPEG" : "BMP"});
    }
    windows_.PlasmaForm->StartPalette();
}

bool TFormMain::SaveAnalysedImage(const std::string& fileName, bool jpeg)
{
    try {
        if (jpeg)
            WriteJpegFile(ImageAnalyse->Picture(), fileName);
        else
            WriteBmpFile(ImageAnalyse->Picture(), fileName);
        return true;
    } catch (const std::exception& error) {
        CurrentReporter().ShowLanguageMessage("LSaveImageError", {fileName, error.what()});
        return false;
    }
}

void TFormMain::ActionSaveResultExecute()
{
    if (Busy())
        return;
    windows_.PlasmaForm->StopPalette();
    const std::string fileName = CurrentOptions().EditResultFile;
    const std::string folder = FolderPart(fileName);
    if (fileName.empty() || folder.empty()) {
        CurrentReporter().ShowLanguageMessage("LabelDefineResultFile", {});
    } else if (FolderExists(folder)) {
        SaveResultTo(fileName);
    } else if (CurrentQuestions().AskYesNo(FormatMessage(
                   CurrentReporter().LanguageMessageText("LabelDefineResultFilePath"), {folder}))) {
        if (const std::string problem = CreateFoldersIfMissing(folder); !problem.empty())
            CurrentReporter().ShowLanguageMessage("LResultFolderNotCreated", {folder, problem});
        else
            SaveResultTo(fileName);
    }
    windows_.PlasmaForm->StartPalette();
}

void TFormMain::SaveResultTo(const std::string& fileName)
{
    std::string why;
    if (ShownResult().Items.SaveToFile(fileName, &why))
        ConfirmSaved("LResultSaved", {fileName});
    else
        CurrentReporter().ShowMessage(
            FormatMessage(CurrentReporter().LanguageMessageText("LSaveResult"), {fileName}) + "\n" +
            why);
}

bool TFormMain::RegionFileNamed() const
{
    return !CurrentOptions().EditRegionFile.empty();
}

bool TFormMain::RegionTableWanted() const
{
    return PageControlPlasma->currentWidget() == TabSheetRegions || RegionFileNamed();
}

bool TFormMain::RegionTableShown() const
{
    const TResultItem* count = ShownResult().Items.Find("Count");
    return count && TabSheetRegions->Regions().RowCount() == count->IntValue;
}

void TFormMain::ShowRegionTable()
{
    const TAnalysisResult& shown = ShownResult();
    if (!shown.Complete) {
        TabSheetRegions->Clear();
        saveRegionsWhenMeasured_ = false;
        return;
    }
    TabSheetRegions->ShowRegions(analysis_->TakeRegionTable(), shown.RegionSelection);
    if (std::exchange(saveRegionsWhenMeasured_, false) && RegionTableShown())
        SaveRegionTable();
}

void TFormMain::MeasureRegionsWhenShown()
{
    if (PageControlPlasma->currentWidget() == TabSheetRegions &&
        ProgramControl->State() == StateAnalysed && !RegionTableShown())
        RunAnalysis();
}

void TFormMain::ActionSaveRegionsExecute()
{
    if (Busy() || !RegionFileNamed())
        return;
    if (RegionTableShown())
        SaveRegionTable();
    else
        // The result shown was analysed without the table: it is saved once measured.
        saveRegionsWhenMeasured_ = RunAnalysis();
}

void TFormMain::SaveRegionTable()
{
    const std::string fileName = CurrentOptions().EditRegionFile;
    const TRegionTable& table = TabSheetRegions->Regions();
    std::string why;
    if (table.AppendToFile(fileName, false, &why))
        ConfirmSaved("LRegionsSaved", {std::to_string(table.RowCount()), fileName});
    else
        CurrentReporter().ShowMessage(
            FormatMessage(CurrentReporter().LanguageMessageText("LSaveRegions"), {fileName}) +
            "\n" + why);
}

void TFormMain::ActionVerifyResultFileExecute()
{
    TFormVerify& window = *windows_.FormVerify;
    const TOptions options = CurrentOptions();
    window.Verify(options.EditResultFile, options,
                  OptionsFile == DefaultOptionsFile ? DefaultOptionsText
                                                    : FileNamePart(OptionsFile));
    window.show();
    window.raise();
    window.activateWindow();
}

void TFormMain::ActionOptionsExecute()
{
    if (Busy())
        return;
    windows_.PlasmaForm->StopPalette();
    // The options file is the user's: it changes only when the options are saved. Cancel
    // leaves the options as they were.
    if (ShowModal(*windows_.FormOptions) == QDialog::Accepted) {
        ProgramControl->SetState(StateImageLoaded);
        MarkOptionsChanged();
        ActionProcessExecute();
    }
    windows_.PlasmaForm->StartPalette();
}

void TFormMain::ActionLoadOptionsExecute()
{
    if (Busy() || OpenDialog1->exec() != QDialog::Accepted ||
        OpenDialog1->selectedFiles().isEmpty())
        return;
    const std::string fileName = OpenDialog1->selectedFiles().constFirst().toStdString();
    if (!LoadOptions(fileName))
        return;
    OptionsFile = fileName;
    colourRange_->Settle();
}

void TFormMain::ActionSaveOptionsExecute()
{
    SaveOptions(OptionsFile);
}

void TFormMain::ActionSaveOptionsAsExecute()
{
    SaveOptionsUnderChosenName();
}

bool TFormMain::SaveOptionsUnderChosenName()
{
    if (SaveDialog1->exec() != QDialog::Accepted || SaveDialog1->selectedFiles().isEmpty())
        return false;
    const std::string fileName = SaveDialog1->selectedFiles().constFirst().toStdString();
    if (!SaveOptions(fileName))
        return false;
    OptionsFile = fileName;
    return true;
}

void TFormMain::ActionLoadDefaultOptionsExecute()
{
    if (Busy())
        return;
    if (HoldsOptions(DefaultOptionsFile)) {
        if (!LoadOptions(DefaultOptionsFile))
            return;
    } else {
        // Nothing stored would read as six invalid range texts: the built-in options
        // are the defaults then.
        CurrentReporter().ShowLanguageMessage("LNoDefaultOptionFile", {DefaultOptionsFile});
        TakeOptions(TOptions::Initial(), DefaultOptionsFile);
    }
    OptionsFile = DefaultOptionsFile;
    colourRange_->Settle();
}

void TFormMain::ActionSaveOptionsAsDefaultExecute()
{
    if (SaveOptions(DefaultOptionsFile))
        OptionsFile = DefaultOptionsFile;
}

void TFormMain::ActionShowSHAExecute()
{
    const TResult& items = ShownResult().Items;
    windows_.FormSHADlg->SetFingerprints(items.GetValueText("SHAImageFile"),
                                         items.GetValueText("SHAOptions"),
                                         items.GetValueText("SHAResult"));
    windows_.PlasmaForm->StopPalette();
    ShowModal(*windows_.FormSHADlg);
    windows_.PlasmaForm->StartPalette();
}

void TFormMain::ActionManualExecute()
{
    std::error_code error;
    if (std::filesystem::is_regular_file(files_.ManualFile, error)) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(Text(files_.ManualFile)));
        return;
    }
    const std::string text =
        ReadConfigString(LanguageFile, "FormLanguage", "FormLanguage.NoManual", "");
    if (text.empty())
        CurrentReporter().ShowLanguageMessage("LManualNotInstalled", {files_.ManualFile});
    else
        CurrentReporter().ShowMessage(text);
}

std::string TFormMain::WebPageAddress() const
{
    return QString::fromStdString(
               ReadConfigString(files_.SettingsFile, WebPageSection, WebPageKey, ""))
        .trimmed()
        .toStdString();
}

void TFormMain::ActionWWWExecute()
{
    const std::string address = WebPageAddress();
    if (address.empty()) {
        ActionManualExecute();
        return;
    }
    const QUrl url = WebPageUrl(address);
    if (url.isEmpty()) {
        CurrentReporter().ShowLanguageMessage("LWebPageInvalid", {address, files_.SettingsFile});
        return;
    }
    QDesktopServices::openUrl(url);
}

void TFormMain::ActionInfoExecute()
{
    windows_.AboutBox->SetWebPage(WebPageUrl(WebPageAddress()));
    windows_.PlasmaForm->StopPalette();
    ShowModal(*windows_.AboutBox);
    windows_.PlasmaForm->StartPalette();
}

} // namespace varnolux
