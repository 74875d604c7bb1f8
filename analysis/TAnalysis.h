#pragma once

#include "analysis/ColourRange.h"
#include "analysis/ColourRangeFromMask.h"
#include "analysis/TAnalysisTimings.h"
#include "imaging/TImageView.h"
#include "imaging/TQImage.h"
#include "imaging/TQROIRGB.h"
#include "imaging/TQStatus.h"
#include "results/TRegionTable.h"
#include "results/TResult.h"
#include "settings/TOptions.h"

#include <array>
#include <memory>
#include <string>

namespace varnolux {

struct TRegionStatistics;
class TMemoryReservation;

/// Program states set by the engine.
enum TProgramState {
    StateStart = 1,
    StateNoImage = 2,
    StateLoading = 3,
    StateImageLoaded = 4,
    StateAnalysing = 5,
    StateAnalysed = 6,
    StateClosing = 10,
    StateOptionsChanged = 12,
};

/// What a run reads from the windows, handed over by the caller. A run writes its
/// corrections back: the six range texts, an invalid minimum size or measure, and
/// exclusion borders that do not fit.
struct TAnalysisSettings {
    TTrackBarPositions TrackBars = InitialTrackBarPositions;
    /// The options: range edit texts, analysis area, minimum size, calibration.
    TOptions Options = TOptions::Initial();
    /// The main window's measure text: the calibration's EditMeasure while units are
    /// on, else empty.
    std::string MeasureText;
    /// The text of the calibration window's unit list.
    std::string UnitText = "cm";
    /// Whether the run measures every kept region into the engine's Regions; the run
    /// costs no more without it.
    bool MeasureRegionTable = false;
};

/// Applies an options value as the desktop program does before an analysis: each
/// range text moves its track bar by the edit-to-track-bar rule (an invalid text
/// keeps the bar's position and shows a message naming the field), and the
/// measure text and unit follow the calibration options.
void ApplyOptions(TAnalysisSettings& settings, const TOptions& options);

/// The minimum size a run reads: an invalid text becomes "0", with a message.
double ReadMinRegion(TOptions& options);

/// The measure a run reads for an image of that many pixels: 1 while units are off.
/// An invalid one, or one under which the image's area in square units would
/// overflow or vanish, becomes "1" in both measure texts, with a message.
double ReadMeasure(TAnalysisSettings& settings, double imagePixels);

/// The texts of the main window's result fields.
struct TResultFields {
    std::string AnaArea;
    std::string AreaPixel;
    std::string Count;
    std::string MeanSize;
    std::string Percent;
    std::string AreaCM;
    std::string AnaAreaCM;
    std::string MeanSizeCM;
};

/// The image views the engine draws on. Views left out are replaced by headless
/// boxes that the engine owns.
struct TAnalysisViews {
    TImageView* Original = nullptr;
    TImageView* Analysed = nullptr;
    TImageView* ChannelH = nullptr;
    TImageView* ChannelS = nullptr;
    TImageView* ChannelV = nullptr;
    TImageView* ColourCircle = nullptr;
};

/// The desktop program's reactions to steps of an open or a run; all optional.
class TAnalysisHost {
public:
    virtual ~TAnalysisHost() = default;
    virtual void ProgramStateChanged(TProgramState) {}
    /// The source picture is on its view (re-layout, show the file's information).
    virtual void SourceShown(const std::string& /*fileName*/) {}
    /// All three image copies are in place (re-layout).
    virtual void ImageLoaded() {}
    /// The cumulative curves are new (feed the chart, place the range markers).
    virtual void CurvesChanged() {}
    /// The colour circle was redrawn.
    virtual void ColourCircleDrawn() {}
};

/// The analysis engine: opens an image into pixel planes and analyses it.
class TAnalysis {
public:
    /// The item names a run stores, in table order.
    static const std::array<const char*, 23>& ResultItemNames();

    TAnalysis(TAnalysisViews views, TColour backgroundColour, TAnalysisHost* host = nullptr,
              TQProgressBar* progressBar = nullptr);
    ~TAnalysis();
    TAnalysis(const TAnalysis&) = delete;
    TAnalysis& operator=(const TAnalysis&) = delete;

    /// Clears both surfaces and the result table, which then holds empty "Path" and
    /// "Name".
    void Reset();

    /// Reads an image file into the three image copies. False after a message when it
    /// cannot be opened; the previous copies then stay, but the state is "no image".
    bool LoadImage(const std::string& fileName);

    /// Analyses the loaded image with the given settings, writing corrections back.
    /// False when the run could not complete (reported); the state is then 4.
    bool Run(TAnalysisSettings& settings);

    /// Lets go of the image copies and the memory promised to them; the state is
    /// "no image". For a caller that opens images on several engines at once.
    void CloseImage();

    /// Stores "Path" (folder with its trailing "/") and "Name" of the image file.
    void AddFileResults();

    /// The colour range of the loaded image's pixels selected in selection (non-zero),
    /// which must be of the image's size; see the free function.
    TMaskRange ColourRangeFromMask(const TPlane<std::uint8_t>& selection, double k) const;

    /// Draws the colour circle with the sector between the hue handles bright.
    void DrawColourCircle();

    void SetBackgroundColour(TColour colour);

    TProgramState State() const { return state_; }
    /// Whether the last LoadImage succeeded, so that Run can analyse.
    bool HasImage() const { return imageLoaded_; }

    std::unique_ptr<TQROIRGB> ResultImage;
    std::unique_ptr<TQROIRGB> HsvImage;
    std::unique_ptr<TQROIRGB> CircleImage;
    std::unique_ptr<TQROIRGB> CircleBright;
    std::unique_ptr<TQROIRGB> CircleDim;
    std::unique_ptr<TQROIRGB> SourceImage;
    TQImage SourceSurface;
    TQImage AnalysedSurface;
    TResult Results;
    /// The negated angles (radians) of the hue-minimum and hue-maximum handles.
    double HueMarkA = 0.0;
    double HueMarkB = 0.0;
    std::string ImageFileName;
    std::string ShaImageFile;
    std::string ShaOptions;
    std::string ShaResult;

    /// The kept regions of the last run, when its settings asked for them; empty
    /// otherwise and after a failed run.
    TRegionTable Regions;
    /// The result fields of the last run.
    TResultFields ResultFields;
    /// The cumulative hue, saturation and brightness curves of the last run: entry k
    /// is the fraction of analysis-area pixels whose value is below k.
    std::array<std::array<double, 256>, 3> Curves{};
    /// How long the phases of the last LoadImage and Run took.
    TAnalysisTimings Timings;

    TImageView& OriginalView() { return *views_.Original; }
    TImageView& AnalysedView() { return *views_.Analysed; }
    TImageView& ChannelView(int channel);
    TImageView& ColourCircleView() { return *views_.ColourCircle; }

private:
    void SetState(TProgramState state);
    void ResetProgress();
    bool LoadImageSteps(const std::string& fileName);
    void RunSteps(TAnalysisSettings& settings);
    void StoreResults(const TAnalysisSettings& settings, double analysisArea, double minRegion,
                      double measure, const TRegionStatistics& statistics);
    void StoreFingerprints(const TAnalysisSettings& settings);

    TAnalysisViews views_;
    std::array<std::unique_ptr<TImageBox>, 6> ownedViews_;
    TAnalysisHost* host_;
    TQProgressBar* progressBar_;
    TProgramState state_ = StateNoImage;
    bool imageLoaded_ = false;
    bool circleShadingsPending_ = true;
    /// The fingerprint of the bytes the loaded image was decoded from.
    std::string imageFingerprint_;
    std::unique_ptr<TMemoryReservation> memoryReservation_;
};

} // namespace varnolux
