#pragma once

#include "analysis/TAnalysis.h"
#include "shell/TAnalysisController.h"
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
class QPrinter;
class QSlider;
class QTabWidget;
class QTimer;
class QToolBar;

namespace varnolux {

class TAboutBox;
class TColourRangeController;
class TFormLanguage;
class TFormMeasure;
class TFormOptions;
class TFormSelectionByMouse;
class TFormSHADlg;
class TFormVerify;
class TImageWidget;
class TInterfaceBA;
class TKVShapeSize;
class TLabeledEdit;
class TPanel;
class TPlasmaForm;
class TProgramControl;
class TRegionsPage;
class TStatusBar;
class TStatusProgressBar;
struct TMaskRange;
struct TReportData;
struct TUnattendedReporting;
class Tsp_LineMarker;
class Tsp_XYLine;
class Tsp_XYPlot;
struct TUnitCaptions;

/// The main window: the layout of its named components (the source and analysed image,
/// the colour range, the result fields, the chart, the palette and the channel images),
/// its actions, and the wiring of both to the controllers that do the work: the colour
/// range's (TColourRangeController) and the analysis controller, which owns the engine
/// and is the one place that opens images and starts analyses. Its widgets are its own;
/// other windows give and take values, and tests find components by name.
class TFormMain : public QMainWindow, private TSettingsHolder {
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

    /// Where the program settings file holds the address Help -> web page opens.
    static constexpr const char* WebPageSection = "Program";
    static constexpr const char* WebPageKey = "WebPage";
    static constexpr int StatusPanelOptions = 4;
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
    void RestoreFormPosition(QWidget& window);
    void SaveFormPosition(const QWidget& window);
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
    int ExitStatus() const { return exitStatus_; }
    /// Nobody can answer a message or work in the window (no display): a calling
    /// program's start that cannot go on by itself ends the program.
    void SetNobodyWatching(bool nobodyWatching) { nobodyWatching_ = nobodyWatching; }

    // Options files.
    /// Writes the options of the three windows to the file, creating it when missing.
    /// A save that cannot write is reported; one that does is confirmed in the status
    /// bar.
    bool SaveOptions(const std::string& fileName);
    /// Reads an options file into the three windows; a file that cannot be read as an
    /// options file is reported and left alone.
    bool LoadOptions(const std::string& fileName);
    /// The options as the three windows hold them.
    TOptions CurrentOptions() const;

    // The report.
    /// What the report of the result shown holds.
    TReportData ReportData() const;
    /// The printer File → Print prints on, with the user's choices of the last print
    /// (printer, or the PDF file); made on first use.
    QPrinter& ReportPrinter();
    /// Prints the report of the result shown, from the template the program settings
    /// name; false after a message when the printer or file cannot be painted on.
    bool PrintReport(QPrinter& printer);

    /// The tolerant number parser: either decimal separator, -10000000000.0 when the
    /// text is not a number (reported as "NoFloat" when asked to).
    static double ParseFloat(const std::string& text, bool report);
    static constexpr double NoNumber = -10000000000.0;

    // Used by the state controller.
    QAction* ActionByName(const char* name) const;
    void StopTimers();
    /// The options are marked as changed in the status bar and the actions.
    void ShowOptionsChanged();
    /// Whether the options name a regions file: Save regions is off without one.
    bool RegionFileNamed() const;

    std::unique_ptr<TProgramControl> ProgramControl;
    /// What the calling program handed over; none before the start-up step and after
    /// closing.
    std::unique_ptr<TInterfaceBA> Interface;

    std::string DefaultOptionsFile;
    std::string OptionsFile;
    bool OptionsChanged = false;
    std::string LanguageFile;
    std::string SubjectText;
    int RegionZoom = -1;

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
    /// The file types of the file dialogs, named in the current language.
    void SetFileFilters();
    TKVShapeSize* CreateHueHandle(const char* name, QPoint position);
    void ConnectEvents();

    // Start-up and closing.
    void FormShow();
    void Timer1Timer();
    /// The options stored in the options file, when it holds some.
    void LoadStoredOptions();
    /// Asks whether changed options are to be saved before closing; false when the
    /// window is to stay open.
    bool SaveChangedOptionsBeforeClosing();
    void FormClose(bool analysisFinished);
    static std::string DateTimeText(std::time_t time);
    /// Whether the options file holds options, not just a window position.
    bool HoldsOptions(const std::string& fileName) const;

    // The colour range.
    void CreateColourRangeController();
    /// The palette shows the range, and the options count as changed.
    void ShowChangedRange(const TColourRange& range);

    // The analysis.
    void CreateAnalysisController();
    TAnalysisSettings AnalysisSettings() const override;
    void TakeCorrections(const TAnalysisSettings& settings) override;
    void ShowOpenedImage(const std::string& fileName);
    /// The regions table costs an analysis of many regions time: it is measured while
    /// the Regions page shows or a regions file is named.
    bool RegionTableWanted() const;
    /// Whether the Regions page holds the table of the result shown.
    bool RegionTableShown() const;
    /// Analyses again for the table when the Regions page comes up without it.
    void MeasureRegionsWhenShown();
    /// The Regions page follows the result shown.
    void ShowRegionTable();
    void SaveRegionTable();
    void ApplyUnitCaptions(const TUnitCaptions& captions);
    /// Places the track bars and the result fields so that their labels fit, however
    /// long a language makes them.
    void ArrangeRangeControls();
    void ArrangeResultFields();
    /// The window cannot become smaller than its lower panel needs in the current
    /// language, so nothing there overlaps or is cut.
    void UpdateMinimumSize();
    void ApplyOptionsToWindows(const TOptions& options);
    /// The options become the windows' and the file the current one, unchanged.
    void TakeOptions(const TOptions& options, const std::string& fileName);
    void ShowOptionsFileName(const std::string& fileName);
    /// A short confirmation of what was written where, in the status bar.
    void ConfirmSaved(std::string_view label, const std::vector<std::string>& args);

    // The calling program's interface.
    /// The messages of the reading, kept until it is known who reads them.
    std::vector<std::string> ReadInterfaceFile();
    /// Nobody is there to answer a message box: the run ends the program by itself,
    /// or there is no display.
    bool RunsUnattended() const;
    /// Reports why a run nobody attends cannot go on (the language message with its
    /// arguments) and ends the program with status 1.
    void EndUnattendedRun(std::string_view problem, const std::vector<std::string>& args);
    /// Starts what the calling program asks for; false when nothing runs afterwards.
    bool StartFromInterface();
    /// The rest of the start-up step, once what the calling program started has ended.
    void FinishStartup();
    bool RunForRobot();
    void RobotRunFinished();
    bool OpenHandedOverImage();
    /// Opens the image given on the command line.
    bool OpenStartImage();
    void WriteCallerResultFile(bool analysisFinished);

    // Actions.
    void ActionOpenExecute();
    void ActionCloseExecute();
    void ActionProcessExecute();
    void ActionSaveImageExecute();
    void ActionSaveResultExecute();
    void SaveResultTo(const std::string& fileName);
    void ActionSaveRegionsExecute();
    void ActionVerifyResultFileExecute();
    /// Writes the analysed picture as BMP or JPEG; false after a message when it cannot.
    bool SaveAnalysedImage(const std::string& fileName, bool jpeg);
    void ActionOptionsExecute();
    void ActionLoadOptionsExecute();
    void ActionSaveOptionsExecute();
    void ActionSaveOptionsAsExecute();
    /// Saves the options under a name the user chooses, which becomes the options
    /// file; false when the user cancels or the save fails.
    bool SaveOptionsUnderChosenName();
    void ActionLoadDefaultOptionsExecute();
    void ActionSaveOptionsAsDefaultExecute();
    void ActionShowSHAExecute();
    void ActionManualExecute();
    /// Opens the web page of the program settings; without one, the manual.
    void ActionWWWExecute();
    /// The web page address in the program settings, empty when there is none.
    std::string WebPageAddress() const;
    void ActionInfoExecute();
    void ActionPrintExecute();
    void ActionEditRoportExecute();

    // The tool windows.
    void ConnectTools();
    void ActionMeasureExecute();
    void ActionColorSelectionExecute();
    /// Puts the range of the colour selection on the track bars and analyses.
    void ColourRangeFound(const TMaskRange& range);
    /// The analysis-area editor on the image as read: OK takes its area into the options
    /// and analyses again; Cancel changes nothing.
    void ActionRegionSelectExecute();
    /// A viewer of the clicked image's picture, in a window of its own; none while an
    /// open or an analysis is drawing it.
    void OpenFullImage(const TImageWidget& image);
    int ShowModal(QDialog& dialog);

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
    // Shared only so that this header needs no QPrinter: nobody else holds it.
    std::shared_ptr<QPrinter> printer_;
    std::vector<std::string> parameters_;
    /// The image given as the first command-line parameter, with its full path.
    std::string startImage_;
    int exitStatus_ = 0;
    bool nobodyWatching_ = false;
    TWindows windows_;
    std::unique_ptr<TAnalysisController> analysis_;
    TColourRangeController* colourRange_ = nullptr;
    /// Save regions waits for an analysis that measures the table.
    bool saveRegionsWhenMeasured_ = false;
    /// Messages go to standard error while a start that nobody attends runs.
    std::unique_ptr<TUnattendedReporting> unattended_;
    bool shown_ = false;
    /// The start-up step, and what a calling program started, have ended.
    bool startupDone_ = false;
};

} // namespace varnolux
