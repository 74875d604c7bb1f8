// The main window's actions, menus and toolbar, and their wiring to the controllers
// that carry them out.

#include "base/Messages.h"
#include "settings/NumberText.h"
#include "shell/TAnalysisActions.h"
#include "shell/TCallerStart.h"
#include "shell/TColourRangeController.h"
#include "shell/TFormMain.h"
#include "shell/TFormOptions.h"
#include "shell/THelpActions.h"
#include "shell/TImageWidget.h"
#include "shell/TLabeledEdit.h"
#include "shell/TPanel.h"
#include "shell/TProgramControl.h"
#include "shell/TRegionsPage.h"
#include "shell/TResultActions.h"
#include "tools/TFormMeasure.h"

#include <QAction>
#include <QFileDialog>
#include <QIcon>
#include <QMenuBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>

namespace varnolux {

namespace {

constexpr int ToolBarIconSize = 22;

QString Text(const std::string& text)
{
    return QString::fromStdString(text);
}

/// The icon theme's icon of that name, else our drawing of it; our own icons
/// ("varnolux-...") show what no theme has.
QIcon ActionIcon(const QString& name)
{
    const QIcon drawn(":/icons/" + name + ".svg");
    return name.startsWith("varnolux-") ? drawn : QIcon::fromTheme(name, drawn);
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
    connect(analysis_.get(), &TAnalysisController::ResultCleared, TabSheetRegions,
            &TRegionsPage::Clear);
    connect(ActionOpen, &QAction::triggered, this, &TFormMain::ActionOpenExecute);
    connect(ActionClose, &QAction::triggered, this, &TFormMain::ActionCloseExecute);

    TOptionsFiles& files = *optionsFiles_;
    connect(&files, &TOptionsFiles::OptionsLoaded, colourRange_, &TColourRangeController::Settle);
    // Options are not loaded into an open or an analysis that runs.
    const auto whenIdle = [this](void (TOptionsFiles::*load)()) {
        return [this, load] {
            if (!Busy())
                (optionsFiles_->*load)();
        };
    };
    connect(ActionLoadOptions, &QAction::triggered, this, whenIdle(&TOptionsFiles::LoadChosen));
    connect(ActionLoadDefaultOptions, &QAction::triggered, this,
            whenIdle(&TOptionsFiles::LoadDefault));
    connect(ActionSaveOptions, &QAction::triggered, &files, &TOptionsFiles::SaveToCurrent);
    connect(ActionSaveOptionsAs, &QAction::triggered, &files, &TOptionsFiles::SaveUnderChosenName);
    connect(ActionSaveOptionsAsDefault, &QAction::triggered, &files, &TOptionsFiles::SaveAsDefault);
}

void TFormMain::CreateMenuControllers()
{
    TAnalysisActions::TWindows toolWindows;
    toolWindows.FormMeasure = windows_.FormMeasure;
    toolWindows.FormOptions = windows_.FormOptions;
    toolWindows.FormSelectionByMouse = windows_.FormSelectionByMouse;
    toolWindows.PlasmaForm = windows_.PlasmaForm;
    const TOptionsHolder& options = *this;
    analysisActions_ = new TAnalysisActions(*analysis_, *colourRange_, *ProgramControl, options,
                                            files_, *this, *ImageOriginal, toolWindows, this);
    TAnalysisActions& tools = *analysisActions_;
    connect(&tools, &TAnalysisActions::OptionsChanged, this, &TFormMain::MarkOptionsChanged);
    connect(ActionProcess, &QAction::triggered, &tools, &TAnalysisActions::Process);
    connect(ActionOptions, &QAction::triggered, &tools, &TAnalysisActions::EditOptions);
    connect(ActionMeasure, &QAction::triggered, &tools, &TAnalysisActions::Measure);
    connect(ActionColorSelection, &QAction::triggered, &tools, &TAnalysisActions::SelectColours);
    connect(ActionRegionSelect, &QAction::triggered, &tools, &TAnalysisActions::SelectAnalysisArea);
    for (TImageWidget* image : {ImageOriginal, ImageAnalyse})
        connect(image, &TImageWidget::Clicked, &tools,
                [&tools, image] { tools.OpenFullImage(*image); });

    TResultActions::TParts parts;
    parts.Window = this;
    parts.Source = ImageOriginal;
    parts.Analysed = ImageAnalyse;
    parts.SavePictureDialog = SavePictureDialog1;
    parts.Pages = PageControlPlasma;
    parts.RegionsPage = TabSheetRegions;
    parts.StatusBar = StatusBarMain;
    TResultActions::TWindows resultWindows;
    resultWindows.FormSHADlg = windows_.FormSHADlg;
    resultWindows.FormVerify = windows_.FormVerify;
    resultWindows.PlasmaForm = windows_.PlasmaForm;
    resultActions_ = new TResultActions(*analysis_, *ProgramControl, options, *optionsFiles_,
                                        files_, parts, resultWindows, this);
    TResultActions& results = *resultActions_;
    ProgramControl->AddActionCondition("ActionSaveRegions",
                                       [&results] { return results.RegionFileNamed(); });
    connect(PageControlPlasma, &QTabWidget::currentChanged, &results,
            &TResultActions::MeasureRegionsWhenShown);
    connect(ActionSaveImage, &QAction::triggered, &results, &TResultActions::SaveImage);
    connect(ActionSaveResult, &QAction::triggered, &results, &TResultActions::SaveResult);
    connect(ActionSaveRegions, &QAction::triggered, &results, &TResultActions::SaveRegions);
    connect(ActionVerifyResultFile, &QAction::triggered, &results,
            &TResultActions::VerifyResultFile);
    connect(ActionShowSHA, &QAction::triggered, &results, &TResultActions::ShowFingerprints);
    connect(ActionPrint, &QAction::triggered, &results, &TResultActions::Print);
    connect(ActionEditRoport, &QAction::triggered, &results, &TResultActions::EditReportTemplate);

    helpActions_ = new THelpActions(files_, *this, *windows_.AboutBox, windows_.PlasmaForm, this);
    connect(ActionManual, &QAction::triggered, helpActions_, &THelpActions::ShowManual);
    connect(ActionWWW, &QAction::triggered, helpActions_, &THelpActions::ShowWebPage);
    connect(ActionInfo, &QAction::triggered, helpActions_, &THelpActions::ShowInfo);

    TCallerStart::TParts callerParts;
    callerParts.StatusBar = StatusBarMain;
    callerParts.ActionOpen = ActionOpen;
    callerStart_ = new TCallerStart(files_, std::move(parameters_), *analysis_, *ProgramControl,
                                    results, callerParts, this);
    connect(callerStart_, &TCallerStart::Finished, this, &TFormMain::FinishStartup);
    connect(callerStart_, &TCallerStart::CloseRequested, this, &TFormMain::close);
}

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
    settings.MeasureRegionTable = resultActions_->RegionTableWanted();
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

void TFormMain::ApplyOptions(const TOptions& options)
{
    colourRange_->SetTexts(options.rangeTexts);
    windows_.FormOptions->ReadFrom(options);
    windows_.FormMeasure->ReadFrom(options);
    windows_.FormMeasure->SetUnitCaptions(options.lCheckBoxUnits);
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

} // namespace varnolux
