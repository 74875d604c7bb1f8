#pragma once

#include "analysis/TAnalysis.h"
#include "shell/TAnalysisController.h"
#include "shell/TOptionsFiles.h"
#include "shell/TProgramFiles.h"

#include <array>
#include <ctime>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <QMainWindow>

class QAction;
class QFileDialog;
class QLabel;
class QMenu;
class QSlider;
class QTabWidget;
class QTimer;
class QToolBar;

namespace varnolux {

class TAboutBox;
class TAnalysisActions;
class TCallerStart;
class TColourRangeController;
class TFormLanguage;
class TFormMeasure;
class TFormOptions;
class TFormSelectionByMouse;
class TFormSHADlg;
class TFormVerify;
class THelpActions;
class TImageWidget;
class TKVShapeSize;
class TLabeledEdit;
class TPanel;
class TPlasmaForm;
class TProgramControl;
class TRegionsPage;
class TResultActions;
class TStatusBar;
class TStatusProgressBar;
struct TUnattendedReporting;
class Tsp_LineMarker;
class Tsp_XYLine;
class Tsp_XYPlot;
struct TUnitCaptions;

/// The main window: the layout of its named components (the source and analysed image,
/// the colour range, the result fields, the chart, the palette and the channel images),
/// its actions, and the wiring of both to the controllers that do the work: the colour
/// range's (TColourRangeController); the analysis controller, which owns the engine and
/// is the one place that opens images and starts analyses; the options files
/// (TOptionsFiles); the Analysis menu and its tool windows (TAnalysisActions); what is
/// done with a result (TResultActions); the Help menu (THelpActions); the start the
/// command line asks for (TCallerStart). Its widgets are its own; other windows give
/// and take values, and tests find components by name.
class TFormMain : public QMainWindow, private TSettingsHolder, private TOptionsHolder {
    Q_OBJECT

public:
    /// The other program-wide windows the main window works with.
    struct TWindows {
        TAboutBox* AboutBox = nullptr;
        TFormMeasure* FormMeasure = nullptr;
        TFormOptions* FormOptions = nullptr;
        TFormSelectionByMouse* FormSelectionByMouse = nullptr;
        TPlasmaForm* PlasmaForm = nullptr;
        TFormLanguage* FormLanguage = nullptr;
        TFormSHADlg* FormSHADlg = nullptr;
        TFormVerify* FormVerify = nullptr;
        /// Every program-wide window, this one included, in creation order.
        std::vector<QWidget*> All;
    };

    /// The size of the file: date text and size text, both empty for a missing file.
    struct TFileInfo {
        std::string DateText;
        std::string SizeText;
    };

    static constexpr int StatusPanelOptions = TOptionsFiles::StatusPanel;
    static constexpr int StatusPanelProgress = 5;

    /// parameters are the command-line parameters after the program name: an image to
    /// open, or an interface file from a calling program and more camera record files.
    explicit TFormMain(const TProgramFiles& files = TProgramFiles::Installed(),
                       std::vector<std::string> parameters = {});
    ~TFormMain() override;

    /// Must be called once, before the window is shown.
    void ConnectWindows(const TWindows& windows);

    // The open road and the layout.
    /// Loads the image on the worker and, when that succeeds, analyses it. False,
    /// doing nothing, while an open or an analysis runs.
    bool OpenImage(const std::string& fileName);
    void FormResize();
    void ShowImageFileInfo(const std::string& fileName);
    void ClearImageFileInfo();
    static TFileInfo GetFileInfo(const std::string& fileName);
    /// The local date and time in the locale's short form.
    static std::string DateTimeText(std::time_t time);
    /// Comes to the front when a second start asks for it.
    void BringToFront();
    /// Opens the image a later start hands over as File -> Open does, in front; false
    /// (saying so) while the program cannot take it: during the start-up step, an open
    /// or an analysis, a dialog waiting for an answer, or a calling program's image.
    bool OpenImageOfLaterStart(const std::string& fileName);

    // The colour range.
    /// The track bars, edits, hue handles and chart markers of the range.
    TColourRangeController& ColourRange() const { return *colourRange_; }
    /// The options count as changed (the range is one of them).
    void MarkOptionsChanged();

    // The analysis.
    /// Analyses the loaded image with the controls' settings on the worker; false,
    /// doing nothing, while an open or an analysis runs or without an image.
    bool RunAnalysis();
    /// Whether an open or an analysis runs.
    bool Busy() const { return analysis_->Busy(); }
    /// The result on screen: what Save result writes and the fingerprint dialog shows.
    /// After a failed open it holds an empty "Path" and "Name".
    const TAnalysisResult& ShownResult() const { return analysis_->ShownResult(); }
    /// The status the program ends with: 1 when the calling program's automatic run
    /// could not do what it asked (no image, no analysis, no saved image or result
    /// file), else 0.
    int ExitStatus() const;
    /// Nobody can answer a message or work in the window (no display): a calling
    /// program's start that cannot go on by itself ends the program.
    void SetNobodyWatching(bool nobodyWatching);

    // The options.
    /// The options as the three windows hold them.
    TOptions CurrentOptions() const override;
    /// The options files: the current one, changes, loading and saving.
    TOptionsFiles& OptionsFiles() const { return *optionsFiles_; }

    // The controllers of the menus.
    TAnalysisActions& AnalysisActions() const { return *analysisActions_; }
    TResultActions& ResultActions() const { return *resultActions_; }
    /// What the command line started with: an image, or a calling program's interface.
    TCallerStart& CallerStart() const { return *callerStart_; }

    /// The tolerant number parser: either decimal separator, -10000000000.0 when the
    /// text is not a number (reported as "NoFloat" when asked to).
    static double ParseFloat(const std::string& text, bool report);
    static constexpr double NoNumber = -10000000000.0;

    // Used by the state controller.
    QAction* ActionByName(const char* name) const;
    void StopTimers();

    std::unique_ptr<TProgramControl> ProgramControl;

    std::string LanguageFile;

Q_SIGNALS:
    /// The start-up step has run.
    void StartupFinished();
    /// An analysis was started on the worker.
    void AnalysisStarted();
    /// An analysis whose result is shown has ended, complete or not.
    void AnalysisFinished();
    /// An open or an analysis has ended, and nothing runs.
    void WorkFinished();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Building the window.
    void CreateActions();
    void CreateMenusAndToolBar();
    void CreateImagePanels();
    void CreateBottomPanel();
    void CreateRangeControls(QWidget& panel);
    void CreateResultFields(QWidget& panel);
    void CreatePageControl(QWidget& panel);
    void CreateChart(QWidget& tabSheet);
    void CreateDialogs();
    void CreateMenuControllers();
    /// The file types of the file dialogs, named in the current language.
    void SetFileFilters();
    TKVShapeSize* CreateHueHandle(const char* name, QPoint position);
    void ConnectEvents();

    // Start-up and closing.
    void FormShow();
    void Timer1Timer();
    /// The rest of the start-up step, once what the command line started has ended.
    void FinishStartup();
    /// Asks whether changed options are to be saved before closing; false when the
    /// window is to stay open.
    bool SaveChangedOptionsBeforeClosing();
    void FormClose(bool analysisFinished);

    // The colour range.
    void CreateColourRangeController();
    /// The palette shows the range, and the options count as changed.
    void ShowChangedRange(const TColourRange& range);

    // The analysis.
    void CreateAnalysisController();
    TAnalysisSettings AnalysisSettings() const override;
    void TakeCorrections(const TAnalysisSettings& settings) override;
    void ShowOpenedImage(const std::string& fileName);
    void ApplyUnitCaptions(const TUnitCaptions& captions);
    /// Places the track bars and the result fields so that their labels fit, however
    /// long a language makes them.
    void ArrangeRangeControls();
    void ArrangeResultFields();
    /// The window cannot become smaller than its lower panel needs in the current
    /// language, so nothing there overlaps or is cut.
    void UpdateMinimumSize();
    void ApplyOptions(const TOptions& options) override;

    // The actions the window keeps: the open road and closing.
    void ActionOpenExecute();
    void ActionCloseExecute();

    // Actions: the language file and tests find these, as every component, by name.
    QAction* ActionOpen;
    QAction* ActionPrint;
    QAction* ActionSaveImage;
    QAction* ActionClose;
    QAction* ActionColorSelection;
    QAction* ActionRegionSelect;
    QAction* ActionMeasure;
    QAction* ActionProcess;
    QAction* ActionSaveResult;
    QAction* ActionSaveRegions;
    QAction* ActionVerifyResultFile;
    QAction* ActionLoadOptions;
    QAction* ActionLoadDefaultOptions;
    QAction* ActionOptions;
    QAction* ActionSaveOptions;
    QAction* ActionSaveOptionsAs;
    QAction* ActionSaveOptionsAsDefault;
    QAction* ActionEditRoport;
    QAction* ActionShowSHA;
    QAction* ActionManual;
    QAction* ActionWWW;
    QAction* ActionInfo;

    // Components.
    QToolBar* ToolBar1;
    TPanel* PanelTop;
    TPanel* PanelTopLeft;
    TPanel* PanelTopRight;
    TImageWidget* ImageOriginal;
    TImageWidget* ImageAnalyse;
    TPanel* PanelBottom;
    TPanel* PanelBottomLeft;
    TPanel* PanelColorCircle;
    TImageWidget* ImageColorCircle;
    TPanel* Panel1;
    TPanel* Panel2;
    TPanel* PanelImagePlasma;
    std::array<QLabel*, 3> RangeCaptions{}; // hue, saturation, brightness
    std::array<QSlider*, 6> TrackBars{};
    std::array<TLabeledEdit*, 6> RangeEdits{};
    TLabeledEdit* LabeledEditAnaArea;
    TLabeledEdit* LabeledEditAnaAreaCM;
    TLabeledEdit* LabeledEditAreaPixel;
    TLabeledEdit* LabeledEditAreaCM;
    TLabeledEdit* LabeledEditMeanSize;
    TLabeledEdit* LabeledEditMeanSizeCM;
    TLabeledEdit* LabeledEditCount;
    TLabeledEdit* LabeledEditPercent;
    TLabeledEdit* LabeledEditMeasure;
    QTabWidget* PageControlPlasma;
    QWidget* TabSheetChart;
    QWidget* TabSheetPlasma;
    QWidget* TabSheetH;
    QWidget* TabSheetS;
    QWidget* TabSheetV;
    TRegionsPage* TabSheetRegions;
    Tsp_XYPlot* sp_XYPlot;
    std::array<Tsp_XYLine*, 3> sp_XYLines{};
    std::array<Tsp_LineMarker*, 6> sp_LineMarkers{};
    TImageWidget* ImagePlasma;
    TImageWidget* ImageH;
    TImageWidget* ImageS;
    TImageWidget* ImageV;
    TStatusBar* StatusBarMain;
    TStatusProgressBar* StatusProgressBar;
    QTimer* Timer1;
    QFileDialog* OpenPictureDialog1;
    QFileDialog* SavePictureDialog1;
    QFileDialog* OpenDialog1;
    QFileDialog* SaveDialog1;

    TProgramFiles files_;
    /// The command-line parameters, until the caller start takes them.
    std::vector<std::string> parameters_;
    TWindows windows_;
    std::unique_ptr<TAnalysisController> analysis_;
    TColourRangeController* colourRange_ = nullptr;
    TOptionsFiles* optionsFiles_ = nullptr;
    TAnalysisActions* analysisActions_ = nullptr;
    TResultActions* resultActions_ = nullptr;
    THelpActions* helpActions_ = nullptr;
    TCallerStart* callerStart_ = nullptr;
    /// Messages go to standard error while a start that nobody attends runs.
    std::unique_ptr<TUnattendedReporting> unattended_;
    bool shown_ = false;
    /// The start-up step, and what a calling program started, have ended.
    bool startupDone_ = false;
};

} // namespace varnolux
